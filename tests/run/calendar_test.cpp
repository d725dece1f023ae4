#include "run/calendar.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

#include "support/test_support.h"

namespace ot {
namespace {

template <class Step>
std::string FailureOf(Step&& step) {
  try {
    step();
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "(no failure)";
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

StudyTables StudyOf(std::initializer_list<std::initializer_list<std::pair<Date, Date>>> sites) {
  StudyTables study;
  for (const auto& periods : sites) {
    Location location;
    location.name = std::string(kNameLength, ' ');
    for (const auto& [begin, end] : periods) location.periods.push_back({begin, end});
    location.num_periods = static_cast<std::int32_t>(location.periods.size());
    study.locations.push_back(location);
  }
  study.num_locations = static_cast<std::int32_t>(study.locations.size());
  return study;
}

StudyTables WorkedExample() {
  return StudyOf({{{{2019, 11, 20}, {2020, 1, 15}}, {{2020, 2, 1}, {2020, 3, 10}}},
                  {{{2019, 12, 1}, {2020, 3, 31}}}});
}

std::vector<std::int64_t> DayNumbers(const StudyTables& study) {
  std::vector<std::int64_t> numbers;
  for (const auto& location : study.locations) {
    for (const auto& period : location.periods) {
      numbers.push_back(period.begin_day);
      numbers.push_back(period.end_day);
    }
  }
  return numbers;
}

TEST(DaysAndApplyOffset, WorkedExample) {
  StudyTables study = WorkedExample();
  StudyCalendar calendar;
  calendar.reference_year = 1;  // ignored on entry
  SetStudyCalendar(study, calendar);
  EXPECT_EQ(calendar.reference_year, 2019);
  EXPECT_EQ(calendar.first_day_number, 324);
  EXPECT_EQ(calendar.last_day_number, 456);
  EXPECT_EQ(calendar.num_days, 133);
  EXPECT_EQ(DayNumbers(study), (std::vector<std::int64_t>{324, 380, 397, 435, 335, 456}));
  ShiftToStudyDays(study, calendar);
  EXPECT_EQ(DayNumbers(study), (std::vector<std::int64_t>{1, 57, 74, 112, 12, 133}));
  EXPECT_EQ(calendar.first_day_number, 324);
}

TEST(DaysAndApplyOffset, StudyEdges) {
  struct {
    const char* label;
    StudyTables study;
    std::int32_t begin_year;
    std::int64_t begin_day, end_day, num_days;
    std::vector<std::int64_t> shifted;
  } cases[] = {
      // clang-format off
      {"single day", StudyOf({{{{2021, 6, 5}, {2021, 6, 5}}}}), 2021, 156, 156, 1, {1, 1}},
      {"no periods", StudyOf({{}, {}}), 3000, 3000, 0, -2999, {}},
      {"no locations", StudyOf({}), 3000, 3000, 0, -2999, {}},
      {"begins on 1 January", StudyOf({{{{2020, 1, 1}, {2020, 1, 31}}}}), 2020, 1, 31, 31, {1, 31}},
      {"end before begin", StudyOf({{{{2020, 3, 10}, {2020, 3, 1}}}}), 2020, 61, 70, 10, {10, 1}},
      {"end year before every begin year", StudyOf({{{{2020, 1, 5}, {2019, 12, 31}}}}),
       2020, 5, 365, 361, {1, 361}},
      {"smallest begin year from a later location",
       StudyOf({{{{2021, 1, 1}, {2021, 1, 2}}}, {{{2020, 12, 31}, {2021, 1, 1}}}}),
       2020, 366, 368, 3, {2, 3, 1, 2}},
      {"across 29 February 2100", StudyOf({{{{2100, 2, 28}, {2100, 3, 1}}}}),
       2100, 59, 61, 3, {1, 3}},
      {"begin year 3001", StudyOf({{{{3001, 1, 1}, {3001, 1, 2}}}}), 3000, 367, 368, 2, {1, 2}},
      // The start values 3000 and 0 take part in the smallest and largest day.
      {"begin year 3010", StudyOf({{{{3010, 1, 1}, {3010, 1, 2}}}}),
       3000, 3000, 3655, 656, {655, 656}},
      // clang-format on
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.label);
    StudyCalendar calendar;
    SetStudyCalendar(c.study, calendar);
    EXPECT_EQ(calendar.reference_year, c.begin_year);
    EXPECT_EQ(calendar.first_day_number, c.begin_day);
    EXPECT_EQ(calendar.last_day_number, c.end_day);
    EXPECT_EQ(calendar.num_days, c.num_days);
    ShiftToStudyDays(c.study, calendar);
    EXPECT_EQ(DayNumbers(c.study), c.shifted);
  }
}

TEST(DaysAndApplyOffset, FarYearsAreComputedAtOnce) {
  StudyTables study = StudyOf({{{{2019, 1, 1}, {2000000000, 1, 1}}}});
  StudyCalendar calendar;
  SetStudyCalendar(study, calendar);
  EXPECT_EQ(calendar.num_days, 730499262561);
  ShiftToStudyDays(study, calendar);
  EXPECT_EQ(DayNumbers(study), (std::vector<std::int64_t>{1, 730499262561}));
}

// A row of a DayMatrix as text: '-' for -1, '0' for 0, '?' otherwise.
std::string RowText(const DayMatrix& days, std::int64_t row) {
  std::string text;
  for (std::int64_t d = 1; d <= days.columns(); ++d) {
    text += days(row, d) == -1 ? '-' : days(row, d) == 0 ? '0' : '?';
  }
  return text;
}

TEST(MarkOperatingDays, WorkedExampleRows) {
  StudyTables study = WorkedExample();
  StudyCalendar calendar;
  SetStudyCalendar(study, calendar);
  ShiftToStudyDays(study, calendar);
  DayMatrix days(2, calendar.num_days);
  days.Fill(7);  // whatever an earlier species left
  MarkOperatingDays(study, days);
  EXPECT_EQ(RowText(days, 1), std::string(57, '0') + std::string(16, '-') + std::string(39, '0') +
                                  std::string(21, '-'));
  EXPECT_EQ(RowText(days, 2), std::string(11, '-') + std::string(122, '0'));
}

TEST(MarkOperatingDays, PeriodsOfOneLocation) {
  struct {
    const char* label;
    std::vector<std::pair<std::int64_t, std::int64_t>> periods;  // shifted day numbers
    std::string row;                                             // of 10 days
  } cases[] = {{"none", {}, "----------"},
               {"single day", {{5, 5}}, "----0-----"},
               {"whole study", {{1, 10}}, "0000000000"},
               {"overlapping", {{2, 5}, {4, 7}}, "-000000---"},
               {"touching", {{2, 4}, {4, 6}}, "-00000----"},
               {"with a gap", {{1, 2}, {9, 10}}, "00------00"},
               {"end before begin", {{6, 3}}, "----------"},
               {"end before begin, covered by another", {{6, 3}, {3, 4}}, "--00------"},
               {"outside the matrix", {{-3, 2}, {9, 15}, {20, 30}, {-9, -1}}, "00------00"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    StudyTables study = StudyOf({{}, {}});
    for (auto [begin, end] : c.periods) {
      Period period;
      period.begin_day = begin;
      period.end_day = end;
      study.locations[1].periods.push_back(period);
    }
    DayMatrix days(2, 10);
    MarkOperatingDays(study, days);
    EXPECT_EQ(RowText(days, 1), "----------");
    EXPECT_EQ(RowText(days, 2), c.row);
  }
}

TEST(Matrix, RowsOrColumnsBelowOneGiveAnEmptyMatrix) {
  struct {
    std::int64_t rows, columns;
  } cases[] = {{0, 5}, {5, 0}, {3, -2999}, {-1, -1}, {0, 2000000000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " x " + std::to_string(c.columns));
    DayMatrix days(c.rows, c.columns, 0);
    EXPECT_EQ(days.rows() * days.columns(), 0);
    StudyTables study = StudyOf({{{{2020, 1, 1}, {2020, 1, 2}}}});
    study.locations[0].periods[0].begin_day = 1;
    study.locations[0].periods[0].end_day = 2;
    MarkOperatingDays(study, days);  // touches nothing
  }
}

TEST(Matrix, RequestsAboveTheLimitAreTheMemoryFailure) {
  struct {
    std::int64_t rows, columns;
    std::uint64_t limit;
    const char* bytes;  // "" when the allocation succeeds
  } cases[] = {{1000, 1000, 4000000, ""},
               {1000, 1000, 3999999, "4000000"},
               {2, 133, 1063, "1064"},
               {2147483647, 2147483647, UINT64_MAX, "18446744056529682436"},
               {2000000000, 2000000000000, UINT64_MAX, "16000000000000000000000"},
               {2000000000, 2000000000000, 1000, "16000000000000000000000"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " x " + std::to_string(c.columns));
    const std::string expected = *c.bytes ? "OccasionTallies: " + std::string(c.bytes) +
                                                " bytes requested, not enough memory.\n"
                                          : "(no failure)";
    EXPECT_EQ(FailureOf([&] { DayMatrix days(c.rows, c.columns, c.limit); }), expected);
  }
}

}  // namespace
}  // namespace ot
