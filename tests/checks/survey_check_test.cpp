// `check` on whole surveys: a clean one, one with every kind of problem, the
// files it cannot read, and the command line that runs it.
#include "checks/survey_check.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "base/failure.h"
#include "checks/read_failure.h"
#include "cli/command_line.h"
#include "support/test_support.h"

namespace ot::checks {
namespace {

using testing::Record;
using testing::ScratchFolder;

constexpr std::int32_t kThisYear = 2024;

struct CheckResult {
  int status = -1;
  std::string out;  // the findings, or the failure's diagnostic
};

CheckResult Check(const ScratchFolder& folder) {
  DiskFolder disk(folder.path());
  std::ostringstream out;
  CheckResult result;
  try {
    result.status = CheckSurvey(disk, kThisYear, out);
    result.out = out.str();
  } catch (const RunFailure& failure) {
    result.status = failure.exit_status();
    result.out = failure.diagnostic();
  }
  return result;
}

TEST(CheckSurvey, CleanSurveyListsNothingAndChangesNothing) {
  ScratchFolder folder;
  const std::string pictures = "Location Species Year Month Day\n" +
                               Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2") +
                               Record("Ridge top", "Wild boar", "2020  2  3 23 59 59 12") +
                               Record("Creek crossing", "Red fox", "2019 12  5 23 50  0  2");
  folder.Write("Input.txt", testing::kWorkedExampleInput);
  folder.Write("AllPictures.txt", pictures);
  const CheckResult result = Check(folder);
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.out,
            "No problems found: Input.txt lists 2 locations and 2 species, AllPictures.txt "
            "holds 3 records.\n");
  EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt");
  EXPECT_EQ(folder.Read("Input.txt"), testing::kWorkedExampleInput);
  EXPECT_EQ(folder.Read("AllPictures.txt"), pictures);
}

// Every kind once; Input.txt and AllPictures.txt both show dates that do not
// exist and implausible years. Ridge top operates 2023-09-01..12-31 in two
// overlapping periods, Creek crossing from 1 October (31 September), Oak
// ridge never (its period is backwards), Hazel copse in September 1823.
const std::string kEveryProblemInput =
    "Every problem once\n"
    "5\n"
    "Ridge top\n2\n2023 9 1 2023 10 31\n2023 10 20 2023 12 31\n"
    "Creek crossing\n1\n2023 9 31\n2023 12 31\n"
    "Oak ridge\n1\n2023 12 31 2023 9 1\n"
    "Ridge top\n1\n2023 9 1 2023 12 31\n"
    "Hazel copse\n2\n1823 9 1 1823 9 30\n2023 9 1 2023 13 31\n"
    "4\nRed fox\nWild boar\nRed fox cub\nPine Marten\n";

const std::string kEveryProblemLog =
    "Location                  Species                   Year Mo Dy Hr Mi Se Ct\n" +
    Record("Ridge top", "Red fox", "2023  9  5 21 10  0  1") +         // 2
    Record("Ridge top", "Red fox cub", "2023  9  5 21 12  0  2") +     // 3
    Record("Ridge top", "Red fox", "2023  9  4 23  5  0  1") +         // 4: earlier
    Record("Ridge top", "Red fox", "2023 11 31  4 15  0  1") +         // 5: 31 November
    Record("Ridge top", "Wild boar", "2023 13  2  3  0  0  2") +       // 6: month 13
    Record("Creek crossing", "Wild boar", "2023  9 15  1 30  0  4") +  // 7: not operating
    Record("Creek crossing", "Wild boar", "2203 10 12  5 20  0  1") +  // 8: year 2203
    Record("Creek crossing", "Red fox", "2023 10 12  5 1O  0  1") +    // 9: letter O
    Record("Oak Ridge", "Pine marten", "2023 10  3 22 45  0  1") +     // 10: not listed
    Record("Oak Ridge", "Pine marten", "2023 10  9  1  5  0  1") +     // 11
    "Creek crossing\tRed fox\t2023\t10\t4\t5\t30\t0\t1\n" +            // 12: tab
    Record("Hazel copse", "Wild boar", "1823  9 12  3 10  0  6");      // 13

TEST(CheckSurvey, SurveyWithOneOfEachProblem) {
  const struct {
    const char* title;
    std::vector<std::string> lines;
  } kinds[] = {
      {"Years or months the run refuses (it stops at the first)",
       {"Input.txt:20: end month 13 of period 2 of location 5 (Hazel copse) is outside 1..12"}},
      {"Records whose numbers cannot be read",
       {"AllPictures.txt:9: the minute \"1O\" (columns 67-68) is not a number: the run stops "
        "here"}},
      {"Records not in the fixed columns",
       {"AllPictures.txt:12: holds a tab: pad the fields with blanks instead"}},
      {"Periods that end before they begin (no operating day is counted in them)",
       {"Input.txt:13: period 1 of location 3 (Oak ridge) ends on 2023-09-01, before it begins "
        "on 2023-12-31"}},
      {"Overlapping periods of one location",
       {"Input.txt:6: period 2 of location 1 (Ridge top) overlaps period 1 from 2023-10-20 to "
        "2023-10-31"}},
      {"Dates or times that do not exist",
       {"Input.txt:9: begin date 2023-09-31 of period 1 of location 2 (Creek crossing) does not "
        "exist",
        "AllPictures.txt:5: Red fox at Ridge top on 2023-11-31 04:15: no such date or time"}},
      {"Years before 1900 or after next year (typing mistakes?)",
       {"Input.txt:19: begin year 1823 of period 1 of location 5 (Hazel copse) is before 1900",
        "Input.txt:19: end year 1823 of period 1 of location 5 (Hazel copse) is before 1900",
        "AllPictures.txt:8: Wild boar at Creek crossing on 2203-10-12 05:20: the year is after "
        "2025",
        "AllPictures.txt:13: Wild boar at Hazel copse on 1823-09-12 03:10: the year is before "
        "1900"}},
      {"Locations listed twice (all their pictures go to the first one's row)",
       {"Input.txt:14: location 4 (Ridge top) has the same name as location 1 (line 3)"}},
      {"Species names that take other species' pictures too",
       {"Input.txt:22: species 1 (Red fox) also counts the pictures of species 3 (Red fox cub), "
        "whose name begins with \"Red fox\" (1 picture)"}},
      {"Species with no picture (their tables hold only zeros)",
       {"Input.txt:25: species 4 (Pine Marten) selects no picture (AllPictures.txt has \"Pine "
        "marten\")"}},
      {"Locations in Input.txt with no picture",
       {"Input.txt:11: location 3 (Oak ridge) has no picture (AllPictures.txt has \"Oak "
        "Ridge\")"}},
      {"Locations in AllPictures.txt not in Input.txt (the run leaves their pictures out)",
       {"AllPictures.txt:10: \"Oak Ridge\" is not in Input.txt: 2 pictures, the first on this "
        "line (Input.txt has \"Oak ridge\")"}},
      {"Pictures with a month outside 1..12 (the run leaves them out)",
       {"AllPictures.txt:6: Wild boar at Ridge top on 2023-13-02 03:00: month 13 is outside "
        "1..12"}},
      {"Pictures outside the survey's days (the run leaves them out)",
       {"AllPictures.txt:8: Wild boar at Creek crossing on 2203-10-12 05:20: after the survey's "
        "last day, 2023-12-31"}},
      {"Pictures on days their camera was not operating (the run counts them)",
       {"AllPictures.txt:7: Wild boar at Creek crossing on 2023-09-15 01:30: its camera was not "
        "operating that day"}},
      {"Pictures earlier than the picture before them at the same location (sort "
       "AllPictures.txt by location and time)",
       {"AllPictures.txt:4: Red fox at Ridge top on 2023-09-04 23:05: earlier than line 3 "
        "(2023-09-05 21:12)"}},
  };
  std::string expected;
  std::size_t problems = 0;
  for (const auto& kind : kinds) {
    expected += std::string(kind.title) + ": " + std::to_string(kind.lines.size()) + "\n";
    for (const std::string& line : kind.lines) expected += line + "\n";
    expected += "\n";
    problems += kind.lines.size();
  }
  expected += std::to_string(problems) + " problems of 16 kinds found.\n";

  ScratchFolder folder;
  folder.Write("Input.txt", kEveryProblemInput);
  folder.Write("AllPictures.txt", kEveryProblemLog);
  const CheckResult result = Check(folder);
  EXPECT_EQ(result.status, kExitProblemsFound);
  EXPECT_EQ(result.out, expected);
  EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt");
}

// The lines under `title` in the findings.
std::string LinesUnder(const std::string& findings, const std::string& title) {
  const std::size_t at = findings.find(title + ": ");
  if (at == std::string::npos) return "";
  const std::size_t begin = findings.find('\n', at) + 1;
  return findings.substr(begin, findings.find("\n\n", begin) + 1 - begin);
}

TEST(CheckSurvey, SpeciesThatTakeOtherSpeciesPictures) {
  const std::string title = "Species names that take other species' pictures too";
  const std::string log = Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2") +
                          Record("Ridge top", "Red fox", "2019 11 22  6 10  7  2") +
                          Record("Ridge top", "Red fox cub", "2019 11 23  6 10  7  2");
  struct {
    const char* what;
    std::string species;  // Input.txt's lines from the species count on
    std::string lines;
  } cases[] = {
      {"one name begins with another", "2\nRed fox\nRed fox cub\n",
       "Input.txt:12: species 1 (Red fox) also counts the pictures of species 2 (Red fox cub), "
       "whose name begins with \"Red fox\" (1 picture)\n"},
      {"two names begin with a third, one with another", "3\nRed\nRed fox\nRed fox cub\n",
       "Input.txt:12: species 1 (Red) also counts the pictures of species 2 (Red fox) and 1 more "
       "species, whose names begin with \"Red\" (3 pictures)\n"
       "Input.txt:13: species 2 (Red fox) also counts the pictures of species 3 (Red fox cub), "
       "whose name begins with \"Red fox\" (1 picture)\n"},
      {"listed twice", "3\nRed fox cub\nWild boar\nRed fox cub\n",
       "Input.txt:14: species 3 (Red fox cub) is listed twice: species 1 (Red fox cub) (line 12) "
       "takes the same pictures\n"},
      {"an empty name", "2\nRed fox cub\n\n",
       "Input.txt:13: species 2 has an empty name, which takes every picture (3)\n"},
      {"names that share no pictures", "2\nRed fox cub\nRed deer\n", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    const std::string input = testing::kWorkedExampleInput;
    folder.Write("Input.txt", input.substr(0, input.find("2\nRed fox")) + c.species);
    folder.Write("AllPictures.txt", log);
    EXPECT_EQ(LinesUnder(Check(folder).out, title), c.lines);
  }
}

TEST(CheckSurvey, FileItCannotReadIsExitStatus2WithTheReason) {
  const std::string head = "OccasionTallies: cannot check: ";
  const std::string kDirectory = "<directory>";
  const std::string log = Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2");
  struct {
    const char* what;
    std::string input;  // kDirectory for a folder of that name; "" for none
    std::string log;
    std::string message;
  } cases[] = {
      {"Input.txt missing", "", log, "Input.txt: No such file or directory"},
      {"Input.txt a folder", kDirectory, log, "Input.txt: Is a directory"},
      {"AllPictures.txt missing", testing::kWorkedExampleInput, "",
       "AllPictures.txt: No such file or directory"},
      {"AllPictures.txt a folder", testing::kWorkedExampleInput, kDirectory,
       "AllPictures.txt: Is a directory"},
      {"Input.txt empty", "\n", log,
       "Input.txt:2: the file ends before its counts say it should, reading the number of "
       "locations"},
      {"word as a count", "Study\n1\nRidge top\nnone\n", log,
       "Input.txt:4: a word where a number is expected, reading the number of periods of "
       "location 1 (Ridge top)"},
      {"dates cut short", "Study\n1\nRidge top\n1\n2019 11 20\n", log,
       "Input.txt:6: the file ends before its counts say it should, reading the dates of period "
       "1 of location 1 (Ridge top)"},
      {"a NUL byte in a name", std::string("Study\n1\nRi\0dge\nnone\n", 21), log,
       "Input.txt:4: a word where a number is expected, reading the number of periods of "
       "location 1 (Ri\\x00dge)"},
      {"count beyond 32 bits", "Study\n2147483648\n", log,
       "Input.txt:2: a number that cannot be read, reading the number of locations"},
      {"species name missing", "Study\n0\n2\nRed fox\n", log,
       "Input.txt:5: the file ends before its counts say it should, reading the name of species "
       "2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    for (const auto& [name, content] :
         {std::pair("Input.txt", c.input), {"AllPictures.txt", c.log}}) {
      if (content == kDirectory) {
        std::filesystem::create_directory(folder.path() / name);
      } else if (!content.empty()) {
        folder.Write(name, content);
      }
    }
    const CheckResult result = Check(folder);
    EXPECT_EQ(result.status, kExitCannotCheck);
    EXPECT_EQ(result.out, head + c.message + "\n");
  }
}

TEST(CheckSurvey, RunFromTheCommandLine) {
  ScratchFolder folder;
  folder.Write("Input.txt", testing::kWorkedExampleInput);
  folder.Write("AllPictures.txt", Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2"));
  const std::string dir = folder.path().string();
  struct {
    const char* what;
    std::vector<std::string> args;
    int status;
    std::string out_begins;
  } cases[] = {
      {"a survey folder",
       {"check", "-C", dir},
       kExitProblemsFound,
       "Species with no picture (their tables hold only zeros): 1\n"},
      {"help", {"check", "--help"}, kExitOk, "List every problem of Input.txt and AllPictures.txt"},
      {"no such folder",
       {"check", "-C", dir + "/none"},
       kExitUsage,
       "OccasionTallies: cannot check: " + dir + "/none is not a folder\n"},
      {"a stray argument", {"check", "-C", dir, "extra"}, kExitUsage, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::string> args = {"occasion-tallies"};
    args.insert(args.end(), c.args.begin(), c.args.end());
    StringSource in("");
    StringSink console;
    std::ostringstream out;
    std::ostringstream err;
    int status = -1;
    try {
      status = cli::RunCommandLine(args, {in, console, out, err});
    } catch (const RunFailure& failure) {
      status = failure.exit_status();
      out << failure.diagnostic();
    }
    EXPECT_EQ(status, c.status);
    EXPECT_EQ(out.str().substr(0, c.out_begins.size()), c.out_begins) << out.str();
  }
  EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt");
}

}  // namespace
}  // namespace ot::checks
