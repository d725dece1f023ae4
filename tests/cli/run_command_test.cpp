// occasion-tallies run: its option values, and the run it makes compared
// with the dialogue given the same answers.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "test_support.h"

namespace ot {
namespace {

using testing::RunCommandInProcess;
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

// Refused values never reach the run: no banner, no file written.
TEST(RunCommand, RefusesBadOptionValuesAsUsageErrors) {
  const struct {
    std::vector<std::string> options;
    const char* message;
  } cases[] = {
      {{"-p", "30", "-d", "0"}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "30", "-d", "-0"}, "--days: must be a whole number of days, 1 or more"},
      // CLI11 alone reads both as 0, which would divide by zero in the run.
      {{"-p", "30", "-d", "0x0"}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "30", "-d", " 0"}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "30", "-d", "-7"}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "30", "-d", "7.5"}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "30", "-d", "2147483648"}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "30", "-d", ""}, "--days: must be a whole number of days, 1 or more"},
      {{"-p", "-1", "-d", "7"}, "--period: must be a whole number of minutes, 0 or more"},
      {{"-p", "thirty", "-d", "7"}, "--period: must be a whole number of minutes, 0 or more"},
      {{"-d", "7"}, "--period is required"},
      {{"-p", "30"}, "--days is required"},
      {{"-p", "30", "-d", "7", "-d", "8"}, "--days: At Most 1 required but received 2"},
  };
  for (const auto& c : cases) {
    std::string shown;
    for (const std::string& option : c.options) shown += "'" + option + "' ";
    SCOPED_TRACE(shown);
    ScratchFolder folder;
    LayWorkedExample(folder);
    const RunResult r = RunCommand(folder, c.options);
    EXPECT_EQ(r.status, 2);
    EXPECT_EQ(r.out, "");
    EXPECT_NE(r.err.find(c.message), std::string::npos) << r.err;
    EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt");
  }
}

TEST(RunCommand, AcceptsEveryWholeNumberInRange) {
  const std::vector<std::string> cases[] = {
      {"-p", "0", "-d", "1"},
      {"--period", "+30", "--days", "+7"},
      {"-p", "2147483647", "-d", "2147483647"},
  };
  for (const auto& options : cases) {
    SCOPED_TRACE(options[1] + " " + options[3]);
    ScratchFolder folder;
    LayWorkedExample(folder);
    const RunResult r = RunCommand(folder, options);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_TRUE(folder.Exists("OccasionTallies.txt"));
  }
}

}  // namespace
}  // namespace ot
