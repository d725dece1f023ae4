// A diagnostic reaches standard error whole, even when it names something
// read from a file that holds NUL bytes.
#include <gtest/gtest.h>

#include <string>

#include "support/test_support.h"

namespace ot {
namespace {

TEST(FailureText, NamesWithNulBytesAreNotCutShort) {
  const std::string name("Ri\0dge top", 10);
  const std::string tail = " of period 1 of location 1 (" + name + ") is outside ";
  struct {
    const char* what;
    std::string dates;
    std::string err;
  } cases[] = {
      {"month", "2020 13 1 2020 1 5",
       "OccasionTallies: Input.txt: begin month 13" + tail + "1..12\n"},
      {"year", "2020 1 1 20020 1 5",
       "OccasionTallies: Input.txt: end year 20020" + tail + "1..9999\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    testing::ScratchFolder folder;
    folder.Write("Input.txt", "Study\n1\n" + name + "\n1\n" + c.dates + "\n1\nRed fox\n");
    folder.Write("AllPictures.txt", "");
    for (const testing::RunResult& result : {testing::RunInProcess(folder, "30\n7\n\n"),
                                             testing::RunExecutable(folder, "30\n7\n\n")}) {
      EXPECT_EQ(result.status, 127);
      EXPECT_EQ(result.err, c.err);
    }
  }
}

}  // namespace
}  // namespace ot
