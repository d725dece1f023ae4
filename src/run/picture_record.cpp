#include "run/picture_record.h"

#include <algorithm>
#include <charconv>

namespace ot {
namespace {

using Kind = RecordField::Kind;

// The separating columns after `field` (none after the last).
constexpr std::size_t GapAfter(PictureField field) {
  const auto next = static_cast<std::size_t>(field) + 1;
  if (next == kPictureRecordFields.size()) return 0;
  return static_cast<std::size_t>(kPictureRecordFields[next].first_column -
                                  FieldOf(field).last_column() - 1);
}

constexpr bool NamesThenNumbers() {
  for (std::size_t f = 0; f < kPictureRecordFields.size(); ++f) {
    const Kind wanted = f < 2 ? Kind::kText : Kind::kNumber;
    if (kPictureRecordFields[f].kind != wanted) return false;
  }
  return true;
}
// PictureReadItems, NumberOf and ParsePictureRecord take the fields in this
// order.
static_assert(NamesThenNumbers());
static_assert(kPictureRecordFields.size() == static_cast<std::size_t>(PictureField::kCount) + 1);

// Reads number field `F` at `pos` and moves `pos` past it and the
// separating columns after it. A field of digits and blanks alone, as
// nearly every record has, is read here; any other goes to the text layer's
// rule (signs, a comma ending the field, failures).
template <PictureField F>
bool ReadNumber(std::string_view record, std::size_t& pos, std::int32_t& value) {
  constexpr auto kWidth = static_cast<std::size_t>(FieldOf(F).width);
  if (pos + kWidth <= record.size()) {
    std::int32_t digits = 0;
    std::size_t i = 0;
    for (; i < kWidth; ++i) {
      const char c = record[pos + i];
      if (c >= '0' && c <= '9') {
        digits = digits * 10 + (c - '0');
      } else if (c != ' ') {
        break;
      }
    }
    if (i == kWidth) {
      value = digits;
      pos += kWidth + GapAfter(F);
      return true;
    }
  }
  const bool read = ReadIntegerAt(record, pos, kWidth, value);
  pos += GapAfter(F);
  return read;
}

void AppendBlanks(std::string& out, std::size_t count) {
  out.append(count, ' ');
}

// The number `field` of `picture`, const or not.
template <typename Record>
auto& NumberIn(Record& picture, PictureField field) {
  switch (field) {
    case PictureField::kYear:
      return picture.date.year;
    case PictureField::kMonth:
      return picture.date.month;
    case PictureField::kDay:
      return picture.date.day;
    case PictureField::kHour:
      return picture.hour;
    case PictureField::kMinute:
      return picture.minute;
    case PictureField::kSecond:
      return picture.second;
    case PictureField::kCount:
    case PictureField::kLocation:
    case PictureField::kSpecies:
      break;
  }
  return picture.count;
}

}  // namespace

std::int32_t& NumberOf(PictureRecord& picture, PictureField field) {
  return NumberIn(picture, field);
}

std::int32_t NumberOf(const PictureRecord& picture, PictureField field) {
  return NumberIn(picture, field);
}

std::array<ReadItem, kPictureRecordFields.size()> PictureReadItems(PictureRecord& picture) {
  return {&picture.location,   &picture.species,  &picture.date.year,
          &picture.date.month, &picture.date.day, &picture.hour,
          &picture.minute,     &picture.second,   &picture.count};
}

std::string_view RecordOfLine(std::string_view line,
                              std::array<char, kPictureRecordLength>& padding) {
  if (line.size() >= padding.size()) return line.substr(0, padding.size());
  std::fill(std::copy(line.begin(), line.end(), padding.begin()), padding.end(), ' ');
  return {padding.data(), padding.size()};
}

bool ParsePictureRecord(std::string_view record, PictureRecord& picture) {
  constexpr RecordField kLocation = FieldOf(PictureField::kLocation);
  picture.location = record.substr(kLocation.offset(), static_cast<std::size_t>(kLocation.width));
  picture.species = SpeciesField(record);
  // A comma ending a number moves the ones after it to the left, as in any
  // fixed-width read, so each number is read where the one before it ended.
  std::size_t pos = FieldOf(PictureField::kYear).offset();
  return ReadNumber<PictureField::kYear>(record, pos, picture.date.year) &&
         ReadNumber<PictureField::kMonth>(record, pos, picture.date.month) &&
         ReadNumber<PictureField::kDay>(record, pos, picture.date.day) &&
         ReadNumber<PictureField::kHour>(record, pos, picture.hour) &&
         ReadNumber<PictureField::kMinute>(record, pos, picture.minute) &&
         ReadNumber<PictureField::kSecond>(record, pos, picture.second) &&
         ReadNumber<PictureField::kCount>(record, pos, picture.count);
}

void AppendPictureRecord(std::string& out, const PictureRecord& picture) {
  int column = 1;  // of the next character, as long as no value is too wide
  for (std::size_t f = 0; f < kPictureRecordFields.size(); ++f) {
    const RecordField& field = kPictureRecordFields[f];
    const auto which = static_cast<PictureField>(f);
    AppendBlanks(out, static_cast<std::size_t>(field.first_column - column));
    const auto width = static_cast<std::size_t>(field.width);
    if (field.kind == Kind::kText) {
      const std::string_view name =
          which == PictureField::kLocation ? picture.location : picture.species;
      out.append(name);
      AppendBlanks(out, width - std::min(name.size(), width));
    } else {
      char digits[16];
      const std::to_chars_result end =
          std::to_chars(std::begin(digits), std::end(digits), NumberOf(picture, which));
      const auto length = static_cast<std::size_t>(end.ptr - digits);
      AppendBlanks(out, width - std::min(length, width));
      out.append(digits, length);
    }
    column = field.last_column() + 1;
  }
}

}  // namespace ot
