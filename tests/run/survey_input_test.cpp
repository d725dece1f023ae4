#include "run/survey_input.h"

#include <gtest/gtest.h>

#include <stdexcept>
#include <string>

#include "support/test_support.h"

namespace ot {
namespace {

using Bench = testing::UnitBench;

template <class Step>
std::string FailureOf(Step&& step) {
  try {
    step();
  } catch (const RunFailure& failure) {
    return testing::WithoutPlace(failure.what());
  }
  return "(no failure)";
}

std::string Padded(std::string text, std::size_t width = kNameLength) {
  text.resize(width, ' ');
  return text;
}

std::string Diagnostic(int number, std::string_view operation, std::string_view message,
                       std::string_view file, int line) {
  return "OccasionTallies: run-time error " + std::to_string(number) + " in " +
         std::string(operation) + " on unit 1: " + std::string(message) + ".\n  File " +
         std::string(file) + ", formatted sequential, line " + std::to_string(line) +
         "\n  At <place>\n";
}

SurveyDescription ReadSurvey(Bench& bench, std::string_view text) {
  bench.dir.Write("Input.txt", text);
  SurveyDescription survey;
  ReadInputFile(bench.units, survey);
  return survey;
}

const std::string& kWorkedExample = testing::kWorkedExampleInput;

// A location's periods as "y-m-d..y-m-d", separated by blanks.
std::string Periods(const Location& location) {
  std::string text;
  auto date = [&](const Date& d) {
    text.append(std::to_string(d.year)).append("-").append(std::to_string(d.month));
    text.append("-").append(std::to_string(d.day));
  };
  for (const Period& p : location.periods) {
    if (!text.empty()) text += ' ';
    date(p.begin);
    text += "..";
    date(p.end);
  }
  return text;
}

TEST(ReadInputFile, WorkedExampleWithEitherLineEndAndUnreadTrailingLines) {
  for (bool crlf : {false, true}) {
    SCOPED_TRACE(crlf ? "CRLF" : "LF");
    std::string text(kWorkedExample);
    // Lines after the last species name are never read.
    text += "garbage ### 1/2/3\nno count here\n";
    if (crlf) {
      std::string with_cr;
      for (char c : text) {
        if (c == '\n') with_cr += '\r';
        with_cr += c;
      }
      text = with_cr;
    }
    Bench bench;
    const SurveyDescription survey = ReadSurvey(bench, text);
    ASSERT_EQ(survey.num_locations, 2);
    ASSERT_EQ(survey.locations.size(), 2u);
    EXPECT_EQ(survey.locations[0].name, Padded("Ridge top"));
    EXPECT_EQ(survey.locations[1].name, Padded("Creek crossing"));
    ASSERT_EQ(survey.locations[0].num_periods, 2);
    EXPECT_EQ(Periods(survey.locations[0]), "2019-11-20..2020-1-15 2020-2-1..2020-3-10");
    EXPECT_EQ(Periods(survey.locations[1]), "2019-12-1..2020-3-31");
    EXPECT_EQ(survey.num_species, 2);
    EXPECT_EQ(survey.species, (std::vector<std::string>{Padded("Red fox"), Padded("Wild boar")}));
    EXPECT_EQ(bench.dir.Read("Input.txt"), text);                  // read only, left as it was
    EXPECT_THROW(bench.units[kUnitInputFiles], std::logic_error);  // closed
  }
}

TEST(ReadInputFile, NameLinesAreTheirFirst25CharactersPadded) {
  struct {
    std::string line;
    std::string name;
  } cases[] = {{"Ridge top", Padded("Ridge top")},
               {"Ridge top above the creek, camera 12", "Ridge top above the creek"},
               {"", Padded("")},
               {"   Leading blanks", Padded("   Leading blanks")},
               {"1234567890123456789012345", "1234567890123456789012345"},
               {"3, t / f", Padded("3, t / f")}};
  for (const auto& c : cases) {
    SCOPED_TRACE("line '" + c.line + "'");
    Bench bench;
    const SurveyDescription survey =
        ReadSurvey(bench, "title\n1\n" + c.line + "\n0\n1\n" + c.line + "\n");
    ASSERT_EQ(survey.locations.size(), 1u);
    EXPECT_EQ(survey.locations[0].name, c.name);
    ASSERT_EQ(survey.species.size(), 1u);
    EXPECT_EQ(survey.species[0], c.name);
  }
}

TEST(ReadInputFile, BlankLineWhereANameIsExpectedShiftsTheNameIntoTheCount) {
  {
    Bench bench;
    const SurveyDescription survey =
        ReadSurvey(bench,
                   "title\n1\n\n3 cameras\n"
                   "2019 1 1 2019 1 2\n2019 1 3 2019 1 4\n2019 1 5 2019 1 6\n"
                   "0\n");
    ASSERT_EQ(survey.locations.size(), 1u);
    EXPECT_EQ(survey.locations[0].name, Padded(""));
    EXPECT_EQ(survey.locations[0].num_periods, 3);
    EXPECT_EQ(Periods(survey.locations[0]),
              "2019-1-1..2019-1-2 2019-1-3..2019-1-4 2019-1-5..2019-1-6");
    EXPECT_EQ(survey.num_species, 0);
  }
  {
    Bench bench;
    EXPECT_EQ(
        FailureOf([&] { ReadSurvey(bench, "title\n1\n\nRidge top\n1\n2019 1 1 2019 1 2\n"); }),
        Diagnostic(225, "free-form read", "lexical error-- unknown token type", "Input.txt", 4));
  }
}

TEST(ReadInputFile, DateValuesSpreadOverLinesAndTheSlash) {
  {
    Bench bench;
    const SurveyDescription survey =
        ReadSurvey(bench, "t\n1\nA\n1\n\n2019 11 20 2020 1\n15 7 8 remark\n1\nFox\n");
    EXPECT_EQ(Periods(survey.locations[0]), "2019-11-20..2020-1-15");
    EXPECT_EQ(survey.species, std::vector<std::string>{Padded("Fox")});
  }
  {
    // The slash ends the read: begin year 1, the other five values stay 0.
    Bench bench;
    const SurveyDescription survey =
        ReadSurvey(bench, "t\n1\nA\n2\n1/4/2021 30/4/2021\n2021 5 1 2021 5 9\n0\n");
    EXPECT_EQ(Periods(survey.locations[0]), "1-0-0..0-0-0 2021-5-1..2021-5-9");
  }
}

TEST(ReadInputFile, CountsOfZeroOrLessReadNothing) {
  struct {
    const char* text;
    std::size_t locations;
    std::size_t periods_of_first;
    std::size_t species;
  } cases[] = {
      {"t\n0\n1\nFox\n", 0, 0, 1},
      {"t\n-4\n0\n", 0, 0, 0},
      {"t\n1\nA\n0\n1\nFox\n", 1, 0, 1},
      {"t\n1\nA\n-1\n0\nnot a name\n", 1, 0, 0},
      {"t\n1\nA\nTower\n2\nFox\nBoar\n", 1, 0, 2},  // a word beginning with t reads -1
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Bench bench;
    const SurveyDescription survey = ReadSurvey(bench, c.text);
    EXPECT_EQ(survey.locations.size(), c.locations);
    if (c.locations > 0) {
      EXPECT_EQ(survey.locations[0].periods.size(), c.periods_of_first);
    }
    EXPECT_EQ(survey.species.size(), c.species);
  }
}

TEST(ReadInputFile, TablesGrowPastTheOldCapacities) {
  std::string text = "t\n300\n";
  for (int i = 1; i <= 300; ++i) text += "Site " + std::to_string(i) + "\n1\n2020 1 1 2020 1 2\n";
  Bench bench;
  SurveyDescription survey = ReadSurvey(bench, text + "1\nFox\n");
  ASSERT_EQ(survey.locations.size(), 300u);
  EXPECT_EQ(survey.locations[299].name, Padded("Site 300"));

  std::string many = "t\n1\nHub\n12\n";
  for (int j = 1; j <= 12; ++j) many += "2020 1 " + std::to_string(j) + " 2020 2 1\n";
  many += "260\n";
  for (int k = 1; k <= 260; ++k) many += "Species " + std::to_string(k) + "\n";
  survey = ReadSurvey(bench, many);
  ASSERT_EQ(survey.locations[0].periods.size(), 12u);
  EXPECT_EQ(Periods({"", 0, {survey.locations[0].periods[11]}}), "2020-1-12..2020-2-1");
  ASSERT_EQ(survey.species.size(), 260u);
  EXPECT_EQ(survey.species[259], Padded("Species 260"));
}

TEST(ReadInputFile, HugeCountsInAShortFileEndWithTheEndOfFileFailure) {
  struct {
    const char* text;
    const char* operation;
    int line;
  } cases[] = {
      {"t\n2000000000\nA\n0\n", "fixed-width read", 5},
      {"t\n1\nA\n2000000000\n2020 1 1 2020 1 2\n", "free-form read", 6},
      {"t\n0\n2000000000\nFox\n", "fixed-width read", 5},
      {"", "free-form read", 1},  // even line 1 must be there
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    Bench bench;
    EXPECT_EQ(
        FailureOf([&] { ReadSurvey(bench, c.text); }),
        Diagnostic(217, c.operation, "attempt to read past end of file", "Input.txt", c.line));
  }
}

TEST(ReadInputFile, MissingInputFileIsTheSystemFailureAtOpen) {
  Bench bench;
  SurveyDescription survey;
  EXPECT_EQ(FailureOf([&] { ReadInputFile(bench.units, survey); }),
            "OccasionTallies: No such file or directory\n"
            "OccasionTallies: run-time error in open on unit 1: error code returned by host stdio"
            " - 2.\n  File Input.txt\n  At <place>\n");
  EXPECT_FALSE(bench.dir.Exists("Input.txt"));
}

// One location ("Site") per entry, each period given as begin and end
// (year, month) pairs on day 1.
struct PeriodDates {
  int begin_year, begin_month, end_year, end_month;
};
SurveyDescription WithPeriods(std::initializer_list<std::initializer_list<PeriodDates>> sites) {
  SurveyDescription survey;
  for (const auto& periods : sites) {
    Location location;
    location.name = Padded(" Site");
    for (const PeriodDates& p : periods) {
      location.periods.push_back({{p.begin_year, p.begin_month, 1}, {p.end_year, p.end_month, 1}});
    }
    location.num_periods = static_cast<std::int32_t>(location.periods.size());
    survey.locations.push_back(location);
  }
  survey.num_locations = static_cast<std::int32_t>(survey.locations.size());
  return survey;
}

TEST(CheckPeriodDates, NamesTheFirstYearOrMonthOutsideItsRangeInFileOrder) {
  const std::string months = " ( Site) is outside 1..12\n";
  const std::string years = " ( Site) is outside 1..9999\n";
  const std::string head = "OccasionTallies: Input.txt: ";
  struct {
    const char* label;
    SurveyDescription survey;
    std::string message;
  } cases[] = {
      {"all good", WithPeriods({{{2020, 1, 2020, 12}, {2020, 12, 2020, 1}}, {}}), "(no failure)"},
      {"years 1 and 9999 are good", WithPeriods({{{1, 1, 9999, 12}}}), "(no failure)"},
      {"begin month 13", WithPeriods({{{2020, 1, 2020, 2}, {2020, 13, 2020, 2}}}),
       head + "begin month 13 of period 2 of location 1" + months},
      {"end month 0", WithPeriods({{{2020, 1, 2020, 2}}, {{2020, 3, 2020, 4}, {2020, 5, 2020, 0}}}),
       head + "end month 0 of period 2 of location 2" + months},
      {"end month of an earlier period first",
       WithPeriods({{{2020, 1, 2020, -7}, {2020, 13, 2020, 2}}}),
       head + "end month -7 of period 1 of location 1" + months},
      {"begin month before end month", WithPeriods({{}, {{2020, 14, 2020, 0}}}),
       head + "begin month 14 of period 1 of location 2" + months},
      {"begin year 0", WithPeriods({{{0, 1, 2020, 1}}}),
       head + "begin year 0 of period 1 of location 1" + years},
      {"end year 10000", WithPeriods({{{2020, 1, 10000, 1}}}),
       head + "end year 10000 of period 1 of location 1" + years},
      {"end year 20019 in a later period", WithPeriods({{{2019, 1, 2019, 5}, {2019, 6, 20019, 1}}}),
       head + "end year 20019 of period 2 of location 1" + years},
      {"begin year before begin month", WithPeriods({{{-5, 13, 2020, 1}}}),
       head + "begin year -5 of period 1 of location 1" + years},
      {"begin month before end year", WithPeriods({{{2020, 0, 10000, 1}}}),
       head + "begin month 0 of period 1 of location 1" + months},
      {"end year before end month", WithPeriods({{{2020, 1, 0, 13}}}),
       head + "end year 0 of period 1 of location 1" + years},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(FailureOf([&] { CheckPeriodDates(c.survey); }), c.message);
  }
}

// A picture record's first 51 columns: location, blank, species.
std::string Record(std::string_view location, std::string_view species, std::string_view rest) {
  return Padded(std::string(location)) + " " + Padded(std::string(species)) + " " +
         std::string(rest);
}

std::string Extract(Bench& bench, std::string_view log, std::string_view species) {
  bench.dir.Write("AllPictures.txt", log);
  MisalignedRecords misaligned;
  ExtractSpeciesPics(bench.units, Padded(std::string(species)), misaligned);
  return bench.dir.Read("SpeciesPics.txt");
}

TEST(ExtractSpeciesPics, WorkedExampleCopiesRecords1And3) {
  const std::string r1 = Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2");
  const std::string r2 = Record("Ridge top", "Red deer", "2019 11 21  6 12 59  1");
  const std::string r3 = Record("Creek crossing", "Red fox cub", "2019 12  5 23 50  0  2");
  const std::string r4 = Record("Creek crossing", "red fox", "2019 12  6  0  5 12  4");
  ASSERT_EQ(r1.size(), 74u);
  for (std::string_view end : {"\n", "\r\n"}) {
    SCOPED_TRACE(end == "\n" ? "LF" : "CRLF");
    std::string log;
    for (const auto& r : {r1, r2, r3, r4}) log += r + std::string(end);
    Bench bench;
    bench.dir.Write("SpeciesPics.txt", std::string(500, 'x'));  // replaced
    EXPECT_EQ(Extract(bench, log, "Red fox"), r1 + "\r\n" + r3 + "\r\n");
    EXPECT_EQ(bench.dir.Listing(), "AllPictures.txt SpeciesPics.txt");
    EXPECT_THROW(bench.units[kUnitInputFiles], std::logic_error);
    EXPECT_THROW(bench.units[kUnitSpeciesPicsOut], std::logic_error);
  }
}

TEST(ExtractSpeciesPics, SelectsRecordsWhoseSpeciesBeginsWithTheName) {
  const std::string rest = "2019 11 21  6 10  7  2";
  struct {
    std::string species;  // of the record
    std::string name;     // being extracted
    bool selected;
  } cases[] = {
      // clang-format off
      {"Red fox", "Red fox", true}, {"Red foxes", "Red fox", true},
      {"Red fox cub", "Red fox", true}, {"red fox", "Red fox", false},
      {"Red deer", "Red fox", false}, {"Red fo", "Red fox", false},
      {"  Red fox", "Red fox", false}, {"  Red fox", "  Red fox", true},
      {"Red fox", "  Red fox", false},
      {"Grey squirrel, juvenile X", "Grey squirrel, juvenile X", true}, {"anything", "", true},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("'" + c.species + "' for '" + c.name + "'");
    Bench bench;
    const std::string r = Record("Ridge top", c.species, rest);
    EXPECT_EQ(Extract(bench, r + "\n", c.name), c.selected ? r + "\r\n" : "");
  }
}

TEST(ExtractSpeciesPics, LinesAreTakenAs74CharactersEachAndTheLastNeedsNoLineEnd) {
  const std::string blank74(74, ' ');
  const std::string fox60 = Record("Ridge top", "Red fox", "2019 11 21").substr(0, 60);
  const std::string fox80 = Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2 extra");
  ASSERT_EQ(fox80.size(), 80u);
  struct {
    const char* label;
    std::string log;
    std::string name;
    std::string copied;
  } cases[] = {{"60 characters", fox60 + "\n", "Red fox", Padded(fox60, 74) + "\r\n"},
               {"80 characters", fox80 + "\n", "Red fox", fox80.substr(0, 74) + "\r\n"},
               {"no final line end", std::string("x\n").append(fox80), "Red fox",
                fox80.substr(0, 74) + "\r\n"},
               {"blank name takes every line", "\nab\r\n\n", "",
                blank74 + "\r\n" + Padded("ab", 74) + "\r\n" + blank74 + "\r\n"},
               {"blank lines are not a species", "\n\n", "Red fox", ""},
               {"empty log", "", "Red fox", ""},
               {"empty log, blank name", "", "", ""}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    Bench bench;
    EXPECT_EQ(Extract(bench, c.log, c.name), c.copied);
  }
}

TEST(ExtractSpeciesPics, MissingLogIsTheSystemFailureAtOpen) {
  Bench bench;
  MisalignedRecords misaligned;
  EXPECT_EQ(FailureOf([&] { ExtractSpeciesPics(bench.units, Padded("Red fox"), misaligned); }),
            "OccasionTallies: No such file or directory\n"
            "OccasionTallies: run-time error in open on unit 1: error code returned by host stdio"
            " - 2.\n  File AllPictures.txt\n  At <place>\n");
  EXPECT_EQ(bench.dir.Listing(), "");
}

}  // namespace
}  // namespace ot
