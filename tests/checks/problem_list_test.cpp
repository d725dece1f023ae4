#include "checks/problem_list.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

namespace ot::checks {
namespace {

TEST(ProblemList, ShowsTheFirstTwentyInFileAndLineOrderThenHowManyMore) {
  ProblemList problems;
  int described = 0;
  // Lines 30 down to 1 of the log, then line 40 of Input.txt: Input.txt comes first.
  for (int line = 30; line >= 1; --line) {
    problems.Add(ProblemKind::kOutOfOrder, SurveyFile::kPictures, line, [&] {
      ++described;
      return "picture " + std::to_string(line);
    });
  }
  problems.Add(ProblemKind::kOutOfOrder, SurveyFile::kInput, 40, [] { return std::string("x"); });
  problems.Add(ProblemKind::kRefusedDate, SurveyFile::kInput, 7, [] { return std::string("y"); });
  std::string expected =
      "Years or months the run refuses (it stops at the first): 1\nInput.txt:7: y\n\n"
      "Pictures earlier than the picture before them at the same location (sort "
      "AllPictures.txt by location and time): 31\nInput.txt:40: x\n";
  for (int line = 1; line <= 19; ++line) {
    expected +=
        "AllPictures.txt:" + std::to_string(line) + ": picture " + std::to_string(line) + "\n";
  }
  expected += "... and 11 more\n\n";
  std::ostringstream out;
  problems.Print(out);
  EXPECT_EQ(out.str(), expected);
  EXPECT_EQ(problems.total(), 32);
  EXPECT_EQ(problems.kinds(), 2u);
  EXPECT_EQ(described, 30);  // each shown on arrival, as lines came in falling order
}

}  // namespace
}  // namespace ot::checks
