// occasion-tallies run: its option values, and the run it makes compared
// with the dialogue given the same answers.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "support/test_support.h"

namespace ot {
namespace {

namespace fs = std::filesystem;
using testing::RunCommandInProcess;
using testing::RunInProcess;
using testing::RunResult;
using testing::ScratchFolder;

void LayWorkedExample(const ScratchFolder& folder) {
  folder.Write("Input.txt", testing::kWorkedExampleInput);
  folder.Write("AllPictures.txt",
               testing::Record("Ridge top", "Red fox", "2019 11 21  6 10  7  2"));
}

RunResult RunCommand(const ScratchFolder& folder, std::vector<std::string> options) {
  std::vector<std::string> args = {"occasion-tallies", "run", "-C", folder.path().string()};
  args.insert(args.end(), options.begin(), options.end());
  return RunCommandInProcess(args);
}

// Refused values never reach the run: no banner, no file written. Every
// whole number in range is taken.
TEST(RunCommand, OptionValues) {
  const std::string days = "--days: must be a whole number of days, 1 or more";
  const std::string period = "--period: must be a whole number of minutes, 0 or more";
  const struct {
    std::vector<std::string> options;
    std::string refusal;  // none: the run is made
  } cases[] = {
      {{"-p", "30", "-d", "0"}, days},
      {{"-p", "30", "-d", "-0"}, days},
      // CLI11 alone reads both as 0, which would divide by zero in the run.
      {{"-p", "30", "-d", "0x0"}, days},
      {{"-p", "30", "-d", " 0"}, days},
      {{"-p", "30", "-d", "-7"}, days},
      {{"-p", "30", "-d", "7.5"}, days},
      {{"-p", "30", "-d", "2147483648"}, days},
      {{"-p", "30", "-d", ""}, days},
      {{"-p", "-1", "-d", "7"}, period},
      {{"-p", "thirty", "-d", "7"}, period},
      {{"-d", "7"}, "--period is required"},
      {{"-p", "30"}, "--days is required"},
      {{"-p", "30", "-d", "7", "-d", "8"}, "--days: At Most 1 required but received 2"},
      {{"-p", "30", "-d", "7", "--csv", ""}, "--csv: must not be empty"},
      {{"-p", "0", "-d", "1"}, ""},
      {{"--period", "+30", "--days", "+7"}, ""},
      {{"-p", "2147483647", "-d", "2147483647"}, ""},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& option : c.options) shown += "'" + option + "' ";
    SCOPED_TRACE(shown);
    ScratchFolder folder;
    LayWorkedExample(folder);
    const RunResult r = RunCommand(folder, c.options);
    if (c.refusal.empty()) {
      EXPECT_EQ(r.status, kExitOk) << r.err;
      EXPECT_TRUE(folder.Exists("OccasionTallies.txt"));
      continue;
    }
    EXPECT_EQ(r.status, kExitUsage);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.refusal), std::string::npos) << r.err;
    EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt");
  }
}

// The files of a survey folder by name, contents and all.
using Files = std::map<std::string, std::string>;

