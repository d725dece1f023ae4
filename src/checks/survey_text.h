// How `check` shows entries of Input.txt, times and names in its problem
// lines (names, dates and counts go through base/strings.h).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace ot::checks {

// "location 3 (Oak ridge)" or "species 2 (Red fox)": a numbered entry of
// Input.txt with its name as the run's own messages give it (without its
// trailing blanks, control bytes escaped).
std::string Entry(std::string_view what, std::size_t number, std::string_view name);

// "06:05".
std::string TimeText(std::int32_t hour, std::int32_t minute);

// Whether two names are equal when upper and lower case are not told apart
// and blanks at either end are passed over (a likely misspelling).
bool SameButForCaseAndBlanks(std::string_view a, std::string_view b);

// Whether `text` begins with `prefix`, told apart and passed over alike.
bool BeginsButForCaseAndBlanks(std::string_view text, std::string_view prefix);

}  // namespace ot::checks
