// The count tables of a run.
#include "run/matrix.h"

#include <gtest/gtest.h>

#include <string>

#include "run/operating_days.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::StudyOf;

template <class Step>
std::string FailureOf(Step&& step) {
  try {
    step();
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "(no failure)";
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
