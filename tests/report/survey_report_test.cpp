// The report page as text: escaping, the data attributes the browser test
// and the hover text read, and the surveys at the edges (one day, no
// operating period, a species never seen, names full of markup).
#include "report/survey_report.h"

#include <gtest/gtest.h>

#include "base/exit_status.h"
#include "base/failure.h"
#include "cli/command_line.h"
#include "report/html_text.h"
#include "report/report_style.h"
#include "run/run_driver.h"
#include "support/test_support.h"

namespace ot::report {
namespace {

using testing::Record;
using testing::ScratchFolder;

TEST(Escaped, ReplacesEveryCharacterThatEndsTextOrAnAttribute) {
  struct {
    const char* text;
    const char* html;
  } cases[] = {
      {"Red fox", "Red fox"},
      {"Oak <gate>", "Oak &lt;gate&gt;"},
      {"Fen & mill", "Fen &amp; mill"},
      {"\"quarry\"", "&quot;quarry&quot;"},
      {"Bob's", "Bob&#39;s"},
      {"&amp;", "&amp;amp;"},
      {"</script><script>", "&lt;/script&gt;&lt;script&gt;"},
      {"Fuchs \xc3\xa4", "Fuchs \xc3\xa4"},  // UTF-8 passes as read
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Escaped(c.text), c.html);
  }
}

TEST(AppendValueList, WritesRunsOfThreeOrMoreAsValueTimesLength) {
  using Values = std::vector<std::optional<std::int64_t>>;
  struct {
    Values values;
    const char* text;
  } cases[] = {
      {{}, ""},
      {{3}, "3"},
      {{std::nullopt, 0, 0, 5}, "NA 0 0 5"},
      {{0, 0, 0}, "0*3"},
      {{std::nullopt, std::nullopt, std::nullopt, std::nullopt, 7, -2, -2, -2}, "NA*4 7 -2*3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    std::string text;
    AppendValueList(text, c.values);
    EXPECT_EQ(text, c.text);
  }
}

TEST(ShadeOf, DoublingRangesWithNaAndNegativeApart) {
  struct {
    std::optional<std::int64_t> count;
    Shade shade;
  } cases[] = {
      {std::nullopt, kShadeNoEffort},
      {-1, kShadeNegative},
      {0, kShadeZero},
      {1, kShadeOne},
      {3, kShadeTwoToThree},
      {4, kShadeFourToSeven},
      {15, kShadeEightToFifteen},
      {16, kShadeSixteenToThirtyOne},
      {63, kShadeThirtyTwoToSixtyThree},
      {64, kShadeSixtyFourOrMore},
      {1000000, kShadeSixtyFourOrMore},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.count ? std::to_string(*c.count) : "NA");
    EXPECT_EQ(ShadeOf(c.count), c.shade);
  }
  EXPECT_EQ(ShadeLabel(kShadeFourToSeven), "4\u20137");
  EXPECT_NE(Hex(ShadeColour(kShadeNoEffort)), Hex(ShadeColour(kShadeZero)));
}

// A survey run in-process with the report's observer.
struct ReportedRun {
  ScratchFolder folder;
  SurveyResults results{true};
  std::string html;

  ReportedRun(const std::string& input, const std::string& pictures, std::int32_t days) {
    folder.Write("Input.txt", input);
    folder.Write("AllPictures.txt", pictures);
    DiskFolder disk(folder.path());
    StringSource in("");
    StringSink out;
    std::ostringstream warnings;
    const RunAnswers answers{30, days};
    RunEnvironment env{disk, in, out, warnings};
    env.answers = &answers;
    env.observer = &results;
    RunOccasionTallies(env);
    html = RenderSurveyReport(results, ReadTitleLine(folder.path() / "Input.txt"));
  }

