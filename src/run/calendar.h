// The program's one calendar: day numbers, month lengths, possible dates
// and times, minute stamps, the dates of day numbers, the survey's days and
// the occasions they fall into. Every year divisible by 4 is a leap year.
//
// Day numbers are values, not indices: 1 January of a reference year is day
// number 1. Survey days and occasions are indices: the survey's first day is
// survey day 0 and its first occasion occasion 0 (a person sees them counted
// from 1).
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

#include "base/date.h"
#include "run/survey_input.h"

namespace ot {

// Whether `year` has a 29 February: every year divisible by 4 does.
constexpr bool IsLeapYear(std::int64_t year) {
  return year % 4 == 0;
}

// The one table of month lengths: January to December of a year without
// 29 February.
inline constexpr std::array<std::int32_t, 12> kDaysInCommonMonth = {31, 28, 31, 30, 31, 30,
                                                                    31, 31, 30, 31, 30, 31};

// The days of month `month` (1..12) of `year`.
constexpr std::int32_t DaysInMonth(std::int64_t year, std::int32_t month) {
  return kDaysInCommonMonth[static_cast<std::size_t>(month - 1)] +
         (month == 2 && IsLeapYear(year) ? 1 : 0);
}

// The day number of `date` counted from 1 January of `reference_year`:
// 365 or 366 days for each whole year from the reference year up to the
// date's year (none when the date's year is not later), the months before
// the date's month, then the day of the month as it stands (so 30 February
// is 2 March). `date.month` must lie in 1..12. Closed form: no loop over
// years, no overflow for any 32-bit year.
std::int64_t DayNumber(std::int32_t reference_year, const Date& date);

// The date of day number `day_number` counted from 1 January of
// `reference_year` (day 1): the inverse of DayNumber for real dates.
Date DateOfDayNumber(std::int32_t reference_year, std::int64_t day_number);

// Whether `date` at `hour`:`minute` can exist: day within its month, hour
// 0..23, minute 0..59.
inline bool IsPossibleDateAndTime(const Date& date, std::int32_t hour, std::int32_t minute) {
  if (date.month < 1 || date.month > 12) return false;
  return date.day >= 1 && date.day <= DaysInMonth(date.year, date.month) && hour >= 0 &&
         hour <= 23 && minute >= 0 && minute <= 59;
}

struct MinuteStampResult {
  std::int64_t day_number;  // as DayNumber
  std::int64_t stamp;       // ((day number x 24) + hour) x 60 + minute
};

// The day number and minute stamp of a picture taken at `hour`:`minute` on
// `date`, counted from 1 January of `reference_year`. Seconds take no part.
// `date.month` must lie in 1..12.
inline MinuteStampResult MinuteStamp(std::int32_t reference_year, const Date& date,
                                     std::int32_t hour, std::int32_t minute) {
  const std::int64_t day_number = DayNumber(reference_year, date);
  return {day_number, (day_number * 24 + hour) * 60 + minute};
}

// The survey's days. Survey day 0 is the day of first_day_number.
struct SurveyCalendar {
  std::int32_t reference_year = 3000;  // smallest begin year of any period
  std::int64_t first_day_number = 0;   // smallest period day number, before the shift
  std::int64_t last_day_number = 0;    // largest period day number, before the shift
  // last_day_number - first_day_number + 1; below 1 when no period exists.
  std::int64_t num_days = 0;

  // The survey day of day number `day_number`, inside the survey or not.
  std::int64_t SurveyDay(std::int64_t day_number) const { return day_number - first_day_number; }
  // Whether survey day `day` lies in the survey: 0..num_days - 1.
  bool Contains(std::int64_t day) const { return day >= 0 && day < num_days; }
  // The date of survey day `day`, inside the survey or not.
  Date DateOfSurveyDay(std::int64_t day) const;
};

// Sets reference_year (3000 unless a begin year is smaller), every period's day
// numbers, first_day_number and last_day_number (the smallest and the largest of all begin
// and end day numbers, starting from 3000 and 0) and num_days.
void SetSurveyCalendar(SurveyDescription& survey, SurveyCalendar& calendar);

// Shifts every period's day numbers to survey days (SurveyCalendar::SurveyDay).
void ShiftToSurveyDays(SurveyDescription& survey, const SurveyCalendar& calendar);

// The number of occasions: (num_days - 1 + occasion_days) / occasion_days,
// truncated toward zero, or 0 unless that is positive. `occasion_days` must
// not be 0.
std::int64_t CountOccasions(std::int64_t num_days, std::int32_t occasion_days);

// Survey days first..last; empty when last < first.
struct DayRange {
  std::int64_t first = 0;
  std::int64_t last = 0;
  std::int64_t days() const { return last >= first ? last - first + 1 : 0; }
};

// The survey days of occasion `occasion` of a survey of `num_days` days: from
// occasion x occasion_days to the smaller of that + occasion_days - 1 and
// num_days - 1. With a negative occasion length every range is empty.
DayRange OccasionDays(std::int64_t occasion, std::int32_t occasion_days, std::int64_t num_days);

// What OccasionOfDay gives for a day in no occasion.
inline constexpr std::int64_t kNoOccasion = -1;

// The occasion whose OccasionDays hold survey day `day` (0 or more), or
// kNoOccasion when none does: with a negative occasion length every range
// is empty.
inline std::int64_t OccasionOfDay(std::int64_t day, std::int32_t occasion_days) {
  return occasion_days > 0 ? day / occasion_days : kNoOccasion;
}

}  // namespace ot
