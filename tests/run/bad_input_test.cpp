// The bad-input corpus: every failure on every unit where a run can meet it,
// with its exact diagnostic, exit status and the files left afterwards, and
// messy field data that must end normally.
#include <gtest/gtest.h>

#include <cerrno>
#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "run/run_driver.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::Record;
using testing::RunInProcess;
using testing::RunResult;
using testing::ScratchFolder;
using testing::WithoutPlace;
namespace fs = std::filesystem;

// A 10-day survey (2019-11-20 .. 11-29), one location, Red fox, and three
// pictures on day 2: 06:10 (2), 06:10 (1), 07:20 (1).
const std::string kInput = "Short study\n1\nRidge top\n1\n2019 11 20 2019 11 29\n1\nRed fox\n";
const std::string kA = Record("Ridge top", "Red fox", "2019 11 21  6 10  0  2");
const std::string kB = Record("Ridge top", "Red fox", "2019 11 21  6 10 30  1");
const std::string kC = Record("Ridge top", "Red fox", "2019 11 21  7 20  0  1");
const std::string kPictures = kA + kB + kC;

// File contents that stand for something other than a plain file.
const std::string kDirectory = "<directory>";
const std::string kLinkTo = "<link>";  // followed by the target

struct FileEntry {
  std::string name;
  std::string content;
};

void Lay(const ScratchFolder& folder, const std::vector<FileEntry>& files) {
  for (const auto& [name, content] : files) {
    if (content == kDirectory) {
      fs::create_directory(folder.path() / name);
    } else if (content.starts_with(kLinkTo)) {
      fs::create_symlink(content.substr(kLinkTo.size()), folder.path() / name);
    } else {
      folder.Write(name, content);
    }
  }
}

// Console output that takes `good_lines` lines and then fails with EPIPE.
class BreakingSink : public ByteSink {
 public:
  explicit BreakingSink(int good_lines) : good_lines_(good_lines) {}
  int Write(std::string_view bytes) override {
    if (good_lines_-- <= 0) return EPIPE;
    text_.append(bytes);
    return 0;
  }
  std::string text_;

 private:
  int good_lines_;
};

// Console input whose every read fails with EIO.
class FailingSource : public ByteSource {
 public:
  long Read(char*, std::size_t, int& error) override {
    error = EIO;
    return -1;
  }
};

// A run in-process whose console breaks: output after `good_lines` lines,
// or input at once when `good_lines` is negative.
RunResult RunWithBrokenConsole(const ScratchFolder& folder, const std::string& input,
                               int good_lines) {
  DiskFolder disk(folder.path());
  StringSource text(input);
  FailingSource failing;
  BreakingSink out(good_lines < 0 ? 1000 : good_lines);
  std::ostringstream err;
  ByteSource& in = good_lines < 0 ? static_cast<ByteSource&>(failing) : text;
  RunResult result;
  try {
    RunOccasionTallies({disk, in, out, err});
    result.status = 0;
  } catch (const RunFailure& failure) {
    err << failure.what();
    result.status = 127;
  }
  result.out = out.text_;
  result.err = err.str();
  return result;
}

constexpr int kNoBreak = 1 << 30;
const std::string kRunTime = "OccasionTallies: run-time error ";
const std::string kEof = ": attempt to read past end of file.\n";
const std::string kLexical = ": lexical error-- unknown token type.\n";
const std::string kConversion = ": error on data conversion.\n";
const std::string kNoSuchFile = "OccasionTallies: No such file or directory\n";
const std::string kIsADirectory = "OccasionTallies: Is a directory\n";
const std::string kNoSpace = "OccasionTallies: No space left on device\n";

