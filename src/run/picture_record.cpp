#include "run/picture_record.h"

#include <algorithm>

#include "textio/fixed_width.h"

namespace ot {
namespace {

// Reads the integer field of `width` columns at `pos` and moves `pos` past
// it and the blank after it. A field of digits and blanks alone, as nearly
// every record has, is read here; any other goes to the text layer's rule
// (signs, a comma ending the field, failures).
bool ReadNumber(std::string_view record, std::size_t& pos, std::size_t width, std::int32_t& value) {
  if (pos + width <= record.size()) {
    std::int32_t digits = 0;
    std::size_t i = 0;
    for (; i < width; ++i) {
      const char c = record[pos + i];
      if (c >= '0' && c <= '9') {
        digits = digits * 10 + (c - '0');
      } else if (c != ' ') {
        break;
      }
    }
    if (i == width) {
      value = digits;
      pos += width + 1;
      return true;
    }
  }
  const bool read = ReadIntegerAt(record, pos, width, value);
  ++pos;  // the blank before the next field
  return read;
}

}  // namespace

std::string_view RecordOfLine(std::string_view line,
                              std::array<char, kPictureRecordLength>& padding) {
  if (line.size() >= padding.size()) return line.substr(0, padding.size());
  std::fill(std::copy(line.begin(), line.end(), padding.begin()), padding.end(), ' ');
  return {padding.data(), padding.size()};
}

bool ParsePictureRecord(std::string_view record, PictureRecord& picture) {
  picture.location = record.substr(0, kNameLength);
  picture.species = SpeciesField(record);
  // The numbers begin after the species and its blank; a comma ending a
  // number moves the ones after it to the left, as in any fixed-width read.
  std::size_t pos = kSpeciesColumn + kNameLength + 1;
  return ReadNumber(record, pos, 4, picture.date.year) &&
         ReadNumber(record, pos, 2, picture.date.month) &&
         ReadNumber(record, pos, 2, picture.date.day) && ReadNumber(record, pos, 2, picture.hour) &&
         ReadNumber(record, pos, 2, picture.minute) && ReadNumber(record, pos, 2, picture.second) &&
         ReadNumber(record, pos, 2, picture.count);
}

}  // namespace ot
