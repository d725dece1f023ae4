// The days on which each location's camera operated.
#pragma once

#include <cstdint>
#include <vector>

#include "run/matrix.h"
#include "run/survey_input.h"

namespace ot {

// Resets the DayMatrix (row i: location i, column d: survey day d): -1 on
// every day, then 0 on every day of every operating period (both ends
// included; a period ending before it begins sets nothing). Days outside
// the matrix are never touched.
void MarkOperatingDays(const SurveyDescription& survey, DayMatrix& days);

// For each location, the survey days on which its camera operated: the days
// MarkOperatingDays sets to 0, kept as sorted, disjoint runs of days so that a lookup costs
// a binary search over a location's few periods.
class OperatingDays {
 public:
  OperatingDays() = default;
  // Takes the periods' survey days (after ShiftToSurveyDays), within
  // 0..num_days - 1.
  OperatingDays(const SurveyDescription& survey, std::int64_t num_days);
  // Whether location `location` (counted from 0) operated on survey day
  // `day` (counted from 0); false for a location or day outside the survey.
  bool Contains(std::int64_t location, std::int64_t day) const;
  // The number of operating days of `location` in survey days first..last.
  std::int64_t CountIn(std::int64_t location, std::int64_t first, std::int64_t last) const;

 private:
  struct DayRun {
    std::int64_t first;
    std::int64_t last;
  };
  std::vector<std::vector<DayRun>> runs_;  // per location
};

}  // namespace ot