TEST(BadInput, Corpus) {
  const std::vector<FileEntry> survey = {{"Input.txt", kInput}, {"AllPictures.txt", kPictures}};
  auto with = [&](std::vector<FileEntry> more) {
    std::vector<FileEntry> files = survey;
    files.insert(files.end(), more.begin(), more.end());
    return files;
  };
  auto input = [](std::string text) {
    return std::vector<FileEntry>{{"Input.txt", std::move(text)}, {"AllPictures.txt", kPictures}};
  };
  auto pictures = [](std::string text) {
    return std::vector<FileEntry>{{"Input.txt", kInput}, {"AllPictures.txt", std::move(text)}};
  };
  const std::string in_only = "AllPictures.txt Input.txt";
  const std::string with_out = "AllPictures.txt Input.txt OccasionTallies.txt";
  const std::string usual_row = "  3   0   3";

  // Cases that cannot be produced by a run, and why:
  // - 217, 225, 231 on unit 1 for AllPictures.txt: the log is read as whole
  //   74-character texts, and its end ends the copy normally.
  // - 217 and 225 on unit 1 for SpeciesPics.txt: its end ends the tally
  //   normally and fixed-width reads have no lexical failure.
  // - open failure on unit 1 for SpeciesPics.txt: the same run has just
  //   created it on unit 2, whose open fails first when anything stands in
  //   its way (see the unit 2 case).
  // - 217, 225, 231 on units 2, 3, 6 (only written) and 225, 231 on unit 15
  //   (read back as 3-character texts).
  // - a read failure of a file other than the console (needs a failing disk).
  struct {
    const char* what;
    std::vector<FileEntry> files;
    std::string answers = "30\n7\n\n";
    int status = 127;
    std::string err = "";  // run-time errors without the "  At" line
    std::string listing = "";
    std::string row = "";  // status 0: the Red fox row of OccasionTallies.txt
    std::uint64_t memory_limit = UINT64_MAX;
    int console_lines = kNoBreak;  // console breaks after this many lines
  } cases[] = {
      // Unit 1, Input.txt.
      {.what = "Input.txt empty",
       .files = input(""),
       .err = kRunTime + "217 in free-form read on unit 1" + kEof +
              "  File Input.txt, formatted sequential, line 1\n",
       .listing = in_only},
      {.what = "Input.txt short",
       .files = input("Short study\n"),
       .err = kRunTime + "217 in free-form read on unit 1" + kEof +
              "  File Input.txt, formatted sequential, line 2\n",
       .listing = in_only},
      {.what = "species count 2000000000",
       .files = input("Study\n0\n2000000000\nRed fox\nWild boar\n"),
       .err = kRunTime + "217 in fixed-width read on unit 1" + kEof +
              "  File Input.txt, formatted sequential, line 6\n",
       .listing = in_only},
      {.what = "period count 2000000000",
       .files = input("Study\n1\nRidge top\n2000000000\n2019 11 20 2019 11 29\n"),
       .err = kRunTime + "217 in free-form read on unit 1" + kEof +
              "  File Input.txt, formatted sequential, line 6\n",
       .listing = in_only},
      {.what = "word as period count",
       .files = input("Study\n1\nRidge top\nnone\n"),
       .err = kRunTime + "225 in free-form read on unit 1" + kLexical +
              "  File Input.txt, formatted sequential, line 4\n",
       .listing = in_only},
      {.what = "count beyond 32 bits",
       .files = input("Study\n2147483648\n"),
       .err = kRunTime + "231 in free-form read on unit 1" + kConversion +
              "  File Input.txt, formatted sequential, line 2\n",
       .listing = in_only},
      {.what = "word beginning with d",
       .files = input("Study\n1\nRidge top\ndays\n"),
       .err = kRunTime + "231 in free-form read on unit 1" + kConversion +
              "  File Input.txt, formatted sequential, line 4\n",
       .listing = in_only},
      {.what = "Input.txt missing",
       .files = {{"AllPictures.txt", kPictures}},
       .err = kNoSuchFile + kRunTime +
              "in open on unit 1: error code returned by host stdio - 2.\n" + "  File Input.txt\n",
       .listing = "AllPictures.txt"},
      {.what = "Input.txt a directory",
       .files = input(kDirectory),
       .err = kIsADirectory + kRunTime +
              "in open on unit 1: error code returned by host stdio - 21.\n  File Input.txt\n",
       .listing = in_only},
      // Unit 1, AllPictures.txt: opened in the first species' turn.
      {.what = "AllPictures.txt missing",
       .files = {{"Input.txt", kInput}},
       .err = kNoSuchFile + kRunTime +
              "in open on unit 1: error code returned by host stdio - 2.\n  File AllPictures.txt\n",
       .listing = "Input.txt OccasionTallies.txt"},
      {.what = "AllPictures.txt a directory",
       .files = pictures(kDirectory),
       .err =
           kIsADirectory + kRunTime +
           "in open on unit 1: error code returned by host stdio - 21.\n  File AllPictures.txt\n",
       .listing = with_out},
      // Unit 1, SpeciesPics.txt: a malformed number is copied, then fails.
      {.what = "letter in a year",
       .files = pictures(kA + Record("Ridge top", "Red fox", "20x9 11 21  6 10  0  1")),
       .err = kRunTime + "231 in fixed-width read on unit 1" + kConversion +
              "  File SpeciesPics.txt, formatted sequential, line 2\n",
       .listing = with_out + " SpeciesPics.txt"},
      {.what = "NUL in a count",
       .files = pictures(
           kA + Record("Ridge top", "Red fox", std::string("2019 11 21  6 10  0 \0", 21) + "1")),
       .err = kRunTime + "231 in fixed-width read on unit 1" + kConversion +
              "  File SpeciesPics.txt, formatted sequential, line 2\n",
       .listing = with_out + " SpeciesPics.txt"},
      // Unit 2, SpeciesPics.txt written. Buffered lines reach the disk at the
      // close, where a full disk fails them as the writes they came from.
      {.what = "SpeciesPics.txt a directory",
       .files = with({{"SpeciesPics.txt", kDirectory}}),
       .err =
           kIsADirectory + kRunTime +
           "in open on unit 2: error code returned by host stdio - 21.\n  File SpeciesPics.txt\n",
       .listing = with_out + " SpeciesPics.txt"},
      {.what = "SpeciesPics.txt on a full disk",
       .files = with({{"SpeciesPics.txt", kLinkTo + "/dev/full"}}),
       .err = kNoSpace + kRunTime +
              "in fixed-width write on unit 2: error code returned by host stdio - 28.\n" +
              "  File SpeciesPics.txt, formatted sequential, line 1\n",
       .listing = with_out + " SpeciesPics.txt"},
      // Unit 3, OccasionTallies.txt: created after Input.txt is read.
      {.what = "OccasionTallies.txt a directory",
       .files = with({{"OccasionTallies.txt", kDirectory}}),
       .err = kIsADirectory + kRunTime +
              "in open on unit 3: error code returned by host stdio - 21.\n"
              "  File OccasionTallies.txt\n",
       .listing = with_out},
      {.what = "OccasionTallies.txt on a full disk",
       .files = with({{"OccasionTallies.txt", kLinkTo + "/dev/full"}}),
       .err = kNoSpace + kRunTime +
              "in fixed-width write on unit 3: error code returned by host stdio - 28.\n" +
              "  File OccasionTallies.txt, formatted sequential, line 1\n",
       .listing = with_out},
      // Unit 5, standard input.
      {.what = "no answer",
       .files = survey,
       .answers = "",
       .err = kRunTime + "217 in free-form read on unit 5" + kEof +
              "  File stdin, formatted sequential, line 1\n",
       .listing = in_only},
      {.what = "word as answer",
       .files = survey,
       .answers = "30\nweek\n",
       .err = kRunTime + "225 in free-form read on unit 5" + kLexical +
              "  File stdin, formatted sequential, line 2\n",
       .listing = in_only},
      {.what = "answer beyond 32 bits",
       .files = survey,
       .answers = "2147483648\n7\n\n",
       .err = kRunTime + "231 in free-form read on unit 5" + kConversion +
              "  File stdin, formatted sequential, line 1\n",
       .listing = in_only},
      {.what = "sign without number",
       .files = survey,
       .answers = "30\n-\n",
       .err = kRunTime + "231 in free-form read on unit 5" + kConversion +
              "  File stdin, formatted sequential, line 2\n",
       .listing = in_only},
      {.what = "stdin read error",
       .files = survey,
       .err = "OccasionTallies: Input/output error\n" + kRunTime +
              "in free-form read on unit 5: error code returned by host stdio - 5.\n"
              "  File stdin, formatted sequential, line 1\n",
       .listing = in_only,
       .console_lines = -1},
      // Unit 6, standard output: the banner (a fixed-width line), or the
      // Processing line after the header has been written.
      {.what = "stdout broken at once",
       .files = survey,
       .err = "OccasionTallies: Broken pipe\n" + kRunTime +
              "in fixed-width write on unit 6: error code returned by host stdio - 32.\n"
              "  File stdout, formatted sequential, line 1\n",
       .listing = in_only,
       .console_lines = 0},
      {.what = "stdout broken at Processing",
       .files = survey,
       .err = "OccasionTallies: Broken pipe\n" + kRunTime +
              "in free-form write on unit 6: error code returned by host stdio - 32.\n"
              "  File stdout, formatted sequential, line 4\n",
       .listing = with_out,
       .console_lines = 3},
      // Unit 15, temp.txt: the species' rows pass through it.
      {.what = "temp.txt a directory",
       .files = with({{"temp.txt", kDirectory}}),
       .err = kIsADirectory + kRunTime +
              "in open on unit 15: error code returned by host stdio - 21.\n  File temp.txt\n",
       .listing = with_out + " temp.txt"},
      {.what = "temp.txt on a full disk",
       .files = with({{"temp.txt", kLinkTo + "/dev/full"}}),
       .err = kNoSpace + kRunTime +
              "in fixed-width write on unit 15: error code returned by host stdio - 28.\n" +
              "  File temp.txt, formatted sequential, line 1\n",
       .listing = with_out + " temp.txt"},
      {.what = "temp.txt swallowing its rows",  // reads back empty
       .files = with({{"temp.txt", kLinkTo + "/dev/null"}}),
       .err = kRunTime + "217 in fixed-width read on unit 15" + kEof +
              "  File temp.txt, formatted sequential, line 1\n",
       .listing = with_out + " temp.txt"},
      // Memory: the day matrix is 1 x 10 x 4 = 40 bytes.
      {.what = "day matrix too large",
       .files = survey,
       .err = "OccasionTallies: 40 bytes requested, not enough memory.\n",
       .listing = in_only,
       .memory_limit = 39},
      // No operating period: num_days = -2999 and the day matrix is empty, but
      // occasion_days -1 gives (-2999 - 1 - 1) / -1 = 3001 occasions, 12004 bytes.
      {.what = "occasion matrix too large",
       .files = input("Idle\n1\nRidge top\n0\n1\nRed fox\n"),
       .answers = "30\n-1\n\n",
       .err = "OccasionTallies: 12004 bytes requested, not enough memory.\n",
       .listing = with_out,
       .memory_limit = 12003},
      // Years past 9999 are refused before any memory is asked for.
      {.what = "year 2000000000",
       .files = input("Long\n1\nRidge top\n1\n2019 1 1 2000000000 1 1\n1\nRed fox\n"),
       .err = "OccasionTallies: Input.txt: end year 2000000000 of period 1 of location 1 (Ridge "
              "top) is outside 1..9999\n",
       .listing = in_only},
      {.what = "year 2000000000 in every date",
       .files = input("Far\n1\nRidge top\n1\n2000000000 11 20 2000000000 11 29\n1\nRed fox\n"),
       .err = "OccasionTallies: Input.txt: begin year 2000000000 of period 1 of location 1 (Ridge "
              "top) is outside 1..9999\n",
       .listing = in_only},
      // reference_year 2019, day 1 = 2019-01-01; 9999-01-01 is day 365 x 7980 +
      // 1995 leap days + 1 = 2914696 = num_days, so the day matrix needs
      // 4 x 2914696 bytes.
      {.what = "year 9999",
       .files = input("Long\n1\nRidge top\n1\n2019 1 1 9999 1 1\n1\nRed fox\n"),
       .err = "OccasionTallies: 11658784 bytes requested, not enough memory.\n",
       .listing = in_only,
       .memory_limit = std::uint64_t{1} << 20},
      // Messy data that ends normally.
      {.what = "NUL bytes in a location",
       .files =
           pictures(kA + Record(std::string("Ridge\0top", 9), "Red fox", "2019 11 21  6 10  0  5") +
                    kB + kC),
       .status = 0,
       .err = "OccasionTallies: warning: Red fox: 1 picture skipped (1 at locations not listed in "
              "Input.txt, 0 with a month outside 1..12)\n",
       .listing = with_out,
       .row = usual_row},
      {.what = "log line of 1 MB",
       .files = pictures(kA.substr(0, 74) + std::string(1 << 20, 'x') + "\n" + kB + kC),
       .status = 0,
       .listing = with_out,
       .row = usual_row},
      {.what = "independence period 2147483647",  // one event of 2
       .files = survey,
       .answers = "2147483647\n7\n\n",
       .status = 0,
       .listing = with_out,
       .row = "  2   0   2"},
      {.what = "independence period -2147483648",  // three events
       .files = survey,
       .answers = "-2147483648\n7\n\n",
       .status = 0,
       .listing = with_out,
       .row = "  4   0   4"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    Lay(folder, c.files);
    RunResult r = c.console_lines == kNoBreak
                      ? RunInProcess(folder, c.answers, c.memory_limit)
                      : RunWithBrokenConsole(folder, c.answers, c.console_lines);
    EXPECT_EQ(r.status, c.status);
    std::string err = c.err;
    if (err.find(kRunTime) != std::string::npos) err += "  At <place>\n";
    EXPECT_EQ(WithoutPlace(r.err), err);
    EXPECT_EQ(folder.Listing(), c.listing);
    if (c.status == 0) {
      EXPECT_NE(folder.Read("OccasionTallies.txt")
                    .find("Red fox                  \r\n" + c.row + "\r\n\r\n"),
                std::string::npos);
    }
  }
}

}  // namespace
}  // namespace ot
