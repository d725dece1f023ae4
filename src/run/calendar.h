// The study calendar: day numbers, the study's first day and length, and the
// per-location, per-day matrix of operating days.
#pragma once

#include <cstdint>
#include <cstdlib>
#include <limits>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "run/study_input.h"

namespace ot {

// Day numbers count from 1 January of a reference year (day 1); every year
// divisible by 4 is a leap year.
struct StudyCalendar {
  std::int32_t reference_year = 3000;  // smallest begin year of any period
  std::int64_t first_day_number = 0;   // smallest period day number, before the shift
  std::int64_t last_day_number = 0;    // largest period day number, before the shift
  std::int64_t num_days =
      0;  // last_day_number - first_day_number + 1; below 1 when no period exists
};

// The day number of `date` counted from 1 January of `reference_year`:
// 365 or 366 days for each whole year from the reference year up to the
// date's year (none when the date's year is not later), the months before
// the date's month, then the day of the month as it stands (so 30 February
// is 2 March). `date.month` must lie in 1..12. Closed form: no loop over
// years, no overflow for any 32-bit year.
std::int64_t DayNumber(std::int32_t reference_year, const Date& date);

// Sets reference_year (3000 unless a begin year is smaller), every period's day
// numbers, first_day_number and last_day_number (the smallest and the largest of all begin
// and end day numbers, starting from 3000 and 0) and num_days.
void SetStudyCalendar(StudyTables& study, StudyCalendar& calendar);

// Shifts every period's day numbers so that first_day_number becomes day 1.
void ShiftToStudyDays(StudyTables& study, const StudyCalendar& calendar);

// A matrix of 32-bit counts with 1-based (row, column) access, stored column
// by column. A row or column count below 1 gives an empty matrix.
class Matrix {
 public:
  Matrix() = default;
  // Allocates rows x columns cells of 0. A request above `byte_limit`, or
  // one that cannot be met, ends the run with the memory diagnostic naming
  // rows x columns x 4 bytes.
  Matrix(std::int64_t rows, std::int64_t columns,
         std::uint64_t byte_limit = std::numeric_limits<std::uint64_t>::max());
  // As the constructor, but a request that cannot be met gives no matrix
  // instead of the memory failure.
  static std::optional<Matrix> TryCreate(std::int64_t rows, std::int64_t columns,
                                         std::uint64_t byte_limit);

  std::int64_t rows() const { return rows_; }
  std::int64_t columns() const { return columns_; }
  std::int32_t& operator()(std::int64_t row, std::int64_t column) {
    return cells_[Index(row, column)];
  }
  std::int32_t operator()(std::int64_t row, std::int64_t column) const {
    return cells_[Index(row, column)];
  }
  void Fill(std::int32_t value);
  // The cells of column `column`, row 1 first.
  std::span<std::int32_t> Column(std::int64_t column) {
    return {&cells_[Index(1, column)], static_cast<std::size_t>(rows_)};
  }
  std::span<const std::int32_t> Column(std::int64_t column) const {
    return {&cells_[Index(1, column)], static_cast<std::size_t>(rows_)};
  }

 private:
  std::size_t Index(std::int64_t row, std::int64_t column) const {
    if (row < 1 || row > rows_ || column < 1 || column > columns_) [[unlikely]] {
      OutOfRange(row, column);
    }
    return static_cast<std::size_t>((column - 1) * rows_ + (row - 1));
  }
  [[noreturn]] void OutOfRange(std::int64_t row, std::int64_t column) const;
  // The zeroed cells, or nullptr when the request cannot be met.
  static std::int32_t* Allocate(std::int64_t rows, std::int64_t columns, std::uint64_t byte_limit);
  std::int64_t rows_ = 0;
  std::int64_t columns_ = 0;
  struct FreeCells {
    void operator()(std::int32_t* cells) const { std::free(cells); }
  };
  std::unique_ptr<std::int32_t[], FreeCells> cells_;
};

using DayMatrix = Matrix;

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

// Adds `amount` to a cell, saturating at the 32-bit limits.
void AddToCell(std::int32_t& cell, std::int64_t amount);

}  // namespace ot
