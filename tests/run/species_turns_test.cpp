// The species' turns of whole runs: species tallied together in one scan of
// the picture log, in batches, or each on its own (scan memory 0, the
// reference), must give the same bytes, console, warnings, diagnostics,
// files and observer calls.
#include "run/species_turns.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "run/run_driver.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::Record;
using testing::ScratchFolder;
using testing::WithoutPlace;
namespace fs = std::filesystem;

constexpr std::uint64_t kReference = 0;  // every species on its own
constexpr std::uint64_t kOnePerScan = 1;

// Everything a run tells its observer, each species' pictures apart.
class Recorder : public RunObserver {
 public:
  void SurveyReady(const SurveyDescription& survey, const SurveyCalendar&,
                   const RunAnswers& answers, std::int64_t num_occasions) override {
    steps += "ready ";
    shape = {static_cast<std::int64_t>(survey.locations.size()), num_occasions,
             answers.occasion_days};
  }
  void PictureTallied(std::size_t species, const TalliedPicture& p) override {
    if (done_.count(species) != 0) steps += "picture after done ";
    std::ostringstream text;
    text << "(" << p.location << "," << p.day << "," << p.added << (p.new_event ? "" : " same")
         << (p.operating_day ? "" : " idle") << ")";
    pictures[species] += text.str();
  }
  void SpeciesDone(std::size_t species, const SkippedPictures& skipped) override {
    done_[species] = true;
    steps += "done " + std::to_string(species) + ":" + std::to_string(skipped.total()) + " ";
  }
  void Warning(std::string_view line) override { warnings += line; }
  void RunComplete() override { steps += "complete"; }
  std::string Pictures(std::size_t species) const {
    const auto it = pictures.find(species);
    return it == pictures.end() ? "" : it->second;
  }

  std::map<std::size_t, std::string> pictures;
  std::string steps;
  std::string warnings;
  OccasionShape shape;

 private:
  std::map<std::size_t, bool> done_;
};

struct Outcome {
  int status = -1;
  std::string console;
  std::string errors;  // warnings, then the diagnostic without its place
  std::string listing;
  std::string output;        // OccasionTallies.txt
  std::string species_pics;  // SpeciesPics.txt when left
  Recorder recorder;
};

