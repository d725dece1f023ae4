#include "cli/scan_memory.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "run/run_driver.h"

namespace ot::cli {
namespace {

TEST(ScanMemory, SettingInMebibytes) {
  constexpr std::uint64_t kMiB = 1 << 20;
  struct {
    const char* setting;
    std::uint64_t bytes;  // 0: refused, the default is used and warned of
  } cases[] = {
      {"256", 256 * kMiB},
      {"1", kMiB},
      {" 64\t", 64 * kMiB},
      {"0017", 17 * kMiB},
      {"17592186044415", UINT64_MAX - kMiB + 1},  // 2^44 - 1 MiB
      {"17592186044416", 0},                      // 2^64 bytes
      {"99999999999999999999999", 0},
      {"0", 0},
      {"-5", 0},
      {"+5", 0},
      {"64M", 0},
      {"6 4", 0},
      {"1.5", 0},
      {" ", 0},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.setting);
    std::ostringstream warnings;
    const std::uint64_t bytes = ScanMemoryFromSetting(c.setting, warnings);
    if (c.bytes == 0) {
      EXPECT_EQ(bytes, kDefaultScanMemory);
      EXPECT_EQ(warnings.str(),
                std::string("OccasionTallies: warning: OCCASION_TALLIES_MEMORY=\"") + c.setting +
                    "\" is not a whole number of MiB from 1 up; using 256 MiB\n");
    } else {
      EXPECT_EQ(bytes, c.bytes);
      EXPECT_EQ(warnings.str(), "");
    }
  }
}

TEST(ScanMemory, NoSettingGivesTheDefaultSilently) {
  for (const char* setting : {static_cast<const char*>(nullptr), ""}) {
    std::ostringstream warnings;
    EXPECT_EQ(ScanMemoryFromSetting(setting, warnings), kDefaultScanMemory);
    EXPECT_EQ(warnings.str(), "");
  }
}

}  // namespace
}  // namespace ot::cli