Files Contents(const fs::path& folder) {
  Files files;
  for (const auto& entry : fs::directory_iterator(folder)) {
    std::ifstream file(entry.path(), std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    files[entry.path().filename().string()] = content.str();
  }
  return files;
}

void Lay(const ScratchFolder& folder, const Files& files) {
  for (const auto& [name, content] : files) folder.Write(name, content);
}

struct Outcome {
  RunResult result;
  Files files;  // the survey folder afterwards
};

Outcome ByDialogue(const Files& survey, const std::string& period, const std::string& days) {
  ScratchFolder folder;
  Lay(folder, survey);
  const RunResult result = RunInProcess(folder, period + "\n" + days + "\n\n");
  return {result, Contents(folder.path())};
}

Outcome ByRunCommand(const Files& survey, const std::string& period, const std::string& days,
                     bool csv) {
  ScratchFolder folder;
  ScratchFolder out;
  Lay(folder, survey);
  std::vector<std::string> args = {"occasion-tallies",    "run", "-p", period, "-d", days, "-C",
                                   folder.path().string()};
  if (csv) args.insert(args.end(), {"--csv", out.path().string()});
  const RunResult result = RunCommandInProcess(args);
  return {result, Contents(folder.path())};
}

// What the dialogue shows, less the two prompts and with the line that
// waits for Enter replaced by the plain closing line.
std::string WithoutPromptsAndEnter(std::string console) {
  for (const std::string line : {" ENTER INDEPENDENCE PERIOD IN MINUTES, THEN ENTER\n",
                                 " ENTER NUMBER OF DAYS FOR CAMERA TRAP OCCASION, THEN ENTER\n"}) {
    const std::size_t at = console.find(line);
    if (at != std::string::npos) console.erase(at, line.size());
  }
  const std::string waiting = "created ... PRESS ENTER TO TERMINATE NORMALLY\n";
  const std::size_t at = console.find(waiting);
  if (at != std::string::npos)
    console.replace(at, waiting.size(), "created ... TERMINATING NORMALLY\n");
  return console;
}

Files ReadSurvey(const fs::path& folder) {
  Files files = Contents(folder);
  return {{"Input.txt", files["Input.txt"]}, {"AllPictures.txt", files["AllPictures.txt"]}};
}

Files GeneratedSurvey(const std::string& arguments) {
  ScratchFolder folder;
  const std::string command = std::string("'") + OT_SURVEY_GENERATOR + "' " + arguments +
                              " --out '" + folder.path().string() + "' > /dev/null";
  if (std::system(command.c_str()) != 0) ADD_FAILURE() << command;
  return ReadSurvey(folder.path());
}

// Every file, every warning and the status as the dialogue's; the console
// the same but for the prompts and the wait for Enter. --csv changes none of
// it.
TEST(RunCommand, MakesTheDialoguesRun) {
  const Files example = ReadSurvey(fs::path(OT_SOURCE_DIR) / "examples/survey");
  Files broken_input = example;
  broken_input["Input.txt"].resize(200);
  Files bad_number = example;
  bad_number["AllPictures.txt"] +=
      testing::Record("Holly combe gully", "Red fox", "2024  1  1  1  1  1 x9");
  Files no_pictures = example;
  no_pictures.erase("AllPictures.txt");
  const struct {
    const char* what;
    Files survey;
    const char* period;
    const char* days;
    int status;
  } cases[] = {
      {"bundled example", example, "30", "7", kExitOk},
      {"bundled example, every picture its own event", example, "0", "1", kExitOk},
      {"generated", GeneratedSurvey("--locations 6 --species 5 --pictures 3000 --seed 11"), "30",
       "7", kExitOk},
      {"generated with heading and remarks",
       GeneratedSurvey("--locations 9 --species 8 --pictures 6000 --seed 12 --heading --remarks"),
       "60", "30", kExitOk},
      {"generated, one-day occasions",
       GeneratedSurvey("--locations 4 --species 3 --pictures 2000 --seed 13"), "1440", "1",
       kExitOk},
      {"Input.txt breaks off", broken_input, "30", "7", kExitRunFailed},
      {"a picture with a bad number", bad_number, "30", "7", kExitRunFailed},
      {"no AllPictures.txt", no_pictures, "30", "7", kExitRunFailed},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const Outcome dialogue = ByDialogue(c.survey, c.period, c.days);
    ASSERT_EQ(dialogue.result.status, c.status) << dialogue.result.err;
    EXPECT_NE(dialogue.result.err, "");  // each has warnings or a diagnostic to compare
    for (bool csv : {false, true}) {
      SCOPED_TRACE(csv ? "with --csv" : "without --csv");
      const Outcome run = ByRunCommand(c.survey, c.period, c.days, csv);
      EXPECT_EQ(run.result.status, dialogue.result.status);
      EXPECT_EQ(run.result.err, dialogue.result.err);
      EXPECT_EQ(run.result.out, WithoutPromptsAndEnter(dialogue.result.out));
      EXPECT_TRUE(run.files == dialogue.files);
    }
  }
}

// The real program, as a newcomer types it: exit statuses as the shell sees
// them, the export in the survey folder.
TEST(RunCommand, TheExecutable) {
  ScratchFolder folder;
  Lay(folder, ReadSurvey(fs::path(OT_SOURCE_DIR) / "examples/survey"));
  const std::string run =
      std::string("'") + OT_EXECUTABLE + "' run -C '" + folder.path().string() + "' ";
  const struct {
    std::string options;
    int status;
  } cases[] = {
      {"-p 30 -d 0x0", 2},  // once a division by zero
      // A relative OUTDIR is taken in the survey folder.
      {"--period 30 --days 7 --csv csv", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.options);
    const int raw = std::system((run + c.options + " > /dev/null 2>&1").c_str());
    ASSERT_TRUE(WIFEXITED(raw));
    EXPECT_EQ(WEXITSTATUS(raw), c.status);
  }
  EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt OccasionTallies.txt csv");
  EXPECT_EQ(folder.Read("csv/counts/red-fox.csv").substr(0, 9), "site,y.1,");
}

}  // namespace
}  // namespace ot
