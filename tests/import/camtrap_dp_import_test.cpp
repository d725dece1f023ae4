// Importing the Camtrap DP package in data/camtrap-dp-small, running the
// program on the result, and every bad package with its message.
//
// The package: loc-1 "Bärenbach, Moorweg am Südost 1" (30 characters, byte
// 25 inside the "ü") with dep-1a 2023-03-20..25 at +01:00 and dep-1b
// 2023-03-27..04-02 at +02:00; loc-2 "... Südost 2" with dep-2
// 2023-03-20..04-02 at +01:00. Observations are in UTC (Z), at event level
// with media-level copies of some events, and include a blank, a human, a
// camera setup, an animal without a name, an unknown deployment, a missing
// count and a count of 150.
#include <gtest/gtest.h>
#include <zlib.h>

#include <fstream>
#include <functional>

#include "base/exit_status.h"
#include "import/import_test_support.h"

namespace ot {
namespace {

namespace fs = std::filesystem;
using testing::CommandResult;
using testing::CopySmallPackage;
using testing::RunCommand;
using testing::ScratchFolder;

const std::string kInput =
    "Bärenbach moor survey, spring 2023\n"
    "2\n"
    "Bärenbach, Moorweg am S\n"  // cut before the "ü" that spans bytes 25-26
    "2\n"
    "2023 3 20 2023 3 25\n"  // dep-1a, listed after dep-1b, comes first
    "2023 3 27 2023 4 2\n"
    "Bärenbach, Moorweg am ~2\n"  // equal to the first after the cut
    "1\n"
    "2023 3 20 2023 4 2\n"
    "5\n"
    "Vulpes vulpes\n"  // the taxonomic list's order ...
    "Ardea\n"
    "Ardea cinerea\n"
    "Capreolus capreolus\n"  // ... then the order of first appearance
    "Sturnus vulgaris\n";

// Each UTC time moved to its deployment's offset: obs-02 23:40Z at +01:00
// and obs-09 22:15Z at +02:00 cross midnight; obs-05 23:30Z lands on 26
// March, after dep-1a's end; obs-07 and obs-08 share a time and keep the
// order of their observationIDs.
const std::string kPictures =
    "Bärenbach, Moorweg am S  Capreolus capreolus       2023  3 20 19  5  0  2\n"
    "Bärenbach, Moorweg am S  Vulpes vulpes             2023  3 22  0 40  0  1\n"
    "Bärenbach, Moorweg am S  Vulpes vulpes             2023  3 22  1  0  0  1\n"  // no count
    "Bärenbach, Moorweg am S  Capreolus capreolus       2023  3 26  0 30  0  1\n"
    "Bärenbach, Moorweg am S  Ardea cinerea             2023  3 28  8  0  0  1\n"
    "Bärenbach, Moorweg am S  Ardea                     2023  3 28  8  0  0  1\n"
    "Bärenbach, Moorweg am S  Vulpes vulpes             2023  3 30  0 15  0  3\n"
    "Bärenbach, Moorweg am ~2 Vulpes vulpes             2023  3 24  0 10  0  2\n"
    "Bärenbach, Moorweg am ~2 Sturnus vulgaris          2023  3 25 13  0  0 99\n"  // 150
    "Bärenbach, Moorweg am ~2 Ardea cinerea             2023  3 31  6  0  0  2\n"
    "Bärenbach, Moorweg am ~2 Ardea cinerea             2023  3 31  6 20  0  3\n";

const std::string kSummary =
    "Imported Camtrap DP package <dir>/package\n"
    "  observation level: event (the package has event-level observations)\n"
    "  deployments: 3\n"
    "  locations: 2, with 3 operating periods from 2023-03-20 to 2023-04-02\n"
    "  species: 5\n"
    "    Vulpes vulpes              4 pictures\n"
    "    Ardea                      1 picture\n"
    "    Ardea cinerea              3 pictures\n"
    "    Capreolus capreolus        2 pictures\n"
    "    Sturnus vulgaris           1 picture\n"
    "  pictures written: 11\n"
    "  left out: 10\n"
    "    5 at media level (event level imported)\n"
    "    1 naming a deployment not in deployments.csv\n"
    "    1 with a cameraSetupType (camera setup or calibration)\n"
    "    1 of type blank\n"
    "    1 of type human\n"
    "    1 of type animal without a scientificName\n"
    "  counts missing, written as 1: 1\n"
    "  counts above 99, written as 99: 1\n"
    "  names changed to fit 25 bytes: 2\n"
    "    location \"Bärenbach, Moorweg am Südost 1\" is written \"Bärenbach, Moorweg am S\"\n"
    "    location \"Bärenbach, Moorweg am Südost 2\" is written \"Bärenbach, Moorweg am ~2\"\n"
    "  species sharing pictures: 1\n"
    "    warning: \"Ardea cinerea\" begins with \"Ardea\", so the pictures of \"Ardea cinerea\" "
    "are counted under \"Ardea\" too\n"
    "  pictures outside their deployment's operating dates: 1\n"
    "Wrote <dir>/survey/Input.txt and AllPictures.txt (LF line ends).\n"
    "Next: run occasion-tallies in <dir>/survey (or occasion-tallies run -C <dir>/survey -p "
    "MINUTES -d DAYS).\n";

// Worked out by hand for a 30-minute period and 2-day occasions. The survey
// runs 2023-03-20 (day 1) to 04-02 (day 14): 7 occasions of days 1-2, 3-4,
// ..., 13-14. loc-1 does not operate on day 7 (26 March), so its occasion 4
// (days 7-8) counts -1 plus what is seen. Vulpes vulpes: loc-1 day 3 gets 1
// (00:40 and 01:00 are one event of 1), day 11 gets 3; loc-2 day 5 gets 2.
// Ardea takes the Ardea cinerea pictures too: loc-1 day 9 gets 1 (the two
// pictures at 08:00 are one event), loc-2 day 12 gets 2 then 1 more (06:20
// is one event with 06:00, and its 3 exceeds 2); Ardea cinerea alone gives
// the same. Capreolus capreolus: loc-1 day 1 gets 2, and its day-7 picture
// turns the idle day's -1 into 0, so occasion 4 shows 0. Sturnus vulgaris:
// loc-2 day 6 gets 99.
const std::string kTallies =
    "OCCASION TALLIES\r\n"
    "  Number of days in camera trap occasion =     2\r\n"
    "  Number of camera trap occasions =     7\r\n"
    "  All locations listed in Input.txt\r\n"
    "  Limit abundance in camera trap occasion to 999\r\n"
    "  Copy and paste each species matrix into program Tevak (2004)\r\n"
    "\r\n"
    "Vulpes vulpes            \r\n"
    "  0   1   0  -    0   3   0   4\r\n"
    "  0   0   2   0   0   0   0   2\r\n"
    "\r\n"
    "Ardea                    \r\n"
    "  0   0   0  -    1   0   0   1\r\n"
    "  0   0   0   0   0   3   0   3\r\n"
    "\r\n"
    "Ardea cinerea            \r\n"
    "  0   0   0  -    1   0   0   1\r\n"
    "  0   0   0   0   0   3   0   3\r\n"
    "\r\n"
    "Capreolus capreolus      \r\n"
    "  2   0   0   0   0   0   0   2\r\n"
    "  0   0   0   0   0   0   0   0\r\n"
    "\r\n"
    "Sturnus vulgaris         \r\n"
    "  0   0   0  -    0   0   0   0\r\n"
    "  0   0  99   0   0   0   0  99\r\n"
    "\r\n"
    "OccasionTallies.txt created ... TERMINATING NORMALLY\r\n";

std::string ReadFile(const fs::path& path) {
  std::ifstream file(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

void WriteFile(const fs::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

void Replace(const fs::path& path, const std::string& from, const std::string& to) {
  std::string text = ReadFile(path);
  const std::size_t at = text.find(from);
  ASSERT_NE(at, std::string::npos) << from;
  WriteFile(path, text.replace(at, from.size(), to));
}

CommandResult Import(const ScratchFolder& folder, std::vector<std::string> more = {}) {
  std::vector<std::string> args = {"import", "camtrap-dp", (folder.path() / "package").string(),
                                   "--into", (folder.path() / "survey").string()};
  args.insert(args.end(), more.begin(), more.end());
  return RunCommand(args, folder);
}

TEST(CamtrapDpImport, ImportsThePackageAndTheRunCountsItAsWorkedOutByHand) {
  ScratchFolder folder;
  CopySmallPackage(folder);
  const CommandResult imported = Import(folder);
  EXPECT_EQ(imported.status, kExitOk);
  EXPECT_EQ(imported.err, "");
  EXPECT_EQ(imported.out, kSummary);
  const fs::path survey = folder.path() / "survey";
  EXPECT_EQ(ReadFile(survey / "Input.txt"), kInput);
  EXPECT_EQ(ReadFile(survey / "AllPictures.txt"), kPictures);

  const CommandResult run =
      RunCommand({"run", "-C", survey.string(), "-p", "30", "-d", "2"}, folder);
  EXPECT_EQ(run.status, kExitOk);
  EXPECT_EQ(run.err,
            "OccasionTallies: warning: Capreolus capreolus: 1 picture on a day its camera was not "
            "operating\n");
  EXPECT_EQ(ReadFile(survey / "OccasionTallies.txt"), kTallies);
}

TEST(CamtrapDpImport, MediaLevelTakesTheMediaObservationsInstead) {
  ScratchFolder folder;
  CopySmallPackage(folder);
  const CommandResult imported = Import(folder, {"--level", "media"});
  EXPECT_EQ(imported.status, kExitOk);
  EXPECT_NE(imported.out.find("  observation level: media (as --level asks)\n"
                              "  deployments: 3\n"),
            std::string::npos);
  EXPECT_NE(imported.out.find("  left out: 16\n    16 at event level (media level imported)\n"),
            std::string::npos);
  // obs-18 and obs-19 are two pictures of the event that obs-02 stands for.
  EXPECT_EQ(ReadFile(folder.path() / "survey/AllPictures.txt"),
            "Bärenbach, Moorweg am S  Capreolus capreolus       2023  3 20 19  5  0  2\n"
            "Bärenbach, Moorweg am S  Vulpes vulpes             2023  3 22  0 40  0  1\n"
            "Bärenbach, Moorweg am S  Vulpes vulpes             2023  3 22  0 40  5  1\n"
            "Bärenbach, Moorweg am ~2 Vulpes vulpes             2023  3 24  0 10  0  2\n"
            "Bärenbach, Moorweg am ~2 Sturnus vulgaris          2023  3 25 13  0  0 99\n");
}

TEST(CamtrapDpImport, ReadsAResourceInSeveralFilesGzippedOrNot) {
  ScratchFolder folder;
  const fs::path package = CopySmallPackage(folder);
  const std::string observations = ReadFile(package / "observations.csv");
  const std::size_t split = observations.find("obs-09");
  const std::string header = observations.substr(0, observations.find('\n') + 1);
  WriteFile(package / "observations-1.csv", observations.substr(0, split));
  const std::string second = header + observations.substr(split);
  gzFile gz = gzopen((package / "observations-2.csv.gz").c_str(), "wb");
  gzwrite(gz, second.data(), static_cast<unsigned>(second.size()));
  gzclose(gz);
  fs::remove(package / "observations.csv");
  Replace(package / "datapackage.json", "\"path\": \"observations.csv\"",
          "\"path\": [\"observations-1.csv\", \"observations-2.csv.gz\"]");
  // A byte-order mark and CRLF line ends, as spreadsheets write them.
  std::string deployments = "\xEF\xBB\xBF";
  for (const char c : ReadFile(package / "deployments.csv")) {
    if (c == '\n') deployments += '\r';
    deployments += c;
  }
  WriteFile(package / "deployments.csv", deployments);

  EXPECT_EQ(Import(folder).status, kExitOk);
  EXPECT_EQ(ReadFile(folder.path() / "survey/Input.txt"), kInput);
  EXPECT_EQ(ReadFile(folder.path() / "survey/AllPictures.txt"), kPictures);
}

TEST(CamtrapDpImport, BadPackagesFailWithOneLineAndWriteNothing) {
  using Change = std::function<void(const fs::path&)>;
  const auto replace = [](std::string file, std::string from, std::string to) -> Change {
    return [=](const fs::path& package) { Replace(package / file, from, to); };
  };
  const struct {
    const char* what;
    Change change;
    std::string message;
  } cases[] = {
      {"no descriptor", [](const fs::path& p) { fs::remove(p / "datapackage.json"); },
       "<dir>/package/datapackage.json: not found (a Camtrap DP package has its datapackage.json "
       "in its folder)"},
      {"descriptor no JSON", replace("datapackage.json", "\"resources\": [", "\"resources\" ["),
       "<dir>/package/datapackage.json: expected JSON: parse error at line 27, column 15: syntax "
       "error while parsing object separator - unexpected '['; expected ':'"},
      {"no observations resource", replace("datapackage.json", "\"observations\"", "\"obs\""),
       "<dir>/package/datapackage.json: expected a resource named \"observations\", found none"},
      {"a resource outside the package",
       replace("datapackage.json", "\"deployments.csv\"", "\"../deployments.csv\""),
       "<dir>/package/datapackage.json: resource \"deployments\": expected a path inside the "
       "package folder, found \"../deployments.csv\""},
      {"a missing file", [](const fs::path& p) { fs::remove(p / "observations.csv"); },
       "<dir>/package/observations.csv: cannot open: No such file or directory"},
      {"a missing column", replace("observations.csv", ",eventStart,", ",start,"),
       "<dir>/package/observations.csv: line 1: expected a column named eventStart in the header "
       "line, found none"},
      {"an hour 25", replace("observations.csv", "2023-03-21T23:40:00Z", "2023-03-21T25:40:00Z"),
       "<dir>/package/observations.csv: line 3, column eventStart: expected a date and time such "
       "as 2023-03-20T18:05:00Z, found \"2023-03-21T25:40:00Z\""},
      {"a count in words", replace("observations.csv", "Vulpes vulpes,3,", "Vulpes vulpes,three,"),
       "<dir>/package/observations.csv: line 10, column count: expected a whole number of "
       "individuals, found \"three\""},
      {"an unknown level", replace("observations.csv", "event,human,setup", "Event,human,setup"),
       "<dir>/package/observations.csv: line 7, column observationLevel: expected event or media, "
       "found \"Event\""},
      {"a deployment ending before it begins",
       replace("deployments.csv", "2023-04-02T12:00:00+02:00", "2023-03-26T12:00:00+02:00"),
       "<dir>/package/deployments.csv: line 2, column deploymentEnd: expected a date no earlier "
       "than deploymentStart's, found \"2023-03-26T12:00:00+02:00\""},
      {"a deployment twice", replace("deployments.csv", "dep-1a,", "dep-1b,"),
       "<dir>/package/deployments.csv: line 4, column deploymentID: expected a deploymentID not "
       "used before, found \"dep-1b\""},
      {"an unclosed quote",
       replace("deployments.csv", "\"Bärenbach, Moorweg am Südost 2\"",
               "\"Bärenbach, Moorweg am Südost 2"),
       // The quote opened ends at the next quote, and text follows it.
       "<dir>/package/deployments.csv: line 3: expected a delimiter or the line end after a "
       "closing double quote, and no double quote inside a field that does not begin with one"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    c.change(CopySmallPackage(folder));
    const CommandResult result = Import(folder);
    EXPECT_EQ(result.status, kExitToolFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "OccasionTallies: " + c.message + "\n");
    EXPECT_FALSE(fs::exists(folder.path() / "survey"));
  }
}

TEST(CamtrapDpImport, NeverReplacesSurveyFilesUnlessForced) {
  ScratchFolder folder;
  CopySmallPackage(folder);
  const fs::path survey = folder.path() / "survey";
  fs::create_directories(survey);
  WriteFile(survey / "Input.txt", "mine\n");
  CommandResult result = Import(folder);
  EXPECT_EQ(result.status, kExitToolFailed);
  EXPECT_EQ(result.err,
            "OccasionTallies: <dir>/survey/Input.txt already exists; add --force to replace it\n");
  WriteFile(survey / "AllPictures.txt", "mine too\n");
  EXPECT_EQ(
      Import(folder).err,
      "OccasionTallies: <dir>/survey/Input.txt and AllPictures.txt already exist; add --force "
      "to replace them\n");
  EXPECT_EQ(ReadFile(survey / "Input.txt"), "mine\n");

  EXPECT_EQ(Import(folder, {"--force"}).status, kExitOk);
  EXPECT_EQ(ReadFile(survey / "Input.txt"), kInput);
  EXPECT_EQ(ReadFile(survey / "AllPictures.txt"), kPictures);

  // A file that cannot be replaced stops the import; no temporary file stays.
  fs::remove(survey / "Input.txt");
  fs::create_directories(survey / "Input.txt" / "keep");
  result = Import(folder, {"--force"});
  EXPECT_EQ(result.status, kExitToolFailed);
  EXPECT_EQ(result.err, "OccasionTallies: cannot write <dir>/survey/Input.txt: Is a directory\n");
  std::string listing;
  for (const auto& entry : fs::directory_iterator(survey)) {
    listing += entry.path().filename().string() + " ";
  }
  EXPECT_EQ(listing.size(), std::string("AllPictures.txt Input.txt ").size()) << listing;
}

TEST(ImportCommand, EachSubcommandHasItsOwnHelp) {
  ScratchFolder folder;
  const struct {
    std::vector<std::string> args;
    int status;
    const char* shown;
  } cases[] = {
      {{"import", "camtrap-dp", "--help"}, kExitOk, "--level"},
      {{"import", "table", "--help"}, kExitOk, "--deployments"},
      {{"import", "--help"}, kExitOk, "camtrap-dp"},
      {{"import"}, kExitUsage, "A subcommand is required"},
      {{"import", "camtrap-dp", "p", "--level", "both"},
       kExitUsage,
       "--level: both not in {event,media}"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.back());
    const CommandResult result = RunCommand(c.args, folder);
    EXPECT_EQ(result.status, c.status);
    EXPECT_NE((result.out + result.err).find(c.shown), std::string::npos)
        << result.out << result.err;
  }
}

}  // namespace
}  // namespace ot
