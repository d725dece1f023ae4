#include "fit/fit_output.h"

#include <algorithm>
#include <charconv>
#include <cmath>

#include "fit/number_text.h"

namespace ot::fit {
namespace {

std::string Count(std::int64_t value) {
  return std::to_string(value);
}

void AddRow(std::vector<ModelsCsvRow>& rows, const SpeciesFit& fit, std::string_view model,
            std::string_view parameter, const Estimate& estimate, const ModelFit& model_fit) {
  rows.push_back(ModelsCsvRow{
      fit.species, std::string(model), std::string(parameter), CsvNumber(estimate.value),
      CsvNumber(estimate.se), CsvNumber(estimate.lower), CsvNumber(estimate.upper),
      CsvNumber(model_fit.log_likelihood), CsvNumber(model_fit.aic), Count(fit.sites),
      Count(fit.occasions), Count(fit.detections), std::string(StatusText(model_fit.status))});
}

std::string EstimateCell(const Estimate& estimate) {
  if (!estimate.value) return "NA";
  std::string cell = ShortNumber(*estimate.value);
  if (estimate.lower && estimate.upper) {
    cell += " (" + ShortNumber(*estimate.lower) + "-" + ShortNumber(*estimate.upper) + ")";
  } else {
    cell += " (NA)";
  }
  return cell;
}

std::string AicCell(const std::optional<double>& aic) {
  if (!aic || !std::isfinite(*aic)) return "NA";
  char text[64];
  const auto end = std::to_chars(text, text + sizeof text, *aic, std::chars_format::fixed, 1);
  return std::string(text, end.ptr);
}

std::string StatusCell(const SpeciesFit& fit) {
  const FitStatus occupancy = fit.occupancy.status;
  const FitStatus royle_nichols = fit.royle_nichols.status;
  if (occupancy == royle_nichols) return std::string(StatusText(occupancy));
  std::string cell;
  if (occupancy != FitStatus::kOk) cell = std::string(StatusText(occupancy)) + " (occupancy)";
  if (royle_nichols != FitStatus::kOk) {
    if (!cell.empty()) cell += ", ";
    cell.append(StatusText(royle_nichols)).append(" (RN)");
  }
  return cell;
}

// Characters of UTF-8 text: the bytes that do not continue a sequence.
std::size_t Width(std::string_view text) {
  return static_cast<std::size_t>(std::count_if(text.begin(), text.end(), [](char c) {
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  }));
}

}  // namespace

std::vector<ModelsCsvRow> ModelsCsvRows(const SpeciesFit& fit) {
  std::vector<ModelsCsvRow> rows;
  rows.reserve(6);
  const OccupancyFit& occupancy = fit.occupancy;
  AddRow(rows, fit, "occupancy", "psi", occupancy.psi, occupancy);
  AddRow(rows, fit, "occupancy", "p_daily", occupancy.p_daily, occupancy);
  AddRow(rows, fit, "occupancy", "p_occasion", occupancy.p_occasion, occupancy);
  const RoyleNicholsFit& royle_nichols = fit.royle_nichols;
  AddRow(rows, fit, "royle-nichols", "lambda", royle_nichols.lambda, royle_nichols);
  AddRow(rows, fit, "royle-nichols", "r_daily", royle_nichols.r_daily, royle_nichols);
  AddRow(rows, fit, "royle-nichols", "psi", royle_nichols.psi, royle_nichols);
  return rows;
}

ModelTable BuildModelTable(std::span<const SpeciesFit> fits) {
  ModelTable table;
  table.header = {"species",
                  "sites",
                  "detected",
                  "naive",
                  "occupancy (95% CI)",
                  "daily detection (95% CI)",
                  "RN animals/site (95% CI)",
                  "AIC occ.",
                  "AIC RN",
                  "status"};
  for (const SpeciesFit& fit : fits) {
    table.rows.push_back({fit.species, Count(fit.sites), Count(fit.sites_detected),
                          fit.naive_occupancy ? ShortNumber(*fit.naive_occupancy) : "NA",
                          EstimateCell(fit.occupancy.psi), EstimateCell(fit.occupancy.p_daily),
                          EstimateCell(fit.royle_nichols.lambda), AicCell(fit.occupancy.aic),
                          AicCell(fit.royle_nichols.aic), StatusCell(fit)});
  }
  return table;
}

std::string RenderModelTable(const ModelTable& table) {
  const std::size_t columns = table.header.size();
  std::vector<std::size_t> widths(columns);
  for (std::size_t c = 0; c < columns; ++c) widths[c] = Width(table.header[c]);
  for (const auto& row : table.rows) {
    for (std::size_t c = 0; c < columns && c < row.size(); ++c) {
      widths[c] = std::max(widths[c], Width(row[c]));
    }
  }
  std::string text;
  const auto line = [&](const std::vector<std::string>& cells) {
    std::string out;
    for (std::size_t c = 0; c < columns; ++c) {
      const std::string& cell = c < cells.size() ? cells[c] : std::string();
      const std::size_t padding = widths[c] - Width(cell);
      if (c > 0) out += "  ";
      const bool left = c == 0 || c + 1 == columns;
      if (!left) out.append(padding, ' ');
      out += cell;
      if (left) out.append(padding, ' ');
    }
    while (!out.empty() && out.back() == ' ') out.pop_back();
    text += out;
    text += '\n';
  };
  line(table.header);
  for (const auto& row : table.rows) line(row);
  return text;
}

}  // namespace ot::fit
