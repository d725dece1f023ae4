// Occasion matrices made from what a species added per occasion and the
// idle days, against OccasionsFromDays on the day matrix they stand for.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "run/calendar.h"
#include "run/occasion_output.h"
#include "run/operating_days.h"

namespace ot {
namespace {

// A survey of `rows` locations over `num_days` days, each location with a
// few periods drawn from `random` (some reaching outside the survey).
SurveyDescription RandomSurvey(std::mt19937& random, std::int64_t rows, std::int64_t num_days) {
  SurveyDescription survey;
  std::uniform_int_distribution<std::int64_t> day(-4, num_days + 2);
  std::uniform_int_distribution<int> periods(0, 3);
  for (std::int64_t i = 0; i < rows; ++i) {
    Location location;
    location.name = "Location " + std::to_string(i);
    for (int j = periods(random); j > 0; --j) {
      Period period;
      period.begin_day = day(random);
      period.end_day = day(random);
      location.periods.push_back(period);
    }
    survey.locations.push_back(location);
  }
  return survey;
}

TEST(OccasionsFromSums, AgreesWithOccasionsFromDays) {
  std::mt19937 random(20240601);
  struct {
    std::int64_t rows, num_days;
    std::int32_t occasion_days;
  } cases[] = {{3, 20, 7},  {4, 21, 7},  {2, 10, 1}, {5, 9, 10}, {3, 30, 2147483647},
               {2, 12, -1}, {2, 12, -7}, {1, 1, 1},  {6, 50, 3}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.num_days) + " days by " + std::to_string(c.occasion_days));
    for (int trial = 0; trial < 20; ++trial) {
      const SurveyDescription survey = RandomSurvey(random, c.rows, c.num_days);
      DayMatrix days(c.rows, c.num_days);
      MarkOperatingDays(survey, days);
      const OperatingDays operating(survey, c.num_days);
      const std::int64_t occasions = CountOccasions(c.num_days, c.occasion_days);
      Matrix added = c.occasion_days > 0 ? Matrix(occasions, c.rows) : Matrix();
      // Additions of either sign on random days, also on idle ones.
      std::uniform_int_distribution<std::int64_t> row(0, c.rows - 1), day(0, c.num_days - 1);
      std::uniform_int_distribution<int> amount(-9, 108);
      for (int n = 0; n < 40; ++n) {
        const std::int64_t i = row(random), d = day(random);
        const int a = amount(random);
        days(i, d) += a;
        const std::int64_t k = OccasionOfDay(d, c.occasion_days);
        if (k != kNoOccasion) added(k, i) += a;
      }
      Matrix idle = c.occasion_days > 0 ? Matrix(occasions, c.rows) : Matrix();
      CountIdleDays(operating, c.occasion_days, c.num_days, idle);
      OccasionMatrix want(c.rows, occasions), got(c.rows, occasions);
      OccasionsFromDays(c.occasion_days, days, want);
      got.Fill(12345);  // every cell must be written
      const Matrix none;
      OccasionsFromSums(c.occasion_days, trial % 5 == 0 ? none : added, idle, got);
      if (trial % 5 == 0) {  // nothing added: the idle days alone
        DayMatrix bare(c.rows, c.num_days);
        MarkOperatingDays(survey, bare);
        OccasionsFromDays(c.occasion_days, bare, want);
      }
      for (std::int64_t i = 0; i < c.rows; ++i) {
        for (std::int64_t k = 0; k < occasions; ++k) {
          ASSERT_EQ(got(i, k), want(i, k)) << "location " << i << ", occasion " << k;
        }
      }
    }
  }
}

}  // namespace
}  // namespace ot
