#include "run/calendar.h"

#include <algorithm>
#include <array>

namespace ot {
namespace {

constexpr std::int64_t kDaysInYear = 365;
constexpr std::int64_t kDaysInFourYears = 4 * kDaysInYear + 1;  // any four years hold one leap year

// Days before each month (1..12, index 0 unused) of a common and of a leap
// year.
constexpr std::array<std::array<std::int64_t, 13>, 2> DaysBeforeMonth() {
  std::array<std::array<std::int64_t, 13>, 2> before{};
  for (std::size_t leap = 0; leap < 2; ++leap) {
    for (std::size_t month = 2; month <= 12; ++month) {
      before[leap][month] = before[leap][month - 1] + kDaysInCommonMonth[month - 2] +
                            (leap == 1 && month - 1 == 2 ? 1 : 0);
    }
  }
  return before;
}
constexpr auto kDaysBeforeMonth = DaysBeforeMonth();
static_assert(kDaysBeforeMonth[0][12] + kDaysInCommonMonth[11] == kDaysInYear);

std::int64_t YearLength(std::int64_t year) {
  return IsLeapYear(year) ? kDaysInYear + 1 : kDaysInYear;
}

// Multiples of 4 in 1..y for y >= 0, mirrored below: floor(y / 4).
std::int64_t FloorQuarter(std::int64_t y) {
  return y >= 0 ? y / 4 : -((-y + 3) / 4);
}

// Leap years among y = from .. to - 1.
std::int64_t LeapYearsBetween(std::int64_t from, std::int64_t to) {
  return FloorQuarter(to - 1) - FloorQuarter(from - 1);
}

}  // namespace

std::int64_t DayNumber(std::int32_t reference_year, const Date& date) {
  std::int64_t number = 0;
  if (date.year > reference_year) {
    std::int64_t whole_years = std::int64_t{date.year} - reference_year;
    number += kDaysInYear * whole_years + LeapYearsBetween(reference_year, date.year);
  }
  const int month = std::clamp(date.month, 1, 12);
  number += kDaysBeforeMonth[IsLeapYear(date.year) ? 1 : 0][static_cast<std::size_t>(month)];
  return number + date.day;
}

Date DateOfDayNumber(std::int32_t reference_year, std::int64_t day_number) {
  std::int64_t year = reference_year;
  std::int64_t n = day_number;
  if (n < 1) {
    const std::int64_t blocks = (1 - n + kDaysInFourYears - 1) / kDaysInFourYears;
    year -= 4 * blocks;
    n += kDaysInFourYears * blocks;
  }
  const std::int64_t blocks = (n - 1) / kDaysInFourYears;
  year += 4 * blocks;
  n -= kDaysInFourYears * blocks;
  while (n > YearLength(year)) n -= YearLength(year++);
  std::int32_t month = 1;
  for (;; ++month) {
    const std::int64_t length = DaysInMonth(year, month);
    if (n <= length || month == 12) break;
    n -= length;
  }
  return {static_cast<std::int32_t>(year), month, static_cast<std::int32_t>(n)};
}

Date SurveyCalendar::DateOfSurveyDay(std::int64_t day) const {
  return DateOfDayNumber(reference_year, day + first_day_number);
}

void SetSurveyCalendar(SurveyDescription& survey, SurveyCalendar& calendar) {
  calendar.reference_year = 3000;
  for (const Location& location : survey.locations) {
    for (const Period& period : location.periods) {
      calendar.reference_year = std::min(calendar.reference_year, period.begin.year);
    }
  }
  calendar.first_day_number = 3000;
  calendar.last_day_number = 0;
  for (Location& location : survey.locations) {
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

void ShiftToSurveyDays(SurveyDescription& survey, const SurveyCalendar& calendar) {
  for (Location& location : survey.locations) {
    for (Period& period : location.periods) {
      period.begin_day = calendar.SurveyDay(period.begin_day);
      period.end_day = calendar.SurveyDay(period.end_day);
    }
  }
}

std::int64_t CountOccasions(std::int64_t num_days, std::int32_t occasion_days) {
  const std::int64_t t = (num_days - 1 + occasion_days) / occasion_days;
  return t > 0 ? t : 0;
}

DayRange OccasionDays(std::int64_t occasion, std::int32_t occasion_days, std::int64_t num_days) {
  const std::int64_t first = occasion * occasion_days;
  return {first, std::min(first + occasion_days - 1, num_days - 1)};
}

}  // namespace ot
