#include "run/calendar.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <random>
#include <string>

#include "support/test_support.h"

namespace ot {
namespace {

using testing::SurveyOf;
using testing::WorkedExampleSurvey;

// "2019-11-20"
std::string Text(const Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

// Day numbers the long way: one whole year at a time, then one month at a time.
std::int64_t NaiveDayNumber(std::int32_t reference, const Date& date) {
  static const int kLength[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  std::int64_t number = 0;
  for (std::int64_t y = reference; y < date.year; ++y) number += (y % 4 == 0) ? 366 : 365;
  for (int m = 1; m < date.month; ++m) number += kLength[m - 1] + (m == 2 && date.year % 4 == 0);
  return number + date.day;
}

TEST(DayNumber, CountsFromFirstJanuaryOfTheReferenceYear) {
  struct {
    std::int32_t reference;
    Date date;
    std::int64_t number;
  } cases[] = {{2019, {2019, 1, 1}, 1},
               {2019, {2020, 3, 1}, 426},
               {2099, {2100, 3, 1}, 426},  // every year divisible by 4 is a leap year
               {1899, {1900, 3, 1}, 426},
               {2020, {2019, 12, 31}, 365},  // earlier year: its own day of the year
               {2019, {2019, 2, 30}, 61},    // the same as 2 March
               {2019, {2019, 3, 2}, 61},
               {2019, {2019, 11, 20}, 324},
               {2019, {2020, 1, 15}, 380},
               {2019, {2020, 3, 31}, 456},
               {2020, {2020, 12, 31}, 366},
               {2021, {2021, 12, 31}, 365},
               {3000, {3005, 1, 1}, 1828},
               {-5, {0, 3, 1}, 1887},  // years below zero keep the divisible-by-4 rule
               {-1, {3, 1, 1}, 1462},
               {2019, {2000000000, 1, 1}, 730499262561},
               {-2147483647 - 1, {2147483647, 12, 31}, 1568736804864},
               {2019, {2019, 1, 0}, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.reference) + " -> " + std::to_string(c.date.year) + "-" +
                 std::to_string(c.date.month) + "-" + std::to_string(c.date.day));
    EXPECT_EQ(DayNumber(c.reference, c.date), c.number);
  }
}

TEST(DayNumber, AgreesWithAYearByYearCount) {
  std::mt19937 random(20240611);
  auto in = [&](int low, int high) {
    return std::uniform_int_distribution<int>(low, high)(random);
  };
  for (int n = 0; n < 400; ++n) {
    const std::int32_t reference = in(-2000, 4000);
    const Date date{reference + in(-5, 60), in(1, 12), in(0, 40)};
    SCOPED_TRACE(std::to_string(reference) + " -> " + std::to_string(date.year) + "-" +
                 std::to_string(date.month) + "-" + std::to_string(date.day));
    ASSERT_EQ(DayNumber(reference, date), NaiveDayNumber(reference, date));
  }
}

std::vector<std::int64_t> DayNumbers(const SurveyDescription& survey) {
  std::vector<std::int64_t> numbers;
  for (const auto& location : survey.locations) {
    for (const auto& period : location.periods) {
      numbers.push_back(period.begin_day);
      numbers.push_back(period.end_day);
    }
  }
  return numbers;
}

TEST(DaysAndApplyOffset, WorkedExample) {
  SurveyDescription survey = WorkedExampleSurvey();
  SurveyCalendar calendar;
  calendar.reference_year = 1;  // ignored on entry
  SetSurveyCalendar(survey, calendar);
  EXPECT_EQ(calendar.reference_year, 2019);
  EXPECT_EQ(calendar.first_day_number, 324);
  EXPECT_EQ(calendar.last_day_number, 456);
  EXPECT_EQ(calendar.num_days, 133);
  EXPECT_EQ(DayNumbers(survey), (std::vector<std::int64_t>{324, 380, 397, 435, 335, 456}));
  ShiftToSurveyDays(survey, calendar);
  EXPECT_EQ(DayNumbers(survey), (std::vector<std::int64_t>{0, 56, 73, 111, 11, 132}));
  EXPECT_EQ(calendar.first_day_number, 324);
}

TEST(SurveyCalendar, SurveyDaysCountFromTheFirstDay) {
  SurveyDescription survey = WorkedExampleSurvey();
  SurveyCalendar calendar;
  SetSurveyCalendar(survey, calendar);
  struct {
    std::int64_t day_number, survey_day;
    bool contained;
    const char* date;
  } cases[] = {{323, -1, false, "2019-11-19"},
               {324, 0, true, "2019-11-20"},
               {456, 132, true, "2020-03-31"},
               {457, 133, false, "2020-04-01"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_EQ(calendar.SurveyDay(c.day_number), c.survey_day);
    EXPECT_EQ(calendar.Contains(c.survey_day), c.contained);
    EXPECT_EQ(Text(calendar.DateOfSurveyDay(c.survey_day)), c.date);
  }
}

TEST(DaysAndApplyOffset, SurveyEdges) {
  struct {
    const char* label;
    SurveyDescription survey;
    std::int32_t begin_year;
    std::int64_t begin_day, end_day, num_days;
    std::vector<std::int64_t> shifted;
  } cases[] = {
      // clang-format off
      {"single day", SurveyOf({{{{2021, 6, 5}, {2021, 6, 5}}}}), 2021, 156, 156, 1, {0, 0}},
      {"no periods", SurveyOf({{}, {}}), 3000, 3000, 0, -2999, {}},
      {"no locations", SurveyOf({}), 3000, 3000, 0, -2999, {}},
      {"begins on 1 January", SurveyOf({{{{2020, 1, 1}, {2020, 1, 31}}}}), 2020, 1, 31, 31, {0, 30}},
      {"end before begin", SurveyOf({{{{2020, 3, 10}, {2020, 3, 1}}}}), 2020, 61, 70, 10, {9, 0}},
      {"end year before every begin year", SurveyOf({{{{2020, 1, 5}, {2019, 12, 31}}}}),
       2020, 5, 365, 361, {0, 360}},
      {"smallest begin year from a later location",
       SurveyOf({{{{2021, 1, 1}, {2021, 1, 2}}}, {{{2020, 12, 31}, {2021, 1, 1}}}}),
       2020, 366, 368, 3, {1, 2, 0, 1}},
      {"across 29 February 2100", SurveyOf({{{{2100, 2, 28}, {2100, 3, 1}}}}),
       2100, 59, 61, 3, {0, 2}},
      {"begin year 3001", SurveyOf({{{{3001, 1, 1}, {3001, 1, 2}}}}), 3000, 367, 368, 2, {0, 1}},
      // The start values 3000 and 0 take part in the smallest and largest day.
      {"begin year 3010", SurveyOf({{{{3010, 1, 1}, {3010, 1, 2}}}}),
       3000, 3000, 3655, 656, {654, 655}},
      // clang-format on
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.label);
    SurveyCalendar calendar;
    SetSurveyCalendar(c.survey, calendar);
    EXPECT_EQ(calendar.reference_year, c.begin_year);
    EXPECT_EQ(calendar.first_day_number, c.begin_day);
    EXPECT_EQ(calendar.last_day_number, c.end_day);
    EXPECT_EQ(calendar.num_days, c.num_days);
    ShiftToSurveyDays(c.survey, calendar);
    EXPECT_EQ(DayNumbers(c.survey), c.shifted);
  }
}

TEST(DaysAndApplyOffset, FarYearsAreComputedAtOnce) {
  SurveyDescription survey = SurveyOf({{{{2019, 1, 1}, {2000000000, 1, 1}}}});
  SurveyCalendar calendar;
  SetSurveyCalendar(survey, calendar);
  EXPECT_EQ(calendar.num_days, 730499262561);
  ShiftToSurveyDays(survey, calendar);
  EXPECT_EQ(DayNumbers(survey), (std::vector<std::int64_t>{0, 730499262560}));
}

TEST(DateOfDayNumber, InvertsDayNumberForEveryDayOfFourCenturies) {
  for (std::int32_t reference : {1, 1899, 2019, 2020}) {
    for (std::int32_t year = reference; year < reference + 400; ++year) {
      for (std::int32_t month = 1; month <= 12; ++month) {
        for (std::int32_t day = 1; day <= 28; day += 9) {
          const Date date{year, month, day};
          const Date back = DateOfDayNumber(reference, DayNumber(reference, date));
          ASSERT_EQ(Text(back), Text(date)) << "reference " << reference;
        }
      }
    }
  }
}

TEST(DateOfDayNumber, EdgesOfMonthsAndYears) {
  struct {
    std::int32_t reference;
    std::int64_t day_number;
    const char* date;
  } cases[] = {
      {2019, 1, "2019-01-01"},  {2019, 365, "2019-12-31"},  {2019, 366, "2020-01-01"},
      {2020, 60, "2020-02-29"}, {2020, 366, "2020-12-31"},  {2100, 60, "2100-02-29"},
      {2019, 0, "2018-12-31"},  {2019, -365, "2017-12-31"}, {2019, -1460, "2015-01-01"},
      {2019, 59, "2019-02-28"}, {2019, 60, "2019-03-01"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.date);
    EXPECT_EQ(Text(DateOfDayNumber(c.reference, c.day_number)), c.date);
  }
}

TEST(MinuteStamp, DayNumberAndMinutes) {
  struct {
    std::int32_t reference;
    Date date;
    std::int32_t hour, minute;
    std::int64_t day_number, stamp;
  } cases[] = {{2019, {2019, 11, 21}, 6, 10, 325, 468370},
               {2019, {2019, 12, 6}, 0, 5, 340, 489605},
               {2019, {2020, 4, 2}, 10, 0, 458, 660120},
               {2019, {2019, 2, 30}, 0, 0, 61, 87840},
               {-2147483647 - 1, {2147483647, 12, 31}, 99, 99, 1568736804864, 2258980999010199}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.stamp);
    const MinuteStampResult result = MinuteStamp(c.reference, c.date, c.hour, c.minute);
    EXPECT_EQ(result.day_number, c.day_number);
    EXPECT_EQ(result.stamp, c.stamp);
  }
}

TEST(CountOccasions, TruncatingDivisionAndNothingBelowOne) {
  struct {
    std::int64_t num_days;
    std::int32_t occasion_days;
    std::int64_t occasions;
  } cases[] = {
      // clang-format off
      {10, 4, 3}, {10, 5, 2}, {10, 10, 1}, {10, 11, 1}, {10, 1, 10}, {1, 1, 1}, {133, 7, 19},
      {133, 2147483647, 1}, {2147483647, 2147483647, 1}, {730499262561, 1, 730499262561},
      {-2999, 4, 0}, {-2999, 1, 0}, {-2999, 2147483647, 0}, {10, -3, 0}, {2, -1, 0}, {1, -3, 1},
      {-2999, -1, 3001},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.num_days) + " days by " + std::to_string(c.occasion_days));
    EXPECT_EQ(CountOccasions(c.num_days, c.occasion_days), c.occasions);
  }
}

