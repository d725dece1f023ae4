#include "cli/scan_memory.h"

#include <charconv>
#include <cstdlib>
#include <string>

#include "base/failure.h"
#include "base/strings.h"
#include "run/run_driver.h"

namespace ot::cli {
namespace {

constexpr int kMebibyteShift = 20;

}  // namespace

std::optional<std::uint64_t> ParseScanMemory(std::string_view setting) {
  const std::string_view digits = StripSpacesAndTabs(setting);
  if (digits.empty() || digits.find_first_not_of("0123456789") != std::string_view::npos) {
    return std::nullopt;
  }
  std::uint64_t mebibytes = 0;
  const auto [end, error] =
      std::from_chars(digits.data(), digits.data() + digits.size(), mebibytes);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  if (mebibytes < 1 || mebibytes > (UINT64_MAX >> kMebibyteShift)) return std::nullopt;
  return mebibytes << kMebibyteShift;
}

std::uint64_t ScanMemoryFromSetting(const char* setting, std::ostream& warnings) {
  if (setting == nullptr || *setting == '\0') return kDefaultScanMemory;
  if (const std::optional<std::uint64_t> bytes = ParseScanMemory(setting)) return *bytes;
  warnings << kTag << "warning: " << kScanMemoryVariable << "=\"" << setting
           << "\" is not a whole number of MiB from 1 up; using "
           << (kDefaultScanMemory >> kMebibyteShift) << " MiB\n";
  warnings.flush();
  return kDefaultScanMemory;
}

std::uint64_t ScanMemoryFromEnvironment(std::ostream& warnings) {
  const std::string name(kScanMemoryVariable);
  return ScanMemoryFromSetting(std::getenv(name.c_str()), warnings);
}

}  // namespace ot::cli
