// The fits as the program shows them: the rows of models.csv and the
// terminal table. Both take finished SpeciesFit values and return text, so
// a caller only writes them out (the CSV fields through a CSV writer, which
// quotes a species name that needs it).
#pragma once

#include <array>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fit/species_fit.h"

namespace ot::fit {

inline constexpr std::array<std::string_view, 13> kModelsCsvHeader = {
    "species", "model", "parameter", "estimate",  "se",         "lcl",   "ucl",
    "loglik",  "aic",   "sites",     "occasions", "detections", "status"};

// One models.csv row, its fields unquoted, in kModelsCsvHeader's order.
using ModelsCsvRow = std::array<std::string, kModelsCsvHeader.size()>;

// The six rows of one species, in this order: occupancy psi, p_daily,
// p_occasion; royle-nichols lambda, r_daily, psi. Numbers have 6
// significant digits (CsvNumber), NA where a value is undefined; loglik
// and aic repeat on each row of their model.
std::vector<ModelsCsvRow> ModelsCsvRows(const SpeciesFit& fit);

// The terminal table as cells: a header and one row per species with its
// sites, sites with a detection, naive occupancy, occupancy, daily
// detection probability and Royle-Nichols mean animals per site each as
// "estimate (lower-upper)" (3 significant digits; "estimate (NA)" without
// an interval; "NA" without an estimate), the two AICs (one decimal) and a
// status: the common status when both models share it, else each model's
// that is not ok, as "boundary (occupancy)" or "not-converged (RN)".
struct ModelTable {
  std::vector<std::string> header;
  std::vector<std::vector<std::string>> rows;
};
ModelTable BuildModelTable(std::span<const SpeciesFit> fits);

// The table as fixed-width text: columns two blanks apart, the species and
// status left-aligned, the numbers right-aligned, widths measured in UTF-8
// characters; each line ends with '\n' and has no trailing blanks.
std::string RenderModelTable(const ModelTable& table);

}  // namespace ot::fit
