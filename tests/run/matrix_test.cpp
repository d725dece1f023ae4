// The count tables of a run.
#include "run/matrix.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "run/operating_days.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::SurveyOf;

template <class Step>
std::string FailureOf(Step&& step) {
  try {
    step();
  } catch (const RunFailure& failure) {
    return failure.what();
  }
  return "(no failure)";
}

TEST(Matrix, CellsCountFromZeroColumnByColumn) {
  Matrix matrix(2, 3);
  for (std::int64_t column = 0; column < 3; ++column) {
    for (std::int64_t row = 0; row < 2; ++row) {
      matrix(row, column) = static_cast<std::int32_t>(10 * row + column);
    }
  }
  const Matrix& cells = matrix;
  EXPECT_EQ(cells(1, 2), 12);
  EXPECT_EQ(std::vector<std::int32_t>(cells.Column(0).begin(), cells.Column(0).end()),
            (std::vector<std::int32_t>{0, 10}));
  EXPECT_EQ(std::vector<std::int32_t>(cells.Column(2).begin(), cells.Column(2).end()),
            (std::vector<std::int32_t>{2, 12}));
  struct {
    std::int64_t row, column;
  } outside[] = {{-1, 0}, {0, -1}, {2, 0}, {0, 3}, {2, 3}};
  for (const auto& c : outside) {
    SCOPED_TRACE(std::to_string(c.row) + ", " + std::to_string(c.column));
    EXPECT_THROW(matrix(c.row, c.column), std::out_of_range);
  }
  EXPECT_THROW(matrix.Column(3), std::out_of_range);
}

TEST(Matrix, RowsOrColumnsBelowOneGiveAnEmptyMatrix) {
  struct {
    std::int64_t rows, columns;
  } cases[] = {{0, 5}, {5, 0}, {3, -2999}, {-1, -1}, {0, 2000000000000}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rows) + " x " + std::to_string(c.columns));
    DayMatrix days(c.rows, c.columns, 0);
    EXPECT_EQ(days.rows() * days.columns(), 0);
    SurveyDescription survey = SurveyOf({{{{2020, 1, 1}, {2020, 1, 2}}}});
    survey.locations[0].periods[0].begin_day = 0;
    survey.locations[0].periods[0].end_day = 1;
    MarkOperatingDays(survey, days);  // touches nothing
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
