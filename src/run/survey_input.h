// The survey description (Input.txt) and the picture log (AllPictures.txt).
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "base/date.h"
#include "run/picture_record.h"
#include "textio/text_unit.h"

namespace ot {

// An operating period of a camera; the day numbers are set by the calendar
// (SetSurveyCalendar), then shifted to survey days, counted from 0
// (ShiftToSurveyDays).
struct Period {
  Date begin;
  Date end;
  std::int64_t begin_day = 0;
  std::int64_t end_day = 0;
};

struct Location {
  std::string name;  // exactly kNameLength characters, blank-padded
  std::int32_t num_periods = 0;
  std::vector<Period> periods;
};

// What Input.txt describes. The tables grow with what is read; a count read
// below 1 leaves its table empty.
struct SurveyDescription {
  std::int32_t num_locations = 0;
  std::vector<Location> locations;
  std::int32_t num_species = 0;
  std::vector<std::string> species;  // exactly kNameLength characters each
};

// Reads Input.txt on unit 1: line 1 skipped; the number of locations; per
// location its name line (first 25 characters, padded), its number of
// periods and one free-form read of six date values per period (begin year,
// month, day, end year, month, day); the number of species; the species
// name lines. Lines after the last species name are never read. Every value
// is 0 until read. A missing file, a short file or a malformed value ends
// the run with the text layer's failure.
void ReadInputFile(UnitTable& units, SurveyDescription& survey);

// The last year a picture record can hold.
inline constexpr std::int32_t kLastYear = LargestNumberIn(PictureField::kYear);

// Ends the run when a period's year lies outside 1..9999 or its month
// outside 1..12, naming the first such value: periods in file order, within
// a period begin year, begin month, end year, end month. The message names
// the location by number and by name (without its trailing blanks).
void CheckPeriodDates(const SurveyDescription& survey);

// Lines of AllPictures.txt that a listed species selects but that are not
// in the fixed columns: they hold a digit in their first kPictureRecordLength
// columns (so are no heading or remark) and a tab there, or something other
// than a blank in one of the kSeparatingColumns.
class MisalignedRecords {
 public:
  // Whether the record (its first kPictureRecordLength columns) is out of
  // the fixed columns.
  static bool IsMisaligned(std::string_view record);
  // Notes line `line` (counted from 1) once, however many species select it.
  void Note(std::int64_t line);
  std::int64_t count() const { return count_; }
  std::int64_t first_line() const { return first_line_; }
  // Lines in the file, as last read.
  std::int64_t total_lines = 0;

 private:
  std::vector<bool> noted_;
  std::int64_t count_ = 0;
  std::int64_t first_line_ = 0;
};

// Opens AllPictures.txt on unit 1 for reading, as a species' turn begins: a
// missing log is the system failure at open.
void OpenPictureLog(UnitTable& units);

// Creates SpeciesPics.txt on unit 2, as every species' turn does: a folder
// where it cannot be created is the system failure at open.
void CreateSpeciesPics(UnitTable& units);

// Copies the records of AllPictures.txt whose species field begins with the
// species name `species` (without its trailing blanks; case and every
// character count) into a fresh SpeciesPics.txt, each as a 74-character line
// (short lines padded with blanks, long ones cut). An all-blank name selects
// every record. A missing AllPictures.txt is the system failure at open.
// Selected records out of the fixed columns are noted in `misaligned`.
void ExtractSpeciesPics(UnitTable& units, std::string_view species, MisalignedRecords& misaligned);

}  // namespace ot
