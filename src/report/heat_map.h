// One heat map per species: locations x occasions, each cell shaded by its
// count, NA cells hatched, row totals. The cells are one palette image, so
// the size grows with the cells' number, not with elements per cell; each
// row carries its counts as a data attribute for the hover text and tests.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "results/survey_results.h"

namespace ot::report {

// The geometry every heat map of a report shares, in pixels.
struct HeatMapLayout {
  std::int64_t rows = 0;     // locations
  std::int64_t columns = 0;  // occasions
  int cell_width = 0;
  int cell_height = 0;
  int label_width = 0;  // location names, left of the cells
  int axis_height = 0;  // occasion numbers, above the cells
  int total_width = 0;  // row totals, right of the cells
  std::int64_t cells_width() const { return columns * cell_width; }
  std::int64_t cells_height() const { return rows * cell_height; }
  std::int64_t width() const { return label_width + cells_width() + total_width; }
  std::int64_t height() const { return axis_height + cells_height() + 2; }
};

// Cells of about 18 pixels, narrower for many occasions and lower for many
// locations, never below 3 x 10.
HeatMapLayout LayoutHeatMaps(const SurveyResults& results);

// SVG definitions every heat map uses (placed once in the page's hidden
// <svg>): the hatching, the cell grid, and the hatched cells of no effort,
// which are the same for every species.
void AppendHeatMapDefinitions(std::string& html, const SurveyResults& results,
                              const HeatMapLayout& layout);

// The legend of the shades.
void AppendShadeLegend(std::string& html);

// The heat map of species `species` (counted from 0) as a <figure>.
void AppendHeatMap(std::string& html, const SurveyResults& results, std::size_t species,
                   const HeatMapLayout& layout);

// How a species name is shown: as listed, or "(blank name)".
std::string ShownName(const std::string& name);

}  // namespace ot::report
