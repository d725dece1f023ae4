// Input.txt as the run reads it, with the line of every value: what `check`
// needs to name the line of each problem it finds there.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "run/survey_input.h"

namespace ot::checks {

// The lines of a period's six values: begin year, month, day, end year,
// month, day.
using PeriodLines = std::array<std::int64_t, 6>;

struct InputListing {
  SurveyDescription survey;  // the locations, periods and species as the run has them
  std::vector<std::int64_t> location_lines;            // each location's name line
  std::vector<std::vector<PeriodLines>> period_lines;  // per location, per period
  std::vector<std::int64_t> species_lines;             // each species' name line
};

// Reads Input.txt's `content` through the text layer with the run's reads
// in the run's order, so every value is the run's, and notes each value's
// line (a value left empty or cut short by a slash takes the line where its
// read ended). A file the run could not read ends the check (CannotCheck),
// naming what was being read.
InputListing ReadInputListing(std::string_view content);

}  // namespace ot::checks
