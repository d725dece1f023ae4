// The effort groups each site is reduced to, and the totals the results
// report.
#include "fit/occasion_data.h"

#include <gtest/gtest.h>

#include <sstream>

#include "base/failure.h"

namespace ot::fit {
namespace {

// "effort:occasions/detections ..." per site, sites separated by " | ".
std::string Groups(const SpeciesStatistics& statistics) {
  std::ostringstream text;
  for (std::size_t i = 0; i < statistics.sites(); ++i) {
    if (i > 0) text << " | ";
    bool first = true;
    for (const EffortGroup& group : statistics.Site(i)) {
      text << (first ? "" : " ") << group.effort << ':' << group.occasions << '/'
           << group.detections;
      first = false;
    }
  }
  return text.str();
}

TEST(Summarise, GroupsEachSitesOccasionsByEffort) {
  const struct {
    const char* name;
    std::vector<std::vector<Occasion>> sites;
    const char* groups;
    std::int64_t sites_detected, occasions, detections;
  } cases[] = {
      {"one site, efforts in any order",
       {{{7, true}, {3, false}, {7, false}, {3, true}, {7, true}}},
       "3:2/1 7:3/2",
       1,
       5,
       3},
      {"effort 0 is no occasion", {{{0, true}, {5, false}, {0, false}}}, "5:1/0", 0, 1, 0},
      {"a site without effort is not used", {{{0, false}}, {}, {{1, true}}}, "1:1/1", 1, 1, 1},
      {"groups stay with their site",
       {{{2, false}, {2, false}}, {{2, true}}, {{1, false}, {2, true}}},
       "2:2/0 | 2:1/1 | 1:1/0 2:1/1",
       2,
       5,
       2},
      {"no site at all", {}, "", 0, 0, 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SpeciesStatistics statistics = Summarise({"Red fox", c.sites}, 7);
    EXPECT_EQ(Groups(statistics), c.groups);
    EXPECT_EQ(statistics.species(), "Red fox");
    EXPECT_EQ(statistics.days(), 7);
    EXPECT_EQ(statistics.sites_detected(), c.sites_detected);
    EXPECT_EQ(statistics.occasions(), c.occasions);
    EXPECT_EQ(statistics.detections(), c.detections);
  }
}

TEST(SpeciesStatisticsBuilder, GivesWhatSummariseGivesForEveryOccasionLength) {
  // Lengths on both sides of the builder's switch from an index to a search.
  for (const std::int64_t days : {1, 7, 4096, 4097, 100000}) {
    SCOPED_TRACE(days);
    SpeciesOccasions data{"Badger", {}};
    SpeciesStatisticsBuilder builder("Badger", days);
    for (std::int64_t site = 0; site < 6; ++site) {
      data.sites.emplace_back();
      for (std::int64_t k = 0; k < 20; ++k) {
        const Occasion occasion{(site * 7 + k * k) % (days + 1), (site + k) % 3 == 0};
        data.sites.back().push_back(occasion);
        builder.Add(occasion.effort, occasion.detected);
      }
      builder.EndSite();
    }
    const SpeciesStatistics built = builder.Finish();
    const SpeciesStatistics summarised = Summarise(data, days);
    EXPECT_EQ(Groups(built), Groups(summarised));
    EXPECT_EQ(built.sites(), summarised.sites());
    EXPECT_EQ(built.occasions(), summarised.occasions());
    EXPECT_EQ(built.detections(), summarised.detections());
  }
}

TEST(SpeciesStatisticsBuilder, FinishClosesTheOpenSite) {
  SpeciesStatisticsBuilder builder("Stoat", 3);
  builder.Add(3, true);
  builder.EndSite();
  builder.Add(2, false);
  EXPECT_EQ(Groups(builder.Finish()), "3:1/1 | 2:1/0");
}

TEST(SpeciesStatisticsBuilder, RefusesEffortsOutsideTheOccasionAndBadLengths) {
  const struct {
    std::int64_t days, effort;
    const char* diagnostic;
  } cases[] = {
      {7, 8, "OccasionTallies: fit: an occasion's effort of 8 days is outside 0..7\n"},
      {7, -1, "OccasionTallies: fit: an occasion's effort of -1 days is outside 0..7\n"},
      {5000, 5001, "OccasionTallies: fit: an occasion's effort of 5001 days is outside 0..5000\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.effort);
    SpeciesStatisticsBuilder builder("Stoat", c.days);
    try {
      builder.Add(c.effort, false);
      ADD_FAILURE() << "no failure";
    } catch (const RunFailure& failure) {
      EXPECT_EQ(failure.diagnostic(), c.diagnostic);
    }
  }
  EXPECT_THROW(SpeciesStatisticsBuilder("Stoat", 0), RunFailure);
  EXPECT_THROW(Summarise({"Stoat", {{{2, true}}}}, 1), RunFailure);
}

}  // namespace
}  // namespace ot::fit