  // The value of attribute `name` on every element that has it, in order.
  std::vector<std::string> Attributes(const std::string& name) const {
    std::vector<std::string> values;
    const std::string opening = " " + name + "=\"";
    for (auto at = html.find(opening); at != std::string::npos; at = html.find(opening, at + 1)) {
      const std::size_t begin = at + opening.size();
      values.push_back(html.substr(begin, html.find('"', begin) - begin));
    }
    return values;
  }
  std::size_t Occurrences(const std::string& text) const {
    std::size_t n = 0;
    for (auto at = html.find(text); at != std::string::npos; at = html.find(text, at + 1)) ++n;
    return n;
  }
};

TEST(SurveyReport, NamesFullOfMarkupStayText) {
  const std::string input =
      "Survey <script>alert(1)</script> & \"friends\"\r\n1\nOak <gate> & \"mill\"\n1\n"
      "2021 5 1 2021 5 10\n1\nFox's <b>den</b>\n";
  ReportedRun run(input,
                  Record("Oak <gate> & \"mill\"", "Fox's <b>den</b>", "2021 05 02 06 10 00  2"), 5);
  EXPECT_EQ(run.Occurrences("<script"), 1u);  // the page's own
  EXPECT_EQ(run.Occurrences("<b>den"), 0u);
  EXPECT_EQ(run.Occurrences("<gate>"), 0u);
  EXPECT_NE(run.html.find("<h1>Survey &lt;script&gt;alert(1)&lt;/script&gt; &amp; "
                          "&quot;friends&quot;</h1>"),
            std::string::npos);
  EXPECT_EQ(
      run.Attributes("data-location"),
      std::vector<std::string>(2, "Oak &lt;gate&gt; &amp; &quot;mill&quot;"));  // chart, heat map
  EXPECT_EQ(run.Attributes("data-species"),
            std::vector<std::string>{"Fox&#39;s &lt;b&gt;den&lt;/b&gt;"});
  EXPECT_EQ(run.Attributes("data-counts"), std::vector<std::string>{"2 0"});
}

TEST(SurveyReport, EdgesOfTheSurvey) {
  struct {
    const char* name;
    std::string input;
    std::string pictures;
    std::int32_t days;
    std::vector<std::string> counts;  // per species and location
    std::string occasions;
    std::vector<std::string> present;
    std::size_t images;  // chart marks and one cell image per species
  } cases[] = {
      {"a species never seen and a blank name",
       "T\n2\nA\n1\n2021 5 1 2021 5 6\nB\n1\n2021 5 4 2021 5 6\n2\nBadger\n\n",
       Record("A", "Fox", "2021 05 02 10 00 00  1"),
       3,
       {"0 0", "NA 0", "1 0", "NA 0"},
       "2021-05-01 2021-05-03 3;2021-05-04 2021-05-06 3",
       {"<b>Badger</b> 0 individuals in 0 independent events, detected at 0 of 2",
        "<b>(blank name)</b> 1 individuals", "data-total=\"0\""},
       3},
      {"a study of one day",
       "T\n1\nA\n1\n2021 5 1 2021 5 1\n1\nFox\n",
       Record("A", "Fox", "2021 05 01 23 59 00  4") + Record("A", "Fox", "2021 05 02 00 05 00  1"),
       7,
       {"4"},
       "2021-05-01 2021-05-01 1",
       {"2021-05-01 to 2021-05-01 (1 day)", "7 days; 1 occasion (the last 1 day)"},
       2},
      {"no operating period",
       "T\n2\nA\n0\nB\n0\n1\nFox\n",
       Record("A", "Fox", "2021 05 01 10 00 00  1"),
       7,
       {"", ""},
       "",
       {"none: no camera has an operating period", "the study has no days to draw",
        "7 days; 0 occasions"},
       0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ReportedRun run(c.input, c.pictures, c.days);
    EXPECT_EQ(run.Attributes("data-counts"), c.counts);
    EXPECT_EQ(run.Attributes("data-occasions"), std::vector<std::string>{c.occasions});
    for (const std::string& text : c.present) {
      EXPECT_NE(run.html.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(run.Occurrences("<image "), c.images);
    EXPECT_EQ(run.Occurrences("<g class=\"chart-row\""), run.results.locations().size());
  }
}

TEST(WriteSurveyReport, ReplacesTheFileWholeAndLeavesNoTemporary) {
  ReportedRun run("Title line  \r\n1\nA\n1\n2021 5 1 2021 5 3\n1\nFox\n", "", 2);
  run.folder.Write("report.html", "an earlier report");
  WriteSurveyReport(run.results, run.folder.path(), "report.html");
  EXPECT_EQ(run.folder.Read("report.html"), run.html);
  EXPECT_NE(run.html.find("<h1>Title line</h1>"), std::string::npos);
  EXPECT_EQ(run.folder.Listing(), "AllPictures.txt Input.txt OccasionTallies.txt report.html");
}

TEST(WriteSurveyReport, AFolderThatIsMissingFailsWithStatusOne) {
  ReportedRun run("T\n1\nA\n1\n2021 5 1 2021 5 3\n1\nFox\n", "", 2);
  try {
    WriteSurveyReport(run.results, run.folder.path(), "missing/report.html");
    FAIL() << "no failure";
  } catch (const RunFailure& failure) {
    EXPECT_EQ(failure.exit_status(), kExitToolFailed);
    EXPECT_EQ(std::string(failure.what()),
              "OccasionTallies: cannot write the report " +
                  (run.folder.path() / "missing/report.html").string() +
                  ": No such file or directory\n");
  }
  EXPECT_EQ(run.folder.Listing(), "AllPictures.txt Input.txt OccasionTallies.txt");
}

TEST(RunCommand, ReportLeavesTheConsoleAsItIs) {
  std::string console[2];
  for (bool report : {false, true}) {
    ScratchFolder folder;
    folder.Write("Input.txt", testing::kWorkedExampleInput);
    folder.Write("AllPictures.txt", Record("Ridge top", "Red fox", "2019 11 21 06 10 00  2"));
    std::vector<std::string> args{"occasion-tallies",    "run", "-p", "30", "-d", "7", "-C",
                                  folder.path().string()};
    if (report) args.insert(args.end(), {"--report", "survey.html"});
    StringSource in("");
    StringSink out;
    std::ostringstream text_out, err;
    EXPECT_EQ(cli::RunCommandLine(args, {in, out, text_out, err}), 0);
    console[report] = out.text() + text_out.str() + err.str();
    EXPECT_EQ(folder.Exists("survey.html"), report);
  }
  EXPECT_EQ(console[0], console[1]);
}

}  // namespace
}  // namespace ot::report
