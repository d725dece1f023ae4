#include "run/tally.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ot {
namespace {

std::string Padded(std::string text) {
  text.resize(kNameLength, ' ');
  return text;
}

const std::string kRidge = "Ridge top";
const std::string kCreek = "Creek crossing";

// A picture record of species Red fox, laid out in its 74 columns.
std::string Pic(const std::string& location, int year, int month, int day, int hour, int minute,
                int count, int second = 0) {
  char text[128];
  std::snprintf(text, sizeof text, "%-25s %-25s %4d %2d %2d %2d %2d %2d %2d", location.c_str(),
                "Red fox", year, month, day, hour, minute, second, count);
  return text;
}

// A picture at Ridge top on 21 November 2019, survey day 1.
std::string Ridge(int hour, int minute, int count, int second = 0) {
  return Pic(kRidge, 2019, 11, 21, hour, minute, count, second);
}

// The worked-example survey (reference_year 2019, first_day_number 324, num_days 133;
// Ridge top operating on survey days 0..56 and 73..111, Creek crossing on 11..132),
// with its DayMatrix just reset, in a scratch folder.
struct TallyBench : testing::UnitBench {
  SurveyDescription survey;
  SurveyCalendar calendar;
  DayMatrix days;
  DayMatrix fresh;

  explicit TallyBench(std::vector<std::string> extra_names = {}) {
    auto add = [&](const std::string& name, std::vector<Period> periods) {
      survey.locations.push_back(
          {Padded(name), static_cast<std::int32_t>(periods.size()), periods});
    };
    add(kRidge, {{{2019, 11, 20}, {2020, 1, 15}}, {{2020, 2, 1}, {2020, 3, 10}}});
    add(kCreek, {{{2019, 12, 1}, {2020, 3, 31}}});
    for (const auto& name : extra_names) add(name, {{{2019, 11, 20}, {2020, 3, 31}}});
    survey.num_locations = static_cast<std::int32_t>(survey.locations.size());
    SetSurveyCalendar(survey, calendar);
    ShiftToSurveyDays(survey, calendar);
    days = DayMatrix(survey.num_locations, calendar.num_days);
    fresh = DayMatrix(survey.num_locations, calendar.num_days);
    MarkOperatingDays(survey, days);
    MarkOperatingDays(survey, fresh);
  }

  SkippedPictures Tally(const std::vector<std::string>& records, std::int32_t period) {
    std::string text;
    for (const auto& record : records) text += record + "\r\n";
    dir.Write("SpeciesPics.txt", text);
    return TallyDetections(units, survey, calendar, period,
                           OperatingDays(survey, calendar.num_days), days)
        .skipped;
  }

