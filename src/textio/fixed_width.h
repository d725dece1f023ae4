// Fixed-width lines: text fields, integer fields and skipped columns, laid
// out by a FieldLayout.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <variant>

#include "textio/text_unit.h"

namespace ot {

struct Field {
  enum class Kind : std::uint8_t { kText, kInteger, kSkip };
  Kind kind;
  int width;  // characters of a text field, columns of an integer field or a skip
};
constexpr Field TextField(int width) {
  return {Field::Kind::kText, width};
}
constexpr Field IntegerField(int width) {
  return {Field::Kind::kInteger, width};
}
constexpr Field SkipColumns(int n) {
  return {Field::Kind::kSkip, n};
}

// The fields of a line: `head`, then `group` used up to `repeat` times, then
// `tail`. When the layout is used up and items remain, the line ends and the
// layout starts again on a new line from its group (from its head when it
// has no group).
struct FieldLayout {
  std::span<const Field> head;
  std::span<const Field> group = {};
  int repeat = 0;
  std::span<const Field> tail = {};
};

// An item a fixed-width read fills: a text of a given length, an integer, or
// a view of a text field's characters read in place (valid until the next
// read on the unit; a field past the end of the line shows blanks).
using ReadItem = std::variant<std::span<char>, std::int32_t*, std::string_view*>;

// An item a fixed-width write shows.
using WriteItem = std::variant<std::string_view, std::int64_t>;

// Reads the next line of `unit` (more when the layout starts again) into
// `items`.
// - A field or skip reaching past the end of the line reads blanks.
// - A text field of width w fills its item with the next w characters as
//   they stand; an item shorter than w takes the last characters of the
//   field, a longer one is padded with blanks.
// - An integer field takes the next w characters; a comma among them ends
//   the field there and is consumed. Leading blanks are skipped, an empty
//   rest reads 0, then an optional sign and digits, blanks among or after
//   them ignored. Any other character is the conversion failure (231), and
//   so is a value outside the 32-bit range.
// - Characters after the last field are ignored.
// At the end of input it is the end-of-file failure (217).
void ReadFixed(TextUnit& unit, const FieldLayout& layout, std::span<const ReadItem> items);

// As ReadFixed, but returns false when no further line is found.
bool ReadFixedOrEnd(TextUnit& unit, const FieldLayout& layout, std::span<const ReadItem> items);

// Writes `items` as one line (more when the layout starts again).
// - A text of length L in a field of width w: unchanged when w = L, after
//   w - L blanks when w > L, its first w characters when w < L.
// - An integer is aligned right with a "-" before a negative value; one that
//   needs more than w columns fills the field with w asterisks.
// - A skip leaves blanks only when a further field follows on its line, so
//   no line ends in the blank of a skip.
// No items: an empty line.
void WriteFixed(TextUnit& unit, const FieldLayout& layout, std::span<const WriteItem> items);

// Writes `text` as a line of one text field as wide as the text.
void WriteTextLine(TextUnit& unit, std::string_view text);

// Reads the integer field of `width` columns at `pos` of `line` by the rule
// of ReadFixed, for callers that take a line apart themselves: advances
// `pos` past the field (or past the comma that ends it) and returns false
// where ReadFixed fails with 231, `value` then left as it was.
bool ReadIntegerAt(std::string_view line, std::size_t& pos, std::size_t width, std::int32_t& value);

// Appends `value` to `line` as WriteFixed shows it in an integer field of
// `width` columns, for callers that build a line themselves.
void AppendIntegerField(std::string& line, std::int64_t value, std::size_t width);

}  // namespace ot
