// How `check` shows names, dates and times in its problem lines.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "run/study_input.h"

namespace ot::checks {

// A name as read, without its trailing blanks (leading blanks stay).
std::string_view Trimmed(std::string_view name);

// The text with every control character (a NUL, a tab, ...) shown as
// "\xNN", so that a finding stays one line a person can read.
std::string Visible(std::string_view text);

// The name, made visible, between double quotes, so that leading blanks
// show.
std::string Quoted(std::string_view name);

// "location 3 (Oak ridge)" or "species 2 (Red fox)": a numbered entry of
// Input.txt with its name as the run's own messages give it (made visible).
std::string Entry(std::string_view what, std::size_t number, std::string_view name);

// The date as written, year-month-day: "2019-11-20" (numbers that do not
// fit a calendar date stand as they are, e.g. "20019-13-00").
std::string DateText(const Date& date);

// "06:05".
std::string TimeText(std::int32_t hour, std::int32_t minute);

// "1 picture", "3 pictures".
std::string Counted(std::int64_t n, std::string_view thing);

// Whether two names are equal when upper and lower case are not told apart
// and blanks at either end are passed over (a likely misspelling).
bool SameButForCaseAndBlanks(std::string_view a, std::string_view b);

// Whether `text` begins with `prefix`, told apart and passed over alike.
bool BeginsButForCaseAndBlanks(std::string_view text, std::string_view prefix);

}  // namespace ot::checks
