// The CSV export of a run: the same tally as OccasionTallies.txt in the
// layouts that occupancy and N-mixture software, R and pandas load, with
// site names, occasion dates, uncapped counts, NA where a camera did not
// operate, and each occasion's effort beside its count.
#pragma once

#include <filesystem>

#include "results/survey_results.h"

namespace ot {

// Writes into `folder` (created with its parents when missing):
// - occasions.csv: occasion,first_date,last_date,days
// - effort.csv: site,effort.1..effort.J (operating days per occasion)
// - counts/<name>.csv per species (names from SpeciesFileNames):
//   site,y.1..y.J,effort.1..effort.J, y NA where the effort is 0
// - long.csv: species,site,occasion,first_date,last_date,effort_days,count
// - summary.csv: species,pictures,pictures_skipped,events,individuals,
//   sites_detected,sites_operating,naive_occupancy,trap_days
// Every file is written under a temporary name first; only when all are
// complete are they renamed over files of the same names, so a failure
// replaces none of them. Other files in the folder are left alone.
// `results` must come from a run that ended normally. A failure throws a
// RunFailure of kind kSystem with kExitToolFailed and the one line
// "OccasionTallies: CSV export failed: cannot <doing> <path>: <reason>".
void WriteCsvExport(const SurveyResults& results, const std::filesystem::path& folder);

}  // namespace ot
