// How `check` ends when it cannot read a file: one line that names the
// file, the line and the reason in words, and exit status 2.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/failure.h"
#include "checks/problem_list.h"

namespace ot::checks {

// Throws a RunFailure with kExitCannotCheck and the single line
// "OccasionTallies: cannot check: FILE[:LINE]: REASON[, reading WHAT]"
// (no line when `line` is 0, no "reading" part when `reading` is empty).
[[noreturn]] void CannotCheck(SurveyFile file, std::int64_t line, std::string_view reason,
                              std::string_view reading = {});

// As above, for a failure met while reading `file`: a run-time error of the
// text layer becomes a reason a person can act on and names its line; a
// system failure gives the system's text; any other its own first line.
[[noreturn]] void CannotCheck(SurveyFile file, const RunFailure& failure,
                              std::string_view reading = {});

// Whether `failure` is the conversion failure (231): a number that cannot
// be read.
bool IsConversionFailure(const RunFailure& failure);

}  // namespace ot::checks
