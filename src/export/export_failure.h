// How a CSV export fails: one line naming what could not be done to which
// path and the system's reason, and an exit status of its own, since the
// run itself had ended normally when the export was written.
#pragma once

#include <filesystem>
#include <string_view>

namespace ot {

// Throws a RunFailure of kind kSystem with kExitToolFailed and the line
// "OccasionTallies: CSV export failed: cannot <doing> <path>: <reason>",
// the reason being the system's text for errno value `error`.
[[noreturn]] void ReportExportFailure(std::string_view doing, const std::filesystem::path& path,
                                      int error);

}  // namespace ot
