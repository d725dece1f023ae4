// Whole surveys whose complete result is fixed: the bundled example and a
// generated mid-size survey. Any change to a byte of the result shows here.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "support/sha256.h"
#include "support/test_support.h"

namespace ot {
namespace {

std::string ReadWhole(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

TEST(Sha256, KnownDigests) {
  EXPECT_EQ(testing::Sha256Hex(""),
            "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855");
  EXPECT_EQ(testing::Sha256Hex(std::string(1000, 'a')),
            "41edece42d63e8d9bf515a9ba6932e1c20cbc9f5a5d134645adb5db1b9737ea3");
}

TEST(ExampleSurvey, MatchesItsExpectedOutput) {
  const std::filesystem::path survey = std::filesystem::path(OT_SOURCE_DIR) / "examples/survey";
  testing::ScratchFolder folder;
  folder.Write("Input.txt", ReadWhole(survey / "Input.txt"));
  folder.Write("AllPictures.txt", ReadWhole(survey / "AllPictures.txt"));
  const testing::RunResult result = testing::RunInProcess(folder, "30\n7\n\n");
  EXPECT_EQ(result.status, 0);
  EXPECT_EQ(result.err, ReadWhole(survey / "expected/warnings.txt"));
  EXPECT_EQ(result.out, ReadWhole(survey / "expected/console.txt"));
  EXPECT_EQ(folder.Read("OccasionTallies.txt"), ReadWhole(survey / "expected/OccasionTallies.txt"));
  EXPECT_EQ(folder.Listing(), "AllPictures.txt Input.txt OccasionTallies.txt");
}

// Recorded from the first, straightforward version of the program, before
// any speed work: a faster program must give the same bytes.
TEST(GeneratedSurvey, ResultIsUnchanged) {
  testing::ScratchFolder folder;
  const std::string command = std::string("'") + OT_SURVEY_GENERATOR +
                              "' --locations 20 --species 8 --pictures 50000 --seed 7 --out '" +
                              folder.path().string() + "' > /dev/null";
  ASSERT_EQ(std::system(command.c_str()), 0);
  const testing::RunResult result = testing::RunInProcess(folder, "30\n7\n\n");
  ASSERT_EQ(result.status, 0) << result.err;
  EXPECT_EQ(testing::Sha256Hex(folder.Read("OccasionTallies.txt")),
            "fcd74f93736cf00d345891ed844293ee5e3d94237deb4dde7394ebba08bb6cf3");
}

}  // namespace
}  // namespace ot
