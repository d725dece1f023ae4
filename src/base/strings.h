// The program's string helpers, named as abseil's absl/strings names them
// where it has one. Bytes are ASCII to them: no locale is consulted, and
// UTF-8 passes through as it is.
#pragma once

#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "base/date.h"

namespace ot {

// `text` without the spaces (' ') at its end. Spaces only: the survey's
// files pad names with spaces, and a tab is part of a name.
std::string_view StripTrailingSpaces(std::string_view text);

// `text` without the spaces (' ') at either end.
std::string_view StripSpaces(std::string_view text);

// `text` without the spaces and tabs at either end, as values of options,
// CSV fields and timestamps are read. Line ends and other control bytes
// stay.
std::string_view StripSpacesAndTabs(std::string_view text);

// Whether `text` begins with `prefix` (any prefix of an empty one). The
// last byte of the prefix is compared first: names in one survey often
// share their first letters, so most records are told apart by one byte.
inline bool StartsWith(std::string_view text, std::string_view prefix) {
  if (prefix.empty()) return true;
  if (text.size() < prefix.size() || text[prefix.size() - 1] != prefix.back()) return false;
  return std::memcmp(text.data(), prefix.data(), prefix.size() - 1) == 0;
}

// `c` with A-Z made a-z; every other byte as it is.
constexpr char AsciiToLower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

// Whether `a` and `b` are equal when the ASCII letters' case is not told
// apart; every other byte must be equal.
bool EqualsIgnoreCase(std::string_view a, std::string_view b);

// Whether `text` begins with `prefix`, case as in EqualsIgnoreCase.
bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix);

// `text` with every control byte (0x00 to 0x1F and 0x7F: a NUL, a tab, a
// line end, ...) written as "\xNN" with two upper-case hex digits, so that
// it stays on one line a person can read. Other bytes stay as they are.
std::string EscapeControlBytes(std::string_view text);

// `text` between double quotes, as it stands: nothing inside is escaped
// (pass it through EscapeControlBytes first where it may hold control
// bytes).
std::string Quote(std::string_view text);

// "1 picture", "0 pictures", "3 pictures": `count` in decimal digits, a
// blank, then `singular` when the count is 1, else `plural`.
std::string Pluralize(std::int64_t count, std::string_view singular, std::string_view plural);

// `singular` when `count` is 1, else `plural`: for a count that is written
// some other way.
std::string_view SingularOrPlural(std::int64_t count, std::string_view singular,
                                  std::string_view plural);

// The date as year-month-day, "2019-11-20": the year with at least four
// digits, the month and the day with at least two, zeros in front. Values
// that fit no calendar stand as they are ("20019-13-00"); a negative one
// keeps its sign and gets no zeros ("-5-01-01").
std::string FormatIsoDate(const Date& date);

}  // namespace ot
