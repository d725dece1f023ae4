// Free-form ("list-directed") reading of whole numbers and writing of
// console lines.
#pragma once

#include <cstdint>
#include <span>
#include <string_view>

#include "textio/text_unit.h"

namespace ot {

// Fills `items` from the next line of `unit` on, whatever the previous read
// left of its line being discarded.
// - Values are separated by blanks or tabs, or by one comma with blanks or
//   tabs around it; a line end separates like a blank. Empty lines and line
//   ends are passed over until every item is filled.
// - A value is an optional sign and digits; a decimal point or an exponent
//   (e, E, d, D) is accepted and the value cut toward zero (7.5 gives 7,
//   1e3 gives 1000). A value outside the 32-bit range is the conversion
//   failure (231).
// - "r*v" stands for r copies of v, "r*" for r empty values. An empty value
//   (two commas, or a comma first on a line) leaves its item unchanged.
// - A slash ends the read; the items not yet filled keep their values.
// - A word is read by its first letter (after an optional period): t or T
//   gives -1, f or F gives 0; d, D, e, E, and a sign or period with no
//   number after it, are the conversion failure (231); any other character
//   that cannot begin a value is the lexical failure (225).
// - Whatever follows the last value on its line is discarded.
// - The end of input while items remain is the end-of-file failure (217).
void ReadFreeForm(TextUnit& unit, std::span<std::int32_t> items);

// Consumes exactly one line, whatever it holds; at the end of input it is
// the end-of-file failure.
void SkipLine(TextUnit& unit);

// Writes the texts as one line that begins with a blank, the texts joined
// with nothing between them. When a text would bring a line that already
// holds one to 80 characters or more, that line is ended first and the text
// begins a new one, again after a blank. No texts: an empty line.
void WriteFreeForm(TextUnit& unit, std::span<const std::string_view> texts);

}  // namespace ot
