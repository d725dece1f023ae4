#include "checks/input_listing.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "support/test_support.h"

namespace ot::checks {
namespace {

// "begin year line, ..." for every period of every location, then the
// name lines of locations and species.
std::string LinesOf(const InputListing& listing) {
  std::string text;
  const auto add = [&text](std::int64_t line) { text.append(std::to_string(line)).append(" "); };
  for (const auto& periods : listing.period_lines) {
    for (const PeriodLines& lines : periods) {
      text += "( ";
      for (std::int64_t line : lines) add(line);
      text += ") ";
    }
  }
  text += "locations ";
  for (std::int64_t line : listing.location_lines) add(line);
  text += "species ";
  for (std::int64_t line : listing.species_lines) add(line);
  return text;
}

TEST(ReadInputListing, NamesTheLineOfEveryValueAndReadsAsTheRunReads) {
  struct {
    const char* what;
    std::string input;
    std::string lines;
  } cases[] = {
      // Creek crossing's dates run over lines 9 and 10.
      {"worked example", testing::kWorkedExampleInput,
       "( 5 5 5 5 5 5 ) ( 6 6 6 6 6 6 ) ( 9 9 9 10 10 10 ) locations 3 7 species 12 13 "},
      {"blank lines passed over, one value a line",
       "T\n1\nA\n1\n\n2020\n\n1\n1 2020\n1, 31\n1\nfox\n",
       "( 6 8 9 9 10 10 ) locations 3 species 12 "},
      {"repeat counts", "T\n1\nA\n1\n2*2020\n3*1 5\n1\nfox\n",
       "( 5 5 6 6 6 6 ) locations 3 species 8 "},
      // Values a slash leaves unread take the line the read ended on.
      {"slash", "T\n1\nA\n1\n2020 1 /\n1\nfox\n", "( 5 5 5 5 5 5 ) locations 3 species 7 "},
      {"remarks after the values", "T\n2 sites\nA\n1 period\n2020 1 1 2020 2 1 dry\nB\n0\n0\n",
       "( 5 5 5 5 5 5 ) locations 3 6 species "},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const InputListing listing = ReadInputListing(c.input);
    EXPECT_EQ(LinesOf(listing), c.lines);

    testing::UnitBench bench;
    bench.dir.Write("Input.txt", c.input);
    SurveyDescription run;
    ReadInputFile(bench.units, run);
    ASSERT_EQ(listing.survey.locations.size(), run.locations.size());
    for (std::size_t i = 0; i < run.locations.size(); ++i) {
      const Location& mine = listing.survey.locations[i];
      EXPECT_EQ(mine.name, run.locations[i].name);
      ASSERT_EQ(mine.periods.size(), run.locations[i].periods.size());
      for (std::size_t j = 0; j < mine.periods.size(); ++j) {
        const Period& a = mine.periods[j];
        const Period& b = run.locations[i].periods[j];
        EXPECT_EQ(std::vector({a.begin.year, a.begin.month, a.begin.day, a.end.year, a.end.month,
                               a.end.day}),
                  std::vector({b.begin.year, b.begin.month, b.begin.day, b.end.year, b.end.month,
                               b.end.day}));
      }
    }
    EXPECT_EQ(listing.survey.species, run.species);
  }
}

}  // namespace
}  // namespace ot::checks
