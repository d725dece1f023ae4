// The operating days of each location: the day matrix reset to them.
#include "run/operating_days.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "run/calendar.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::StudyOf;
using testing::WorkedExampleStudy;

// A row of a DayMatrix as text: '-' for -1, '0' for 0, '?' otherwise.
std::string RowText(const DayMatrix& days, std::int64_t row) {
  std::string text;
  for (std::int64_t d = 1; d <= days.columns(); ++d) {
    text += days(row, d) == -1 ? '-' : days(row, d) == 0 ? '0' : '?';
  }
  return text;
}

TEST(MarkOperatingDays, WorkedExampleRows) {
  StudyTables study = WorkedExampleStudy();
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

}  // namespace
}  // namespace ot
