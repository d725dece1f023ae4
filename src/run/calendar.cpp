#include "run/calendar.h"

#include <algorithm>
#include <stdexcept>
#include <string>

#include "base/failure.h"

namespace ot {
namespace {

constexpr std::int64_t kDaysBeforeMonth[2][13] = {
    {0, 0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334},
    {0, 0, 31, 60, 91, 121, 152, 182, 213, 244, 274, 305, 335},
};

bool IsLeapYear(std::int64_t year) {
  return year % 4 == 0;
}

// Multiples of 4 in 1..y for y >= 0, mirrored below: floor(y / 4).
std::int64_t FloorQuarter(std::int64_t y) {
  return y >= 0 ? y / 4 : -((-y + 3) / 4);
}

// Leap years among y = from .. to - 1.
std::int64_t LeapYearsBetween(std::int64_t from, std::int64_t to) {
  return FloorQuarter(to - 1) - FloorQuarter(from - 1);
}

std::string DecimalBytes(std::int64_t rows, std::int64_t columns) {
  __extension__ using Wide = unsigned __int128;
  Wide bytes = static_cast<Wide>(rows) * static_cast<Wide>(columns) * 4u;
  std::string digits;
  do {
    digits.insert(digits.begin(), static_cast<char>('0' + static_cast<int>(bytes % 10)));
    bytes /= 10;
  } while (bytes != 0);
  return digits;
}

}  // namespace

std::int64_t DayNumber(std::int32_t reference_year, const Date& date) {
  std::int64_t number = 0;
  if (date.year > reference_year) {
    std::int64_t whole_years = std::int64_t{date.year} - reference_year;
    number += 365 * whole_years + LeapYearsBetween(reference_year, date.year);
  }
  const int month = std::clamp(date.month, 1, 12);
  number += kDaysBeforeMonth[IsLeapYear(date.year) ? 1 : 0][month];
  return number + date.day;
}

void SetStudyCalendar(StudyTables& study, StudyCalendar& calendar) {
  calendar.reference_year = 3000;
  for (const Location& location : study.locations) {
    for (const Period& period : location.periods) {
      calendar.reference_year = std::min(calendar.reference_year, period.begin.year);
    }
  }
  calendar.first_day_number = 3000;
  calendar.last_day_number = 0;
  for (Location& location : study.locations) {
    for (Period& period : location.periods) {
      period.begin_day = DayNumber(calendar.reference_year, period.begin);
      period.end_day = DayNumber(calendar.reference_year, period.end);
      calendar.first_day_number =
          std::min({calendar.first_day_number, period.begin_day, period.end_day});
      calendar.last_day_number =
          std::max({calendar.last_day_number, period.begin_day, period.end_day});
    }
  }
  calendar.num_days = calendar.last_day_number - calendar.first_day_number + 1;
}

void ShiftToStudyDays(StudyTables& study, const StudyCalendar& calendar) {
  for (Location& location : study.locations) {
    for (Period& period : location.periods) {
      period.begin_day = period.begin_day - calendar.first_day_number + 1;
      period.end_day = period.end_day - calendar.first_day_number + 1;
    }
  }
}

Matrix::Matrix(std::int64_t rows, std::int64_t columns, std::uint64_t byte_limit) {
  if (rows < 1 || columns < 1) return;
  std::int32_t* cells = Allocate(rows, columns, byte_limit);
  if (cells == nullptr) ReportMemoryFailure(DecimalBytes(rows, columns));
  cells_.reset(cells);
  rows_ = rows;
  columns_ = columns;
}

std::optional<Matrix> Matrix::TryCreate(std::int64_t rows, std::int64_t columns,
                                        std::uint64_t byte_limit) {
  Matrix matrix;
  if (rows < 1 || columns < 1) return matrix;
  matrix.cells_.reset(Allocate(rows, columns, byte_limit));
  if (!matrix.cells_) return std::nullopt;
  matrix.rows_ = rows;
  matrix.columns_ = columns;
  return matrix;
}

std::int32_t* Matrix::Allocate(std::int64_t rows, std::int64_t columns, std::uint64_t byte_limit) {
  const std::uint64_t max_cells = std::min<std::uint64_t>(byte_limit / 4, PTRDIFF_MAX / 4);
  const bool fits =
      static_cast<std::uint64_t>(columns) <= max_cells / static_cast<std::uint64_t>(rows);
  if (!fits) return nullptr;
  // Memory fresh from the system is zero already, so calloc leaves the
  // cells a run never touches untouched.
  return static_cast<std::int32_t*>(
      std::calloc(static_cast<std::size_t>(rows * columns), sizeof(std::int32_t)));
}

void Matrix::OutOfRange(std::int64_t row, std::int64_t column) const {
  throw std::out_of_range("matrix cell (" + std::to_string(row) + ", " + std::to_string(column) +
                          ") outside the matrix");
}

void Matrix::Fill(std::int32_t value) {
  std::fill_n(cells_.get(), static_cast<std::size_t>(rows_ * columns_), value);
}

void MarkOperatingDays(const StudyTables& study, DayMatrix& days) {
  days.Fill(-1);
  const std::int64_t rows = std::min<std::int64_t>(days.rows(), study.locations.size());
  for (std::int64_t i = 1; i <= rows; ++i) {
    for (const Period& period : study.locations[static_cast<std::size_t>(i - 1)].periods) {
      const std::int64_t first = std::max<std::int64_t>(period.begin_day, 1);
      const std::int64_t last = std::min(period.end_day, days.columns());
      for (std::int64_t d = first; d <= last; ++d) days(i, d) = 0;
    }
  }
}

OperatingDays::OperatingDays(const StudyTables& study, std::int64_t num_days) {
  runs_.resize(study.locations.size());
  for (std::size_t i = 0; i < study.locations.size(); ++i) {
    std::vector<DayRun>& runs = runs_[i];
    for (const Period& period : study.locations[i].periods) {
      const std::int64_t first = std::max<std::int64_t>(period.begin_day, 1);
      const std::int64_t last = std::min(period.end_day, num_days);
      if (first <= last) runs.push_back({first, last});
    }
    std::sort(runs.begin(), runs.end(),
              [](const DayRun& a, const DayRun& b) { return a.first < b.first; });
    std::size_t kept = 0;
    for (const DayRun& run : runs) {
      if (kept > 0 && run.first <= runs[kept - 1].last + 1) {
        runs[kept - 1].last = std::max(runs[kept - 1].last, run.last);
      } else {
        runs[kept++] = run;
      }
    }
    runs.resize(kept);
  }
}

bool OperatingDays::Contains(std::int64_t location, std::int64_t day) const {
  return CountIn(location, day, day) == 1;
}

std::int64_t OperatingDays::CountIn(std::int64_t location, std::int64_t first,
                                    std::int64_t last) const {
  if (location < 1 || location > static_cast<std::int64_t>(runs_.size())) return 0;
  const std::vector<DayRun>& runs = runs_[static_cast<std::size_t>(location - 1)];
  // The first run that ends on or after `first`.
  auto it = std::lower_bound(runs.begin(), runs.end(), first,
                             [](const DayRun& run, std::int64_t day) { return run.last < day; });
  std::int64_t count = 0;
  for (; it != runs.end() && it->first <= last; ++it) {
    count += std::min(it->last, last) - std::max(it->first, first) + 1;
  }
  return count;
}

void AddToCell(std::int32_t& cell, std::int64_t amount) {
  constexpr std::int64_t kLow = std::numeric_limits<std::int32_t>::min();
  constexpr std::int64_t kHigh = std::numeric_limits<std::int32_t>::max();
  cell = static_cast<std::int32_t>(std::clamp(cell + amount, kLow, kHigh));
}

}  // namespace ot
