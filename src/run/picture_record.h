// The picture record of AllPictures.txt: the one table of its fixed columns,
// and everything that reads or writes a record derived from it.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/date.h"
#include "textio/fixed_width.h"

namespace ot {

// The fields of a picture record, in the order of their columns.
enum class PictureField : std::uint8_t {
  kLocation,
  kSpecies,
  kYear,
  kMonth,
  kDay,
  kHour,
  kMinute,
  kSecond,
  kCount,
};

// One field of the record: its name, its columns and what it holds.
struct RecordField {
  enum class Kind : std::uint8_t { kText, kNumber };
  std::string_view name;
  int first_column;  // as the README numbers the columns: the record's first is 1
  int width;
  Kind kind;
  // The position of its first column in a record (counted from 0).
  constexpr std::size_t offset() const { return static_cast<std::size_t>(first_column - 1); }
  constexpr int last_column() const { return first_column + width - 1; }
};

// The record's columns, as the README documents them. Every other
// description of the record derives from this table.
inline constexpr std::array<RecordField, 9> kPictureRecordFields = {{
    {"location", 1, 25, RecordField::Kind::kText},
    {"species", 27, 25, RecordField::Kind::kText},
    {"year", 53, 4, RecordField::Kind::kNumber},
    {"month", 58, 2, RecordField::Kind::kNumber},
    {"day", 61, 2, RecordField::Kind::kNumber},
    {"hour", 64, 2, RecordField::Kind::kNumber},
    {"minute", 67, 2, RecordField::Kind::kNumber},
    {"second", 70, 2, RecordField::Kind::kNumber},
    {"count", 73, 2, RecordField::Kind::kNumber},
}};

// The entry of `field` in kPictureRecordFields.
constexpr const RecordField& FieldOf(PictureField field) {
  return kPictureRecordFields[static_cast<std::size_t>(field)];
}

// The columns of a record: up to the last column of its last field.
inline constexpr int kPictureRecordLength = kPictureRecordFields.back().last_column();
// The width of a name, in the record and in Input.txt alike.
inline constexpr int kNameLength = FieldOf(PictureField::kLocation).width;
static_assert(FieldOf(PictureField::kSpecies).width == kNameLength);
// Where a record's species field begins (counted from 0).
inline constexpr std::size_t kSpeciesOffset = FieldOf(PictureField::kSpecies).offset();

// The largest number that fits number field `field` without a sign.
constexpr std::int32_t LargestNumberIn(PictureField field) {
  std::int32_t largest = 0;
  for (int digit = 0; digit < FieldOf(field).width; ++digit) largest = largest * 10 + 9;
  return largest;
}

namespace picture_record_detail {

// The number of columns between the fields.
constexpr std::size_t CountSeparatingColumns() {
  std::size_t count = 0;
  for (std::size_t f = 1; f < kPictureRecordFields.size(); ++f) {
    count += static_cast<std::size_t>(kPictureRecordFields[f].first_column -
                                      kPictureRecordFields[f - 1].last_column() - 1);
  }
  return count;
}

// The N columns between the fields, counted from 1.
template <std::size_t N>
constexpr std::array<int, N> SeparatingColumns() {
  std::array<int, N> columns{};
  std::size_t n = 0;
  for (std::size_t f = 1; f < kPictureRecordFields.size(); ++f) {
    for (int c = kPictureRecordFields[f - 1].last_column() + 1;
         c < kPictureRecordFields[f].first_column; ++c) {
      columns[n++] = c;
    }
  }
  return columns;
}

// The fields and, between them, the skips of their separating columns.
constexpr std::array<Field, 2 * kPictureRecordFields.size() - 1> LayoutFields() {
  std::array<Field, 2 * kPictureRecordFields.size() - 1> fields{};
  for (std::size_t f = 0; f < kPictureRecordFields.size(); ++f) {
    const RecordField& field = kPictureRecordFields[f];
    fields[2 * f] =
        field.kind == RecordField::Kind::kText ? TextField(field.width) : IntegerField(field.width);
    if (f + 1 < kPictureRecordFields.size()) {
      fields[2 * f + 1] =
          SkipColumns(kPictureRecordFields[f + 1].first_column - field.last_column() - 1);
    }
  }
  return fields;
}

// Whether the first field begins the record and each later one begins
// after a gap behind the one before it.
constexpr bool FieldsFollowOneAnother() {
  if (kPictureRecordFields.front().first_column != 1) return false;
  for (std::size_t f = 1; f < kPictureRecordFields.size(); ++f) {
    if (kPictureRecordFields[f].first_column <= kPictureRecordFields[f - 1].last_column() + 1) {
      return false;
    }
  }
  return true;
}
// A blank in every separating column is what tells a record in the fixed
// columns (MisalignedRecords), so there must be one after every field.
static_assert(FieldsFollowOneAnother());

inline constexpr auto kLayoutFields = LayoutFields();

}  // namespace picture_record_detail

// The columns between the fields (counted from 1), which a record in the
// fixed columns leaves blank: 26, 52, 57, 60, 63, 66, 69 and 72.
inline constexpr auto kSeparatingColumns =
    picture_record_detail::SeparatingColumns<picture_record_detail::CountSeparatingColumns()>();

// The picture record as the text layer reads it: the fields of the table
// with the separating columns skipped.
inline constexpr FieldLayout kPictureLayout{picture_record_detail::kLayoutFields};

// The fields of a picture record; the two names are views of the record
// (or of what the writer is given).
struct PictureRecord {
  std::string_view location;
  std::string_view species;
  Date date;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t count = 0;
};

// The number `field` (kYear .. kCount) of `picture`.
std::int32_t& NumberOf(PictureRecord& picture, PictureField field);
std::int32_t NumberOf(const PictureRecord& picture, PictureField field);

// The items a fixed-width read of kPictureLayout fills, in field order:
// `picture`'s names as views, then its numbers.
std::array<ReadItem, kPictureRecordFields.size()> PictureReadItems(PictureRecord& picture);

// The record a line of AllPictures.txt holds: its first kPictureRecordLength
// characters, a shorter line padded with blanks in `padding`.
std::string_view RecordOfLine(std::string_view line,
                              std::array<char, kPictureRecordLength>& padding);

// The columns of a record's species field.
inline std::string_view SpeciesField(std::string_view record) {
  return record.substr(kSpeciesOffset, static_cast<std::size_t>(kNameLength));
}

// Takes a record of kPictureRecordLength characters (as RecordOfLine gives
// it) apart as a fixed-width read of kPictureLayout does: the two names in
// place, then the numbers. Returns false when a number cannot be read
// (where that read fails with 231); `picture` is then partly filled.
bool ParsePictureRecord(std::string_view record, PictureRecord& picture);

// Appends `picture` as a record of kPictureRecordLength columns, without a
// line end: each name followed by blanks up to its field's width, each
// number right-aligned in its field, a blank in every separating column. A
// value wider than its field is written whole and moves the fields after it
// to the right, so callers keep names to kNameLength bytes, years to 4
// digits and the other numbers to 2.
void AppendPictureRecord(std::string& out, const PictureRecord& picture);

}  // namespace ot
