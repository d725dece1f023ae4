// The results gathered for exports and the report, on the worked-example
// survey (Ridge top: 2019-11-20..2020-01-15 and 2020-02-01..2020-03-10;
// Creek crossing: 2019-12-01..2020-03-31; 133 survey days from 2019-11-20).
#include "results/survey_results.h"

#include <gtest/gtest.h>

#include "run/run_driver.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::Record;

std::string Text(const Date& date) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
  return text;
}

struct ObservedRun {
  testing::ScratchFolder folder;
  SurveyResults results{true};
  std::string err;

  ObservedRun(const std::string& pictures, std::int32_t period, std::int32_t days) {
    folder.Write("Input.txt", testing::kWorkedExampleInput);
    folder.Write("AllPictures.txt", pictures);
    DiskFolder disk(folder.path());
    StringSource in("");
    StringSink out;
    std::ostringstream warnings;
    const RunAnswers answers{period, days};
    RunEnvironment env{disk, in, out, warnings};
    env.answers = &answers;
    env.observer = &results;
    RunOccasionTallies(env);
    err = warnings.str();
  }
};

TEST(SurveyResults, CountsEffortAndSummaryOnTheWorkedExample) {
  const std::string pictures =
      Record("Ridge top", "Red fox", "2019 11 21 06 10 00  2") +
      Record("Ridge top", "Red fox", "2019 11 21 06 25 00  3") +  // same event: adds 1
      Record("Ridge top", "Red fox", "2020 01 20 12 00 00  4") +  // camera not operating
      Record("Creek crossing", "Red fox", "2019 12 05 23 50 00  2") +
      Record("Creek crossing", "Red fox", "2019 12 06 00 05 00  4") +  // adds 2 on the next day
      Record("Creek crossing", "Red fox", "2021 01 01 00 05 00  4") +  // after the last day
      Record("Nowhere", "Red fox", "2019 12 06 00 05 00  4") +
      Record("Creek crossing", "Wild boar", "2019 12 06 00 05 00 99") +
      Record("Ridge top", "Wild boar", "2020 01 25 12 00 00  5");  // occasion 9, no effort
  ObservedRun run(pictures, 30, 7);
  const SurveyResults& r = run.results;
  ASSERT_TRUE(r.complete());
  EXPECT_EQ(r.survey_days(), 133);
  EXPECT_EQ(Text(r.first_date()), "2019-11-20");
  EXPECT_EQ(Text(r.last_date()), "2020-03-31");
  ASSERT_EQ(r.occasions().size(), 19u);
  EXPECT_EQ(Text(r.occasions()[0].first_date), "2019-11-20");
  EXPECT_EQ(Text(r.occasions()[0].last_date), "2019-11-26");
  EXPECT_EQ(Text(r.occasions()[18].first_date), "2020-03-25");
  EXPECT_EQ(Text(r.occasions()[18].last_date), "2020-03-31");
  EXPECT_EQ(r.locations(), (std::vector<std::string>{"Ridge top", "Creek crossing"}));

  struct {
    std::int64_t location, occasion, effort;
    std::optional<std::int64_t> fox, boar;
  } cells[] = {
      {0, 0, 7, 3, 0},                        // the event of 2 raised to 3
      {1, 0, 0, std::nullopt, std::nullopt},  // Creek not yet operating
      {1, 1, 3, 0, 0},                        // Creek from 1 December (survey day 11)
      {1, 2, 7, 4, 99},                       // 2 + 2 across midnight
      {0, 8, 1, 4, 0},                        // one operating day, a picture on another
      {0, 9, 0, std::nullopt, std::nullopt},
  };
  for (const auto& c : cells) {
    SCOPED_TRACE("location " + std::to_string(c.location) + " occasion " +
                 std::to_string(c.occasion));
    EXPECT_EQ(r.Effort(c.location, c.occasion), c.effort);
    EXPECT_EQ(r.Count(0, c.location, c.occasion), c.fox);
    EXPECT_EQ(r.Count(1, c.location, c.occasion), c.boar);
  }
  const SpeciesResults& fox = r.species()[0];
  EXPECT_EQ(fox.name, "Red fox");
  EXPECT_EQ(fox.pictures, 5);
  EXPECT_EQ(fox.pictures_skipped, 2);
  EXPECT_EQ(fox.events, 3);
  EXPECT_EQ(fox.individuals, 11);
  EXPECT_EQ(r.SitesDetected(0), 2);
  EXPECT_EQ(r.SitesDetected(1), 1);  // not Ridge top: its only boar falls where it had no effort
  EXPECT_EQ(r.SitesOperating(), 2);
  EXPECT_EQ(r.TrapDays(), 57 + 39 + 122);
  EXPECT_EQ(r.warnings().size(), 3u);  // fox skipped, fox and boar on non-operating days
  ASSERT_EQ(fox.day_pictures.size(), 4u);
  EXPECT_EQ(fox.day_pictures[0].pictures, 2);
  EXPECT_FALSE(fox.day_pictures[1].operating_day);
}

}  // namespace
}  // namespace ot
