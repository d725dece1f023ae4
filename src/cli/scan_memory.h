// The memory a run's scans of the picture log may take, as the user sets it
// in the environment variable OCCASION_TALLIES_MEMORY (MiB).
#pragma once

#include <cstdint>
#include <optional>
#include <ostream>
#include <string_view>

namespace ot::cli {

inline constexpr std::string_view kScanMemoryVariable = "OCCASION_TALLIES_MEMORY";

// Bytes for a setting of a whole number of MiB, at least 1, with blanks
// around it allowed; none for anything else or for more than 2^64 bytes.
std::optional<std::uint64_t> ParseScanMemory(std::string_view setting);

// The scan memory in bytes: the setting when there is one (`setting` null or
// empty when the variable is not set), else kDefaultScanMemory. A setting
// that cannot be used is warned of on `warnings` and the default is used.
std::uint64_t ScanMemoryFromSetting(const char* setting, std::ostream& warnings);

// ScanMemoryFromSetting for the program's environment.
std::uint64_t ScanMemoryFromEnvironment(std::ostream& warnings);

}  // namespace ot::cli
