// The operating days of each location: the day matrix reset to them.
#include "run/operating_days.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "run/calendar.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::SurveyOf;
using testing::WorkedExampleSurvey;

// A row of a DayMatrix as text: '-' for -1, '0' for 0, '?' otherwise.
std::string RowText(const DayMatrix& days, std::int64_t row) {
  std::string text;
  for (std::int64_t d = 0; d < days.columns(); ++d) {
    text += days(row, d) == -1 ? '-' : days(row, d) == 0 ? '0' : '?';
  }
  return text;
}

TEST(MarkOperatingDays, WorkedExampleRows) {
  SurveyDescription survey = WorkedExampleSurvey();
  SurveyCalendar calendar;
  SetSurveyCalendar(survey, calendar);
  ShiftToSurveyDays(survey, calendar);
  DayMatrix days(2, calendar.num_days);
  days.Fill(7);  // whatever an earlier species left
  MarkOperatingDays(survey, days);
  EXPECT_EQ(RowText(days, 0), std::string(57, '0') + std::string(16, '-') + std::string(39, '0') +
                                  std::string(21, '-'));
  EXPECT_EQ(RowText(days, 1), std::string(11, '-') + std::string(122, '0'));
}

TEST(MarkOperatingDays, PeriodsOfOneLocation) {
  struct {
    const char* label;
    std::vector<std::pair<std::int64_t, std::int64_t>> periods;  // shifted day numbers
    std::string row;                                             // of 10 days
  } cases[] = {{"none", {}, "----------"},
               {"single day", {{4, 4}}, "----0-----"},
               {"whole study", {{0, 9}}, "0000000000"},
               {"overlapping", {{1, 4}, {3, 6}}, "-000000---"},
               {"touching", {{1, 3}, {3, 5}}, "-00000----"},
               {"with a gap", {{0, 1}, {8, 9}}, "00------00"},
               {"end before begin", {{5, 2}}, "----------"},
               {"end before begin, covered by another", {{5, 2}, {2, 3}}, "--00------"},
               {"outside the matrix", {{-4, 1}, {8, 14}, {19, 29}, {-10, -2}}, "00------00"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    SurveyDescription survey = SurveyOf({{}, {}});
    for (auto [begin, end] : c.periods) {
      Period period;
      period.begin_day = begin;
      period.end_day = end;
      survey.locations[1].periods.push_back(period);
    }
    DayMatrix days(2, 10);
    MarkOperatingDays(survey, days);
    EXPECT_EQ(RowText(days, 0), "----------");
    EXPECT_EQ(RowText(days, 1), c.row);
    // OperatingDays keeps the same days, and none outside the survey.
    const OperatingDays operating(survey, 10);
    std::string kept;
    for (std::int64_t d = -1; d <= 10; ++d) kept += operating.Contains(1, d) ? '0' : '-';
    EXPECT_EQ(kept, "-" + c.row + "-");
    EXPECT_EQ(operating.CountIn(1, 0, 9), std::count(c.row.begin(), c.row.end(), '0'));
    EXPECT_EQ(operating.CountIn(0, 0, 9), 0);
    EXPECT_EQ(operating.CountIn(2, 0, 9), 0);
  }
}

}  // namespace
}  // namespace ot