std::string ReadWhole(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

struct FileEntry {
  std::string name;
  std::string content;  // "<directory>" or "<link>TARGET" for those
};

// One run in a fresh folder holding `files`.
Outcome RunWith(const std::vector<FileEntry>& files, std::uint64_t scan_memory,
                const std::string& answers = "30\n7\n\n", std::uint64_t memory_limit = UINT64_MAX) {
  ScratchFolder folder;
  for (const auto& [name, content] : files) {
    if (content == "<directory>") {
      fs::create_directory(folder.path() / name);
    } else if (content.starts_with("<link>")) {
      fs::create_symlink(content.substr(6), folder.path() / name);
    } else {
      folder.Write(name, content);
    }
  }
  DiskFolder disk(folder.path());
  StringSource in(answers);
  StringSink out;
  std::ostringstream err;
  Outcome outcome;
  RunEnvironment env{disk, in, out, err, memory_limit};
  env.observer = &outcome.recorder;
  env.scan_memory = scan_memory;
  try {
    RunOccasionTallies(env);
    outcome.status = 0;
  } catch (const RunFailure& failure) {
    err << WithoutPlace(failure.diagnostic());
    outcome.status = failure.exit_status();
  }
  outcome.console = out.text();
  outcome.errors = err.str();
  outcome.listing = folder.Listing();
  if (folder.Exists("OccasionTallies.txt") &&
      fs::is_regular_file(folder.path() / "OccasionTallies.txt")) {
    outcome.output = folder.Read("OccasionTallies.txt");
  }
  if (fs::is_regular_file(folder.path() / "SpeciesPics.txt")) {
    outcome.species_pics = folder.Read("SpeciesPics.txt");
  }
  return outcome;
}

// The scan memory that holds `species` species of a survey of `shape`.
std::uint64_t MemoryFor(std::size_t species, const OccasionShape& shape) {
  return species * SpeciesBatch::BytesPerSpecies(shape);
}

// A record as SpeciesPics.txt holds it.
std::string AsCopied(const std::string& record) {
  return record.substr(0, record.size() - 1) + "\r\n";
}

void ExpectSameRun(const Outcome& got, const Outcome& want) {
  EXPECT_EQ(got.status, want.status);
  EXPECT_EQ(got.console, want.console);
  EXPECT_EQ(got.errors, want.errors);
  EXPECT_EQ(got.listing, want.listing);
  EXPECT_EQ(got.output, want.output);
  EXPECT_EQ(got.recorder.steps, want.recorder.steps);
  EXPECT_EQ(got.recorder.warnings, want.recorder.warnings);
  EXPECT_EQ(got.recorder.pictures, want.recorder.pictures);
}

// A 10-day survey (2019-11-20 .. 29) at one location, operating throughout:
// 7-day occasions give two, survey days 0-6 and 7-9.
std::string OneLocationInput(const std::vector<std::string>& species) {
  std::string input = "Short study\n1\nRidge top\n1\n2019 11 20 2019 11 29\n" +
                      std::to_string(species.size()) + "\n";
  for (const std::string& name : species) input += name + "\n";
  return input;
}

// Red fox (1) and Red fox cub (2) on survey day 1, Red deer (4) and Roe deer
// (8) on day 2, Red fox (16) on day 3, red fox (32) on day 4: each picture
// an event of its own.
const std::string kPrefixPictures = Record("Ridge top", "Red fox", "2019 11 21  6  0  0  1") +
                                    Record("Ridge top", "Red fox cub", "2019 11 21  9  0  0  2") +
                                    Record("Ridge top", "Red deer", "2019 11 22  6  0  0  4") +
                                    Record("Ridge top", "Roe deer", "2019 11 22  9  0  0  8") +
                                    Record("Ridge top", "Red fox", "2019 11 23  6  0  0 16") +
                                    Record("Ridge top", "red fox", "2019 11 24  6  0  0 32");

TEST(SpeciesTurns, SpeciesSharingOneScanSelectByTheBeginningOfTheField) {
  // The blank line is a species with an all-blank name: it selects every
  // record. Red fox is listed twice; case and leading blanks count.
  const std::vector<std::string> species = {"Red fox", "Red fox cub", "Red",     "",
                                            "Red fox", "Roe deer",    " Red fox"};
  struct {
    const char* name;
    const char* row;  // the location's row: occasion 1, occasion 2, total
    const char* pictures;
  } expected[] = {
      {"Red fox", " 19   0  19", "(0,1,1)(0,1,2)(0,3,16)"},
      {"Red fox cub", "  2   0   2", "(0,1,2)"},
      {"Red", " 23   0  23", "(0,1,1)(0,1,2)(0,2,4)(0,3,16)"},
      {"", " 63   0  63", "(0,1,1)(0,1,2)(0,2,4)(0,2,8)(0,3,16)(0,4,32)"},
      {"Red fox", " 19   0  19", "(0,1,1)(0,1,2)(0,3,16)"},
      {"Roe deer", "  8   0   8", "(0,2,8)"},
      {" Red fox", "  0   0   0", ""},
  };
  const std::vector<FileEntry> files = {{"Input.txt", OneLocationInput(species)},
                                        {"AllPictures.txt", kPrefixPictures}};
  std::string blocks;
  for (const auto& e : expected) {
    std::string name = e.name;
    name.resize(kNameLength, ' ');
    blocks += name + "\r\n" + e.row + "\r\n\r\n";
  }
  const std::uint64_t two = MemoryFor(2, {1, 2, 7});
  for (std::uint64_t scan_memory : {kReference, kOnePerScan, two, two + 1, kDefaultScanMemory}) {
    SCOPED_TRACE(scan_memory);
    const Outcome run = RunWith(files, scan_memory);
    ASSERT_EQ(run.status, 0) << run.errors;
    EXPECT_NE(run.output.find(blocks), std::string::npos) << run.output;
    for (std::size_t s = 0; s < std::size(expected); ++s) {
      EXPECT_EQ(run.recorder.Pictures(s), expected[s].pictures) << "species " << s;
    }
    EXPECT_EQ(run.listing, "AllPictures.txt Input.txt OccasionTallies.txt");
  }
}

// Surveys run in every way must agree with the reference in everything.
TEST(SpeciesTurns, BatchesOfAnySizeGiveTheSameRun) {
  const fs::path example = fs::path(OT_SOURCE_DIR) / "examples/survey";
  ScratchFolder generated;
  const std::string command = std::string("'") + OT_SURVEY_GENERATOR +
                              "' --locations 12 --species 9 --pictures 20000 --seed 11 --out '" +
                              generated.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  // A record out of the fixed columns, an unlisted location, a month 13, an
  // impossible hour, a negative count, pictures out of order, a heading and
  // a line of tabs, among species that select each other's records.
  const std::string messy =
      Record("Ridge top", "Red fox", "2019 11 21  6  0  0  1") +
      Record("Ridge top", "Red fox", "2019x11 21  7  0  0  1") +
      Record("Nowhere", "Red fox cub", "2019 11 21  6  0  0  2") +
      Record("Ridge top", "Red fox cub", "2019 13 21  6  0  0  2") +
      Record("Ridge top", "Red", "2019 11 22 24  0  0  3") +
      Record("Ridge top", "Red", "2019 11 22 24 10  0 -3") +
      Record("Ridge top", "Red fox", "2019 11 20  6  0  0  4") +
      Record("Ridge top", "Red fox", "2019 11 30  6  0  0  4") + "\tRidge top\tRed fox\t2019\n" +
      Record("Ridge top", "Red fox", "2019,11,21  6 10  0  9") + "heading line\n";
  struct {
    const char* what;
    std::vector<FileEntry> files;
    std::string answers = "30\n7\n\n";
  } cases[] = {
      {"example survey",
       {{"Input.txt", ReadWhole(example / "Input.txt")},
        {"AllPictures.txt", ReadWhole(example / "AllPictures.txt")}}},
      {"generated survey, 1-day occasions",
       {{"Input.txt", generated.Read("Input.txt")},
        {"AllPictures.txt", generated.Read("AllPictures.txt")}},
       "15\n1\n\n"},
      {"messy log",
       {{"Input.txt", OneLocationInput({"Red fox", "Red", "Red fox cub", "", "Roe deer"})},
        {"AllPictures.txt", messy}}},
      {"negative occasion length",
       {{"Input.txt", OneLocationInput({"Red fox", "Red", ""})}, {"AllPictures.txt", messy}},
       "30\n-3\n\n"},
      {"no locations",
       {{"Input.txt", "Nowhere\n0\n2\nRed fox\nRed\n"}, {"AllPictures.txt", messy}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome reference = RunWith(c.files, kReference, c.answers);
    ASSERT_EQ(reference.status, 0) << reference.errors;
    const std::uint64_t two = MemoryFor(2, reference.recorder.shape);
    for (std::uint64_t scan_memory : {kOnePerScan, two, 2 * two, kDefaultScanMemory}) {
      SCOPED_TRACE(scan_memory);
      ExpectSameRun(RunWith(c.files, scan_memory, c.answers), reference);
    }
  }
}

// Five species; the third, Red fox, selects an unreadable record as its
// second. Badger has a picture after it in the file.
TEST(SpeciesTurns, UnreadableRecordEndsTheRunAtItsSpeciesTurn) {
  const std::string fox1 = Record("Ridge top", "Red fox", "2019 11 21  6  0  0  1");
  const std::string bad = Record("Ridge top", "Red fox", "2019 11 2x  7  0  0  1");
  const std::string fox3 = Record("Ridge top", "Red fox", "2019 11 24  6  0  0  2");
  const std::string pictures = Record("Ridge top", "Badger", "2019 11 21  1  0  0  1") + fox1 +
                               Record("Ridge top", "Boar", "2019 11 22  1  0  0  3") + bad +
                               Record("Ridge top", "Badger", "2019 11 25  1  0  0  5") + fox3 +
                               Record("Ridge top", "Red deer", "2019 11 25  1  0  0  7");
  const std::vector<FileEntry> files = {
      {"Input.txt", OneLocationInput({"Badger", "Boar", "Red fox", "Red", "Deer"})},
      {"AllPictures.txt", pictures}};
  const std::string console =
      "Program OccasionTallies, Version 1.2, February 10, 2022\n"
      " ENTER INDEPENDENCE PERIOD IN MINUTES, THEN ENTER\n"
      " ENTER NUMBER OF DAYS FOR CAMERA TRAP OCCASION, THEN ENTER\n"
      " Processing Badger                   \n"
      " Processing Boar                     \n"
      " Processing Red fox                  \n";
  const std::string blocks =
      "Badger                   \r\n  6   0   6\r\n\r\nBoar                     \r\n  3   0   "
      "3\r\n\r\n";
  const std::uint64_t one = MemoryFor(1, {1, 2, 7});
  for (std::uint64_t scan_memory :
       {kReference, kOnePerScan, 2 * one, 3 * one, kDefaultScanMemory}) {
    SCOPED_TRACE(scan_memory);
    const Outcome run = RunWith(files, scan_memory);
    EXPECT_EQ(run.status, 127);
    EXPECT_EQ(run.console, console);
    EXPECT_EQ(run.errors,
              "OccasionTallies: run-time error 231 in fixed-width read on unit 1: error on data "
              "conversion.\n  File SpeciesPics.txt, formatted sequential, line 2\n  At <place>\n");
    EXPECT_TRUE(run.output.ends_with(blocks)) << run.output;
    EXPECT_EQ(run.species_pics, AsCopied(fox1) + AsCopied(bad) + AsCopied(fox3));
    EXPECT_EQ(run.listing, "AllPictures.txt Input.txt OccasionTallies.txt SpeciesPics.txt");
    EXPECT_EQ(run.recorder.steps, "ready done 0:0 done 1:0 ");
    EXPECT_EQ(run.recorder.Pictures(0), "(0,1,1)(0,5,5)");
    EXPECT_EQ(run.recorder.Pictures(2), "(0,1,1)");
  }
}

// Failures of the files a turn uses, with several species: each ends the
// run at the same turn whatever the batches. (A full disk for SpeciesPics.txt
// is among the bad-input cases; a turn that writes nothing there removes
// anything standing in for the file.)
TEST(SpeciesTurns, FileFailuresAtATurnAreThoseOfTheReference) {
  const std::string input = OneLocationInput({"Wolf", "Red fox", "Red"});
  const std::string pictures = kPrefixPictures;
  struct {
    const char* what;
    std::vector<FileEntry> files;
    std::string error;
    std::string listing;
  } cases[] = {
      {"SpeciesPics.txt a directory",
       {{"Input.txt", input}, {"AllPictures.txt", pictures}, {"SpeciesPics.txt", "<directory>"}},
       "OccasionTallies: Is a directory\nOccasionTallies: run-time error in open on unit 2: error "
       "code returned by host stdio - 21.\n  File SpeciesPics.txt\n  At <place>\n",
       "AllPictures.txt Input.txt OccasionTallies.txt SpeciesPics.txt"},
      {"AllPictures.txt missing",
       {{"Input.txt", input}},
       "OccasionTallies: No such file or directory\nOccasionTallies: run-time error in open on "
       "unit 1: error code returned by host stdio - 2.\n  File AllPictures.txt\n  At <place>\n",
       "Input.txt OccasionTallies.txt"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome reference = RunWith(c.files, kReference);
    EXPECT_EQ(reference.status, 127);
    EXPECT_EQ(reference.errors, c.error);
    EXPECT_EQ(reference.listing, c.listing);
    for (std::uint64_t scan_memory : {kOnePerScan, kDefaultScanMemory}) {
      SCOPED_TRACE(scan_memory);
      ExpectSameRun(RunWith(c.files, scan_memory), reference);
    }
  }
}

}  // namespace
}  // namespace ot