TEST(IsPossibleDateAndTime, MonthLengthsLeapYearsAndTheClock) {
  struct {
    Date date;
    std::int32_t hour, minute;
    bool possible;
  } cases[] = {
      {{2019, 1, 31}, 0, 0, true},  {{2019, 4, 31}, 0, 0, false}, {{2019, 2, 28}, 23, 59, true},
      {{2019, 2, 29}, 0, 0, false}, {{2020, 2, 29}, 0, 0, true},  {{2100, 2, 29}, 0, 0, true},
      {{-4, 2, 29}, 0, 0, true},    {{-1, 2, 29}, 0, 0, false},   {{2019, 12, 31}, 0, 0, true},
      {{2019, 6, 0}, 0, 0, false},  {{2019, 0, 1}, 0, 0, false},  {{2019, 13, 1}, 0, 0, false},
      {{2019, 6, 1}, 24, 0, false}, {{2019, 6, 1}, 0, 60, false}, {{2019, 6, 1}, -1, 0, false},
      {{2019, 6, 1}, 0, -1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(Text(c.date) + " " + std::to_string(c.hour) + ":" + std::to_string(c.minute));
    EXPECT_EQ(IsPossibleDateAndTime(c.date, c.hour, c.minute), c.possible);
  }
  // The month lengths add up to the length of the year.
  for (const std::int32_t year : {2019, 2020}) {
    std::int64_t days = 0;
    for (std::int32_t month = 1; month <= 12; ++month) days += DaysInMonth(year, month);
    EXPECT_EQ(days, DayNumber(year, {year, 12, 31}));
  }
}

TEST(OccasionDays, RangesAndTheOccasionOfEachDay) {
  struct {
    std::int64_t num_days;
    std::int32_t occasion_days;
    const char* ranges;  // first-last of each occasion CountOccasions gives
  } cases[] = {
      {10, 4, "0-3 4-7 8-9"}, {133, 70, "0-69 70-132"}, {3, 1, "0-0 1-1 2-2"},
      {5, 2147483647, "0-4"}, {1, -3, "0--4"},          {-2999, -1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.num_days) + " days by " + std::to_string(c.occasion_days));
    std::string ranges;
    const std::int64_t occasions = CountOccasions(c.num_days, c.occasion_days);
    for (std::int64_t k = 0; k < occasions && k < 3; ++k) {
      const DayRange range = OccasionDays(k, c.occasion_days, c.num_days);
      if (!ranges.empty()) ranges += ' ';
      ranges += std::to_string(range.first);
      ranges += '-';
      ranges += std::to_string(range.last);
      for (std::int64_t d = range.first; d <= range.last; ++d) {
        ASSERT_EQ(OccasionOfDay(d, c.occasion_days), k) << "day " << d;
      }
    }
    if (occasions <= 3) {
      EXPECT_EQ(ranges, c.ranges);
    }
    if (c.occasion_days < 1) {
      EXPECT_EQ(OccasionOfDay(0, c.occasion_days), kNoOccasion);
    }
  }
}

}  // namespace
}  // namespace ot
