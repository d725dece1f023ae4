// How `check` ends when it cannot read a file: one line that names the
// file, the line and the reason in words, and exit status 2.
#pragma once

#include <cstdint>
#include <string_view>

#include "base/failure.h"
#include "checks/problem_list.h"

namespace ot::checks {

inline constexpr int kCannotCheck = 2;

// Throws RunFailure(text, kCannotCheck) with the single line
// "OccasionTallies: cannot check: FILE[:LINE]: REASON[, reading WHAT]"
// (no line when `line` is 0, no "reading" part when `reading` is empty).
[[noreturn]] void CannotCheck(SurveyFile file, std::int64_t line, std::string_view reason,
                              std::string_view reading = {});

// As above, for a failure of the text layer met while reading `file`: its
// run-time error number becomes a reason a person can act on, and its line
// the line named.
[[noreturn]] void CannotCheck(SurveyFile file, const RunFailure& failure,
                              std::string_view reading = {});

// Whether `failure` is the conversion failure (231): a number that cannot
// be read.
bool IsConversionFailure(const RunFailure& failure);

}  // namespace ot::checks
