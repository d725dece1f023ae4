// AllPictures.txt line by line, each line with its fields read exactly as
// the run reads them.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <string_view>

#include "run/study_input.h"
#include "textio/folder.h"
#include "textio/text_unit.h"

namespace ot::checks {

// A number field of a picture record: its name and its columns.
struct NumberField {
  std::string_view name;
  int first_column;  // counted from 1
  int width;
};
// year, month, day, hour, minute, second, count
inline constexpr std::array<NumberField, 7> kNumberFields = {{{"year", 53, 4},
                                                              {"month", 58, 2},
                                                              {"day", 61, 2},
                                                              {"hour", 64, 2},
                                                              {"minute", 67, 2},
                                                              {"second", 70, 2},
                                                              {"count", 73, 2}}};

// One line of the log. The views stay valid until the next line is read.
struct PictureLine {
  std::int64_t number = 0;  // counted from 1
  std::string_view text;    // without its line end
  std::string_view location;
  std::string_view species;
  Date date;
  std::int32_t hour = 0;
  std::int32_t minute = 0;
  std::int32_t second = 0;
  std::int32_t count = 0;
  // The first field of kNumberFields that does not read as a number (the
  // run's failure 231), or -1 when every one does; the fields after it are
  // then not read.
  int unreadable = -1;
};

class PictureLog {
 public:
  // Opens AllPictures.txt in `folder`; a file that cannot be opened ends
  // the check (CannotCheck).
  explicit PictureLog(Folder& folder);
  // Reads the next line into `line`; false at the end of the file. A read
  // error ends the check.
  bool Next(PictureLine& line);

 private:
  // The file twice: line by line, and record by record with the tally's
  // field layout, one line per record, so both keep the same line count.
  std::unique_ptr<TextUnit> lines_;
  std::unique_ptr<TextUnit> records_;
  std::array<std::int32_t, kNumberFields.size()> numbers_{};
};

}  // namespace ot::checks
