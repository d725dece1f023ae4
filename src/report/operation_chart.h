// The camera operation chart: one row per location along the survey's days,
// its operating periods as bars and its pictures as marks coloured by
// species, pictures on non-operating days in red. The marks are one palette
// image of one column per day (or per few days in long surveys), so the
// size does not grow with the pictures.
#pragma once

#include <string>

#include "results/survey_results.h"

namespace ot::report {

// The chart and its legend. Needs the pictures kept per day
// (SurveyResults(true)).
void AppendOperationChart(std::string& html, const SurveyResults& results);

// Days per image column: 1, or more so that a long survey has at most
// `max_columns` columns.
std::int64_t DaysPerColumn(std::int64_t survey_days, std::int64_t max_columns);

}  // namespace ot::report
