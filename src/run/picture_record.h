// One record of the picture log, taken apart in place.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>

#include "run/study_input.h"
#include "textio/fixed_width.h"

namespace ot {

// The picture record as the text layer reads it: location, species, year,
// month, day, hour, minute, second, count, one blank between fields.
inline constexpr Field kPictureFields[] = {
    TextField(kNameLength), SkipColumns(1), TextField(kNameLength), SkipColumns(1),
    IntegerField(4),        SkipColumns(1), IntegerField(2),        SkipColumns(1),
    IntegerField(2),        SkipColumns(1), IntegerField(2),        SkipColumns(1),
    IntegerField(2),        SkipColumns(1), IntegerField(2),        SkipColumns(1),
    IntegerField(2)};
inline constexpr FieldLayout kPictureLayout{kPictureFields};

// The fields of a picture record; the two names are views of the record.
struct PictureRecord {
  std::string_view location;
  std::string_view species;
  Date date;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t count = 0;
};

// The record a line of AllPictures.txt holds: its first kPictureRecordLength
// characters, a shorter line padded with blanks in `padding`.
std::string_view RecordOfLine(std::string_view line,
                              std::array<char, kPictureRecordLength>& padding);

// The 25 columns of a record's species field.
inline std::string_view SpeciesField(std::string_view record) {
  return record.substr(kSpeciesColumn, kNameLength);
}

// Takes a record of kPictureRecordLength characters (as RecordOfLine gives
// it) apart as a fixed-width read of
// the picture layout does: location (25), blank, species (25), blank, year
// (4), then month, day, hour, minute, second and count (2 each) with a blank
// before each. Returns false when a number cannot be read (where that read
// fails with 231); `picture` is then partly filled.
bool ParsePictureRecord(std::string_view record, PictureRecord& picture);

}  // namespace ot
