// AllPictures.txt line by line, each line with its fields read exactly as
// the run reads them.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string_view>

#include "run/picture_record.h"
#include "textio/folder.h"
#include "textio/text_unit.h"

namespace ot::checks {

// One line of the log with the fields of its record (the names are views
// of the line). The views stay valid until the next line is read.
struct PictureLine : PictureRecord {
  std::int64_t number = 0;  // counted from 1, as lines are shown
  std::string_view text;    // without its line end
  // The first number field that does not read as a number (the run's
  // failure 231), none when every one does; the fields after it are then
  // not read.
  std::optional<PictureField> unreadable;
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
};

}  // namespace ot::checks
