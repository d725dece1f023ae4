// `check` on the bundled surveys gives the findings shown in the README
// (examples/*/expected/check.txt, made in 2026: "next year" is 2027), and
// the broken survey's run the warnings shown there.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "base/exit_status.h"
#include "checks/survey_check.h"
#include "support/test_support.h"

namespace ot::checks {
namespace {

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

TEST(ExampleSurveys, CheckGivesTheFindingsShown) {
  for (const char* name : {"survey", "broken-survey"}) {
    SCOPED_TRACE(name);
    const auto survey = std::filesystem::path(OT_SOURCE_DIR) / "examples" / name;
    DiskFolder folder(survey);
    std::ostringstream out;
    EXPECT_EQ(CheckSurvey(folder, 2026, out), 1);
    EXPECT_EQ(out.str(), ReadWhole(survey / "expected/check.txt"));
  }
}

TEST(ExampleSurveys, BrokenSurveyRunsWithTheWarningsShown) {
  const auto survey = std::filesystem::path(OT_SOURCE_DIR) / "examples/broken-survey";
  testing::ScratchFolder folder;
  folder.Write("Input.txt", ReadWhole(survey / "Input.txt"));
  folder.Write("AllPictures.txt", ReadWhole(survey / "AllPictures.txt"));
  const testing::RunResult result = testing::RunInProcess(folder, "30\n7\n\n");
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.err, ReadWhole(survey / "expected/warnings.txt"));
}

}  // namespace
}  // namespace ot::checks