  // The cells that differ from the reset matrix, as "(row,day)=value".
  std::string Changes() const {
    std::string changes;
    for (std::int64_t d = 0; d < days.columns(); ++d) {
      for (std::int64_t i = 0; i < days.rows(); ++i) {
        if (days(i, d) == fresh(i, d)) continue;
        if (!changes.empty()) changes += " ";
        changes.append("(").append(std::to_string(i)).append(",").append(std::to_string(d));
        changes.append(")=").append(std::to_string(days(i, d)));
      }
    }
    return changes;
  }
};

TEST(TallyDetections, WorkedExample) {
  TallyBench bench;
  ASSERT_EQ(bench.calendar.num_days, 133);
  const SkippedPictures skipped =
      bench.Tally({Ridge(6, 10, 2), Ridge(6, 25, 3), Ridge(6, 50, 1), Ridge(7, 20, 1),
                   Pic(kCreek, 2019, 12, 5, 23, 50, 2), Pic(kCreek, 2019, 12, 6, 0, 5, 4),
                   Pic(kRidge, 2020, 4, 2, 10, 0, 1)},
                  30);
  EXPECT_EQ(bench.Changes(), "(0,1)=4 (1,15)=2 (1,16)=2");
  EXPECT_EQ(skipped.warned(), 0);
  EXPECT_EQ(bench.dir.Listing(), "");
  EXPECT_THROW(bench.units[kUnitInputFiles], std::logic_error);  // closed
}

TEST(TallyDetections, IndependentEvents) {
  struct {
    const char* label;
    std::int32_t period;
    std::vector<std::string> records;
    const char* changes;
  } cases[] = {
      // clang-format off
      {"gap equal to the period", 30, {Ridge(6, 10, 2), Ridge(6, 40, 2)}, "(0,1)=4"},
      {"gap one minute less", 30, {Ridge(6, 10, 2), Ridge(6, 39, 2)}, "(0,1)=2"},
      {"each picture compared with the one before", 30,
       {Ridge(6, 0, 1), Ridge(6, 29, 1), Ridge(6, 58, 2), Ridge(7, 27, 1)}, "(0,1)=2"},
      {"maximum falls then rises", 30,
       {Ridge(6, 0, 3), Ridge(6, 5, 1), Ridge(6, 10, 4), Ridge(6, 15, 4)}, "(0,1)=4"},
      {"period 0, same minute", 0, {Ridge(6, 10, 1), Ridge(6, 10, 1)}, "(0,1)=2"},
      {"period 0, an earlier picture joins", 0, {Ridge(6, 10, 1), Ridge(6, 9, 3)}, "(0,1)=3"},
      {"06:10:59 and 06:11:00", 1, {Ridge(6, 10, 2, 59), Ridge(6, 11, 2, 0)}, "(0,1)=4"},
      {"06:10:00 and 06:10:59", 1, {Ridge(6, 10, 2, 0), Ridge(6, 10, 2, 59)}, "(0,1)=2"},
      {"alternating locations", 30, {Pic(kRidge, 2019, 12, 5, 6, 10, 1),
       Pic(kCreek, 2019, 12, 5, 6, 12, 1), Pic(kRidge, 2019, 12, 5, 6, 14, 1)},
       "(0,15)=2 (1,15)=1"},
      {"count 0 starting an event", 30, {Ridge(6, 10, 0), Ridge(6, 15, 3)}, "(0,1)=3"},
      {"event across midnight", 30, {Pic(kCreek, 2019, 12, 5, 23, 50, 2),
       Pic(kCreek, 2019, 12, 6, 0, 5, 4)}, "(1,15)=2 (1,16)=2"},
      {"non-operating days", 30, {Pic(kRidge, 2020, 1, 18, 6, 0, 1),
       Pic(kRidge, 2020, 1, 19, 6, 0, 3), Pic(kRidge, 2020, 1, 20, 6, 0, 0)}, "(0,59)=0 (0,60)=2"},
      {"non-operating day, event raised", 30, {Pic(kRidge, 2020, 1, 18, 6, 0, 1),
       Pic(kRidge, 2020, 1, 18, 6, 9, 3)}, "(0,59)=2"},
      {"day num_days - 1 is tallied", 30, {Pic(kCreek, 2020, 3, 31, 23, 0, 1)}, "(1,132)=1"},
      {"day num_days does not break the event", 30, {Pic(kCreek, 2020, 3, 31, 23, 0, 1),
       Pic(kRidge, 2020, 4, 1, 0, 0, 5), Pic(kCreek, 2020, 3, 31, 23, 10, 3)}, "(1,132)=3"},
      {"day num_days does not extend the event", 30, {Pic(kCreek, 2020, 3, 31, 23, 0, 1),
       Pic(kCreek, 2020, 4, 1, 0, 5, 1), Pic(kCreek, 2020, 3, 31, 23, 40, 1)}, "(1,132)=2"},
      {"largest period", 2147483647, {Ridge(6, 10, 1), Pic(kRidge, 2020, 3, 10, 23, 59, 2)},
       "(0,1)=1 (0,111)=1"},
      {"most negative period", -2147483647 - 1, {Ridge(6, 10, 1), Ridge(6, 10, 2)}, "(0,1)=3"},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TallyBench bench;
    EXPECT_EQ(bench.Tally(c.records, c.period).warned(), 0);
    EXPECT_EQ(bench.Changes(), c.changes);
    EXPECT_FALSE(bench.dir.Exists("SpeciesPics.txt"));
  }
}

TEST(TallyDetections, SkippedPicturesLeaveTheStateUntouched) {
  // Between two pictures of one event at Ridge top (06:10 count 2, 06:35
  // count 3), a picture that must be skipped. Had it touched the state, the
  // second picture would start a new event or add nothing.
  struct {
    const char* label;
    std::string record;
    std::int64_t unlisted, months;
  } cases[] = {{"unlisted location", Pic("Nowhere", 2019, 11, 21, 6, 20, 5), 1, 0},
               {"name in another case", Pic("ridge top", 2019, 11, 21, 6, 20, 5), 1, 0},
               {"name after a blank", Pic(" Ridge top", 2019, 11, 21, 6, 20, 5), 1, 0},
               {"unlisted location and month 13", Pic("Nowhere", 2019, 13, 21, 6, 20, 5), 1, 0},
               {"month 0", Pic(kRidge, 2019, 0, 21, 6, 20, 5), 0, 1},
               {"month 13", Pic(kRidge, 2019, 13, 21, 6, 20, 5), 0, 1},
               {"month 13 before the study year", Pic(kRidge, 2018, 13, 21, 6, 20, 5), 0, 1},
               {"year before reference_year", Pic(kRidge, 2018, 11, 22, 6, 20, 5), 0, 0},
               {"study day -1", Pic(kRidge, 2019, 11, 19, 6, 20, 5), 0, 0},
               {"study day far below 0", Pic(kRidge, 2019, 1, 1, 6, 20, 5), 0, 0},
               {"after the last day", Pic(kRidge, 2020, 4, 2, 6, 20, 5), 0, 0}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TallyBench bench;
    const SkippedPictures skipped = bench.Tally({Ridge(6, 10, 2), c.record, Ridge(6, 35, 3)}, 30);
    EXPECT_EQ(bench.Changes(), "(0,1)=3");
    EXPECT_EQ(skipped.unlisted_location, c.unlisted);
    EXPECT_EQ(skipped.month_out_of_range, c.months);
  }
  TallyBench bench;
  const SkippedPictures skipped =
      bench.Tally({Pic("Nowhere", 2019, 11, 21, 6, 20, 5), Pic(kRidge, 2019, 13, 21, 6, 20, 5),
                   Pic("Elsewhere", 2019, 11, 21, 6, 20, 5)},
                  30);
  EXPECT_EQ(skipped.unlisted_location, 2);
  EXPECT_EQ(skipped.month_out_of_range, 1);
  EXPECT_EQ(skipped.warned(), 3);
  EXPECT_EQ(bench.Changes(), "");
}

TEST(TallyDetections, RepeatedLocationNameCountsOnItsFirstListing) {
  TallyBench bench({kCreek, kRidge});
  bench.Tally({Pic(kRidge, 2019, 12, 5, 6, 10, 2), Pic(kCreek, 2019, 12, 5, 7, 0, 1)}, 30);
  EXPECT_EQ(bench.Changes(), "(0,15)=2 (1,15)=1");
  EXPECT_EQ(FindLocation(bench.survey, Padded(kRidge)), 0);
  EXPECT_EQ(FindLocation(bench.survey, Padded(kCreek)), 1);
  EXPECT_EQ(FindLocation(bench.survey, Padded("ridge top")), kNoLocation);
  EXPECT_EQ(FindLocation(bench.survey, kRidge), kNoLocation);  // all 25 characters count
}

TEST(TallyDetections, EmptyFileChangesNothingAndIsRemoved) {
  TallyBench bench;
  bench.Tally({}, 30);
  EXPECT_EQ(bench.Changes(), "");
  EXPECT_EQ(bench.dir.Listing(), "");
}

TEST(TallyDetections, UnreadableNumberEndsTheRunAndKeepsTheFile) {
  const std::string good = Ridge(6, 10, 2);
  struct {
    const char* label;
    std::size_t column;  // 1-based column replaced by 'x'
  } cases[] = {{"year", 54}, {"month", 59}, {"hour", 65}, {"minute", 67}, {"count", 74}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    TallyBench bench;
    std::string bad = good;
    bad[c.column - 1] = 'x';
    std::string failure;
    try {
      bench.Tally({good, bad, good}, 30);
    } catch (const RunFailure& e) {
      failure = testing::WithoutPlace(e.what());
    }
    EXPECT_EQ(failure,
              "OccasionTallies: run-time error 231 in fixed-width read on unit 1: error on data "
              "conversion.\n  File SpeciesPics.txt, formatted sequential, line 2\n  At <place>\n");
    EXPECT_EQ(bench.dir.Read("SpeciesPics.txt"), good + "\r\n" + bad + "\r\n" + good + "\r\n");
  }
}

TEST(TallyDetections, FarReferenceYearDoesNotOverflow) {
  TallyBench bench;
  bench.calendar.reference_year = -2000000000;
  bench.calendar.first_day_number = DayNumber(-2000000000, {2019, 11, 20});
  bench.Tally({Ridge(6, 10, 2), Ridge(6, 25, 3), Ridge(6, 50, 1), Ridge(7, 20, 1),
               Pic(kCreek, 2020, 3, 31, 23, 50, 99), Pic(kCreek, 2020, 4, 1, 0, 5, 4)},
              30);
  EXPECT_EQ(bench.Changes(), "(0,1)=4 (1,132)=99");
}

}  // namespace
}  // namespace ot
