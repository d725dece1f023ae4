// How an import fails: one diagnostic line and exit status 1. Nothing is
// written by then; the command line prints the line and exits.
#pragma once

#include <string>
#include <string_view>

namespace ot::import {

// Throws a RunFailure with "OccasionTallies: <message>\n" and
// kExitToolFailed.
[[noreturn]] void FailImport(std::string_view message);

// `value` in double quotes for a message, its control bytes escaped
// (EscapeControlBytes) and cut to a readable length, or "nothing" when it
// is empty.
std::string QuotedValue(std::string_view value);

}  // namespace ot::import
