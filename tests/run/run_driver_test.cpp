// Whole runs: the console dialogue byte for byte, the output file, the exit
// status and the files a run leaves behind.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>

#include "support/test_support.h"

namespace ot {
namespace {

using testing::Record;
using testing::RunExecutable;
using testing::RunInProcess;
using testing::RunResult;
using testing::ScratchFolder;
using testing::WithoutPlace;

const std::string kBanner = "Program OccasionTallies, Version 1.2, February 10, 2022\n";
const std::string kAskPeriod = " ENTER INDEPENDENCE PERIOD IN MINUTES, THEN ENTER\n";
const std::string kAskDays = " ENTER NUMBER OF DAYS FOR CAMERA TRAP OCCASION, THEN ENTER\n";
const std::string kZeroDays = " NUMBER OF DAYS MUST NOT BE ZERO\n";
const std::string kFinal = " OccasionTallies.txt created ... PRESS ENTER TO TERMINATE NORMALLY\n";
// " Processing " and the 25-character name: 37 characters.
const std::string kRedFoxLine = " Processing Red fox                  \n";
const std::string kWildBoarLine = " Processing Wild boar                \n";
const std::string kClosing = "OccasionTallies.txt created ... TERMINATING NORMALLY\r\n";

// The header lines of OccasionTallies.txt; both numbers are the 5-column fields.
std::string Header(const std::string& days5, const std::string& occasions5) {
  return "OCCASION TALLIES\r\n  Number of days in camera trap occasion = " + days5 +
         "\r\n  Number of camera trap occasions = " + occasions5 +
         "\r\n  All locations listed in Input.txt\r\n"
         "  Limit abundance in camera trap occasion to 999\r\n"
         "  Copy and paste each species matrix into program Tevak (2004)\r\n\r\n";
}

// The worked-example survey: two locations, 2019-11-20 .. 2020-03-31.
const std::string& kSurveyInput = testing::kWorkedExampleInput;

const std::string kSurveyPictures = Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2") +
                                    Record("Ridge top", "Red fox", "2019 11 21  6 25  0  3") +
                                    Record("Ridge top", "Red fox", "2019 11 21  6 50  0  1") +
                                    Record("Ridge top", "Red fox", "2019 11 21  7 20  0  1") +
                                    Record("Creek crossing", "Red fox", "2019 12  5 23 50  0  2") +
                                    Record("Creek crossing", "Red fox", "2019 12  6  0  5  0  4") +
                                    Record("Ridge top", "Red fox", "2020  4  2 10  0  0  1");

// Worked out by hand. reference_year 2019; 2019-11-20 is day 324 (first_day_number) and
// 2020-03-31 day 456, so num_days = 133 and, with 7-day occasions,
// (133 - 1 + 7) / 7 = 19 occasions of exactly 7 days (k covers 7k-6 .. 7k).
// Ridge top operates on survey days 1..57 and 74..112, Creek crossing on
// 12..133. Red fox with a 30-minute period: Ridge top day 2 gets 3 (06:10,
// 06:25 and 06:50 are one event of maximum 3) + 1 (07:20 is exactly 30
// minutes after 06:50: a new event) = 4; Creek crossing gets 2 on day 16
// and 2 on day 17 (23:50 and 00:05 are one event of maximum 4); the
// 2020-04-02 picture lies on day 135 > 133 and is skipped silently.
// Ridge top: occasion 1 = 4; 2..8 = 0; 9 (57..63) and 11 (71..77) mix
// operating days with 6 and 3 idle days and nothing counted, 10 (64..70) is
// idle: " - "; 12..16 (78..112) = 0; 17..19 (113..133) idle. Creek crossing:
// 1 (1..7) idle, 2 (8..14) has 4 idle days: " - "; 3 (15..21) = 4; the rest
// 0. Each total is 4. Wild boar has no pictures: the same -1 and 0 pattern
// with every count 0 (the day matrix is rebuilt for each species).
const std::string kSurveyTallies =
    Header("    7", "   19") + "Red fox                  \r\n" +
    "  4   0   0   0   0   0   0   0  -   -   -    0   0   0   0   0  -   -   -    4\r\n" +
    " -   -    4   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   4\r\n\r\n" +
    "Wild boar                \r\n" +
    "  0   0   0   0   0   0   0   0  -   -   -    0   0   0   0   0  -   -   -    0\r\n" +
    " -   -    0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0   0\r\n\r\n" +
    kClosing;
const std::string kSurveyConsole =
    kBanner + kAskPeriod + kAskDays + kRedFoxLine + kWildBoarLine + kFinal;

void LaySurvey(const ScratchFolder& folder) {
  folder.Write("Input.txt", kSurveyInput);
  folder.Write("AllPictures.txt", kSurveyPictures);
}

// The same bytes whether the run is made in-process or by the executable.
TEST(RunDriver, TwoSpeciesRunIsByteExact) {
  using Runner = RunResult (*)(const ScratchFolder&, const std::string&);
  const Runner runners[] = {
      [](const ScratchFolder& f, const std::string& in) { return RunInProcess(f, in); },
      [](const ScratchFolder& f, const std::string& in) { return RunExecutable(f, in); },
  };
  for (Runner run : runners) {
    ScratchFolder folder;
    LaySurvey(folder);
    RunResult r = run(folder, "30\n7\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kSurveyConsole);
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(folder.Read("OccasionTallies.txt"), kSurveyTallies);
    // The scratch files SpeciesPics.txt and temp.txt are gone.
    EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt OccasionTallies.txt");
  }
}

// A 10-day survey (2019-11-20 .. 11-29) at one location, one species and
// three pictures on day 2: 06:10 (2), 06:10 (1) and 07:20 (1).
const std::string kSmallInput = "Short study\n1\nRidge top\n1\n2019 11 20 2019 11 29\n1\nRed fox\n";
const std::string kSmallPictures = Record("Ridge top", "Red fox", "2019 11 21  6 10  0  2") +
                                   Record("Ridge top", "Red fox", "2019 11 21  6 10 30  1") +
                                   Record("Ridge top", "Red fox", "2019 11 21  7 20  0  1");

// The small survey's output with one Red fox row.
std::string SmallTallies(const std::string& days5, const std::string& occasions5,
                         const std::string& row) {
  return Header(days5, occasions5) + "Red fox                  \r\n" + row + "\r\n\r\n" + kClosing;
}

TEST(RunDriver, Dialogue) {
  const std::string normal = kBanner + kAskPeriod + kAskDays + kRedFoxLine + kFinal;
  const std::string zero_then_again = kBanner + kAskPeriod + kAskDays + kZeroDays + kAskDays;
  // Period 30, 7-day occasions (days 1-7, 8-10): one event of 2, one of 1.
  const std::string usual = SmallTallies("    7", "    2", "  3   0   3");
  const std::string eof217 =
      "OccasionTallies: run-time error 217 in free-form read on unit 5: attempt to read past end "
      "of file.\n  File stdin, formatted sequential, line ";
  struct {
    const char* what;
    std::string input;
    std::string out;
    int status;
    std::string err;      // without the source place
    std::string tallies;  // "" when no OccasionTallies.txt may exist
  } cases[] = {
      {"plain answers", "30\n7\n\n", normal, 0, "", usual},
      // The rest of "30 5" is discarded: occasion_days comes from the next line.
      {"both on one line", "30 5\n7\n\n", normal, 0, "", usual},
      {"both on one line, then the end", "30 7\n", kBanner + kAskPeriod + kAskDays, 127,
       eof217 + "2\n  At <place>\n", ""},
      {"CRLF line ends", "30\r\n7\r\n\r\n", normal, 0, "", usual},
      {"empty lines passed over", "\n\n  \n30\n\t\n\n7\n\n", normal, 0, "", usual},
      {"word at first prompt", "abc\n7\n\n", kBanner + kAskPeriod, 127,
       "OccasionTallies: run-time error 225 in free-form read on unit 5: lexical error-- unknown "
       "token type.\n  File stdin, formatted sequential, line 1\n  At <place>\n",
       ""},
      // 1e3 minutes join all three pictures into one event of 2.
      {"exponent", "1e3\n7\n\n", normal, 0, "", SmallTallies("    7", "    2", "  2   0   2")},
      {"fraction cut", "30\n7.5\n\n", normal, 0, "", usual},
      {"fraction cut 9.9", "30\n9.9\n\n", normal, 0, "",
       SmallTallies("    9", "    2", "  3   0   3")},
      // t is -1 minutes: even pictures in the same minute are separate events.
      {"t as period", "t\n7\n\n", normal, 0, "", SmallTallies("    7", "    2", "  4   0   4")},
      // t as occasion_days is -1: (10 - 1 - 1) / -1 < 0, no occasions.
      {"t as days", "30\nt\n\n", normal, 0, "", SmallTallies("   -1", "    0", "  0")},
      {"negative days", "30\n-7\n\n", normal, 0, "", SmallTallies("   -7", "    0", "  0")},
      // A slash leaves the period at 0: the same-minute pictures separate.
      {"slash as period", "/\n7\n\n", normal, 0, "", SmallTallies("    7", "    2", "  4   0   4")},
      {"end at first answer", "", kBanner + kAskPeriod, 127, eof217 + "1\n  At <place>\n", ""},
      {"end at second answer", "30\n", kBanner + kAskPeriod + kAskDays, 127,
       eof217 + "2\n  At <place>\n", ""},
      {"end after empty lines", "30\n\n\n", kBanner + kAskPeriod + kAskDays, 127,
       eof217 + "4\n  At <place>\n", ""},
      {"zero then 7", "30\n0\n7\n\n", zero_then_again + kRedFoxLine + kFinal, 0, "", usual},
      {"slash as days", "30\n/\n7\n\n", zero_then_again + kRedFoxLine + kFinal, 0, "", usual},
      {"zero then end", "30\n0\n", zero_then_again, 127, eof217 + "3\n  At <place>\n", ""},
      {"end at final wait", "30\n7\n", normal, 0, "", usual},
      {"text before final Enter", "30\n7\nno thanks 42\nmore\n", normal, 0, "", usual},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    folder.Write("Input.txt", kSmallInput);
    folder.Write("AllPictures.txt", kSmallPictures);
    RunResult r = RunInProcess(folder, c.input);
    EXPECT_EQ(r.status, c.status);
    EXPECT_EQ(r.out, c.out);
    EXPECT_EQ(WithoutPlace(r.err), c.err);
    if (c.tallies.empty()) {
      EXPECT_FALSE(folder.Exists("OccasionTallies.txt"));
    } else {
      EXPECT_EQ(folder.Read("OccasionTallies.txt"), c.tallies);
    }
  }
}

TEST(RunDriver, NoSpeciesGivesHeaderAndClosingLine) {
  ScratchFolder folder;
  folder.Write("Input.txt", "No species\n1\nRidge top\n1\n2019 11 20 2019 11 29\n0\n");
  folder.Write("AllPictures.txt", kSmallPictures);
  RunResult r = RunInProcess(folder, "30\n7\n\n");
  EXPECT_EQ(r.status, 0);
  EXPECT_EQ(r.out, kBanner + kAskPeriod + kAskDays + kFinal);
  EXPECT_EQ(folder.Read("OccasionTallies.txt"), Header("    7", "    2") + kClosing);
}

TEST(RunDriver, ExistingOutputFileReplacedOrLeftAlone) {
  std::string old;
  for (int i = 0; i < 2000; ++i) old += "an older result line that is longer than any new one\r\n";
  {
    ScratchFolder folder;
    LaySurvey(folder);
    folder.Write("OccasionTallies.txt", old);
    EXPECT_EQ(RunInProcess(folder, "30\n7\n\n").status, 0);
    EXPECT_EQ(folder.Read("OccasionTallies.txt"), kSurveyTallies);
  }
  // Runs that fail before the header leave the old file as it was.
  struct {
    const char* what;
    std::string input_file;
    std::string answers;
    std::string err;
  } cases[] = {
      {"bad answer", kSmallInput, "abc\n",
       "OccasionTallies: run-time error 225 in free-form read on unit 5: lexical error-- unknown "
       "token type.\n  File stdin, formatted sequential, line 1\n  At <place>\n"},
      {"malformed Input.txt", "Study\n1\nRidge top\nnone\n", "30\n7\n\n",
       "OccasionTallies: run-time error 225 in free-form read on unit 1: lexical error-- unknown "
       "token type.\n  File Input.txt, formatted sequential, line 4\n  At <place>\n"},
      {"month 13",
       "Study\n1\nRidge top\n2\n2019 11 20 2019 11 25\n2019 13 1 2019 12 5\n1\nRed fox\n",
       "30\n7\n\n",
       "OccasionTallies: Input.txt: begin month 13 of period 2 of location 1 (Ridge top) is "
       "outside 1..12\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    folder.Write("Input.txt", c.input_file);
    folder.Write("AllPictures.txt", kSmallPictures);
    folder.Write("OccasionTallies.txt", old);
    RunResult r = RunInProcess(folder, c.answers);
    EXPECT_EQ(r.status, 127);
    EXPECT_EQ(WithoutPlace(r.err), c.err);
    EXPECT_EQ(folder.Read("OccasionTallies.txt"), old);
  }
}

TEST(RunDriver, SkippedPicturesWarning) {
  // Skipped pictures sit between the 06:10 pictures, which must still form
  // one event: the row stays 3, 0, 3.
  const std::string a = Record("Ridge top", "Red fox", "2019 11 21  6 10  0  2");
  const std::string rest = Record("Ridge top", "Red fox", "2019 11 21  6 10 30  1") +
                           Record("Ridge top", "Red fox", "2019 11 21  7 20  0  1");
  const std::string nowhere = Record("Nowhere", "Red fox", "2019 11 21  6 10  0  5");
  const std::string month13 = Record("Ridge top", "Red fox", "2019 13 21  6 10  0  5");
  const std::string month0 = Record("Ridge top", "Red fox", "2019  0 21  6 10  0  5");
  const std::string before = Record("Ridge top", "Red fox", "2018 11 21  6 10  0  5");
  const std::string after = Record("Ridge top", "Red fox", "2019 11 30  6 10  0  5");
  const std::string tag = "OccasionTallies: warning: Red fox: ";
  struct {
    const char* what;
    std::string pictures;
    std::string err;
  } cases[] = {
      {"one unlisted", a + nowhere + rest,
       tag + "1 picture skipped (1 at locations not listed in Input.txt, 0 with a month outside "
             "1..12)\n"},
      {"one bad month", a + month0 + rest,
       tag + "1 picture skipped (0 at locations not listed in Input.txt, 1 with a month outside "
             "1..12)\n"},
      {"three", a + nowhere + month13 + nowhere + rest,
       tag + "3 pictures skipped (2 at locations not listed in Input.txt, 1 with a month outside "
             "1..12)\n"},
      {"silent skips", a + before + after + rest, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    folder.Write("Input.txt", kSmallInput);
    folder.Write("AllPictures.txt", c.pictures);
    RunResult r = RunInProcess(folder, "30\n7\n\n");
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.out, kBanner + kAskPeriod + kAskDays + kRedFoxLine + kFinal);
    EXPECT_EQ(r.err, c.err);
    EXPECT_EQ(folder.Read("OccasionTallies.txt"), SmallTallies("    7", "    2", "  3   0   3"));
  }
}

TEST(RunExecutable, WordAtPromptEndsWith127) {
  ScratchFolder folder;
  LaySurvey(folder);
  RunResult r = RunExecutable(folder, "abc\n");
  EXPECT_EQ(r.status, 127);
  EXPECT_EQ(r.out, kBanner + kAskPeriod);
  EXPECT_EQ(WithoutPlace(r.err),
            "OccasionTallies: run-time error 225 in free-form read on unit 5: lexical error-- "
            "unknown token type.\n  File stdin, formatted sequential, line 1\n  At <place>\n");
}

// Runs the executable in `folder` with a broken console: standard output
// or standard error closed, or a pipe that nobody reads, or standard input read from a
// directory. Returns the raw wait status and standard error.
enum class Broken { kClosedOutput, kPipeWithoutReader, kDirectoryInput, kClosedErrors };
struct ProcessOutcome {
  int wait_status = 0;
  std::string err;
};
ProcessOutcome RunWithBrokenConsole(const ScratchFolder& folder, Broken how) {
  const std::string base = folder.path().string();
  const std::string in = how == Broken::kDirectoryInput ? base : base + ".in";
  const std::string err = base + ".err";
  const std::string out = base + ".out";
  if (how != Broken::kDirectoryInput) {
    std::FILE* f = std::fopen(in.c_str(), "wb");
    std::fputs("30\n7\n\n", f);
    std::fclose(f);
  }
  int pipe_ends[2];
  if (::pipe(pipe_ends) != 0) return {};
  ::close(pipe_ends[0]);  // no reader, ever
  const pid_t pid = ::fork();
  if (pid == 0) {
    const int in_fd = ::open(in.c_str(), O_RDONLY);
    const int err_fd = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    const int out_fd = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (in_fd < 0 || err_fd < 0 || out_fd < 0 || ::chdir(base.c_str()) != 0) ::_exit(90);
    ::dup2(in_fd, 0);
    ::dup2(err_fd, 2);
    if (how == Broken::kClosedErrors) ::close(2);
    if (how == Broken::kClosedOutput) ::close(1);
    if (how == Broken::kPipeWithoutReader) ::dup2(pipe_ends[1], 1);
    if (how == Broken::kDirectoryInput || how == Broken::kClosedErrors) ::dup2(out_fd, 1);
    ::execl(OT_EXECUTABLE, OT_EXECUTABLE, static_cast<char*>(nullptr));
    ::_exit(91);
  }
  ::close(pipe_ends[1]);
  ProcessOutcome outcome;
  ::waitpid(pid, &outcome.wait_status, 0);
  if (std::FILE* f = std::fopen(err.c_str(), "rb")) {
    char buffer[4096];
    for (std::size_t n; (n = std::fread(buffer, 1, sizeof buffer, f)) > 0;)
      outcome.err.append(buffer, n);
    std::fclose(f);
  }
  std::remove(err.c_str());
  std::remove(out.c_str());
  if (how != Broken::kDirectoryInput) std::remove(in.c_str());
  return outcome;
}

TEST(RunExecutable, BrokenConsoleIsReportedNotFatal) {
  struct {
    const char* what;
    Broken how;
    std::string err;
  } cases[] = {
      {"closed output", Broken::kClosedOutput,
       "OccasionTallies: Bad file descriptor\nOccasionTallies: run-time error in fixed-width "
       "write on unit 6: error code returned by host stdio - 9.\n  File stdout, formatted "
       "sequential, line 1\n  At <place>\n"},
      {"pipe without reader", Broken::kPipeWithoutReader,
       "OccasionTallies: Broken pipe\nOccasionTallies: run-time error in fixed-width write on "
       "unit 6: error code returned by host stdio - 32.\n  File stdout, formatted sequential, "
       "line 1\n  At <place>\n"},
      {"directory as input", Broken::kDirectoryInput,
       "OccasionTallies: Is a directory\nOccasionTallies: run-time error in free-form read on unit "
       "5: error code returned by host stdio - 21.\n  File stdin, formatted sequential, line 1\n"
       "  At <place>\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    LaySurvey(folder);
    ProcessOutcome r = RunWithBrokenConsole(folder, c.how);
    ASSERT_TRUE(WIFEXITED(r.wait_status)) << "ended by signal " << WTERMSIG(r.wait_status);
    EXPECT_EQ(WEXITSTATUS(r.wait_status), 127);
    EXPECT_EQ(WithoutPlace(r.err), c.err);
    EXPECT_FALSE(folder.Exists("OccasionTallies.txt"));
  }
}

// With standard error closed, the files the run opens must not take its
// number: the skipped-picture warning goes nowhere and the result is clean.
TEST(RunExecutable, ClosedErrorStreamNeverReachesTheOutputFile) {
  ScratchFolder folder;
  LaySurvey(folder);
  folder.Write("AllPictures.txt", folder.Read("AllPictures.txt") +
                                      Record("Nowhere", "Red fox", "2019 11 21  6 10  0  5"));
  ProcessOutcome r = RunWithBrokenConsole(folder, Broken::kClosedErrors);
  ASSERT_TRUE(WIFEXITED(r.wait_status));
  EXPECT_EQ(WEXITSTATUS(r.wait_status), 0);
  EXPECT_EQ(folder.Read("OccasionTallies.txt"), kSurveyTallies);
}

// A full disk refuses the header at once: the run ends before any species
// is processed, naming the output file, not a scratch file met later.
TEST(RunDriver, FullDiskEndsTheRunInTheStepThatMetIt) {
  ScratchFolder folder;
  LaySurvey(folder);
  for (const char* name : {"OccasionTallies.txt", "SpeciesPics.txt", "temp.txt"}) {
    std::filesystem::create_symlink("/dev/full", folder.path() / name);
  }
  RunResult r = RunInProcess(folder, "30\n7\n\n");
  EXPECT_EQ(r.status, 127);
  EXPECT_EQ(r.out.find("Processing"), std::string::npos);
  EXPECT_EQ(WithoutPlace(r.err),
            "OccasionTallies: No space left on device\nOccasionTallies: run-time error in "
            "fixed-width write on unit 3: error code returned by host stdio - 28.\n  File "
            "OccasionTallies.txt, formatted sequential, line 1\n  At <place>\n");
}

}  // namespace
}  // namespace ot
