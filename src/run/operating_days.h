// The days on which each location's camera operated.
#pragma once

#include <cstdint>
#include <vector>

#include "run/matrix.h"
#include "run/study_input.h"

namespace ot {

// Resets the DayMatrix: -1 on every day, then 0 on every day of every
// operating period (both ends included; a period ending before it begins
// sets nothing). Days outside the matrix are never touched.
void MarkOperatingDays(const StudyTables& study, DayMatrix& days);

// For each location, the study days on which its camera operated: the days
// MarkOperatingDays sets to 0, kept as sorted, disjoint runs of days so that a lookup costs
// a binary search over a location's few periods.
class OperatingDays {
 public:
  OperatingDays() = default;
  // Takes the periods' study days (after ShiftToStudyDays), within 1..num_days.
  OperatingDays(const StudyTables& study, std::int64_t num_days);
  // Whether location `location` (a row, counted from 1) operated on study
  // day `day`; false for a row or day outside the study.
  bool Contains(std::int64_t location, std::int64_t day) const;
  // The number of operating days of `location` in first..last.
  std::int64_t CountIn(std::int64_t location, std::int64_t first, std::int64_t last) const;

 private:
  struct DayRun {
    std::int64_t first;
    std::int64_t last;
  };
  std::vector<std::vector<DayRun>> runs_;  // per location
};

}  // namespace ot
