#include "checks/picture_log.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <string>

#include "checks/read_failure.h"
#include "run/picture_record.h"
#include "textio/fixed_width.h"

namespace ot::checks {
namespace {

// No field of at most 4 columns reads as this.
constexpr std::int32_t kUnread = std::numeric_limits<std::int32_t>::min();

constexpr std::string_view kLogName = "AllPictures.txt";

std::unique_ptr<TextUnit> OpenLog(Folder& folder) {
  int error = 0;
  std::unique_ptr<ByteSource> source = folder.OpenForReading(std::string(kLogName), error);
  if (source == nullptr) CannotCheck(SurveyFile::kPictures, 0, std::strerror(error));
  return std::make_unique<TextUnit>(kUnitInputFiles, std::string(kLogName), std::move(source));
}

}  // namespace

PictureLog::PictureLog(Folder& folder) : lines_(OpenLog(folder)), records_(OpenLog(folder)) {}

bool PictureLog::Next(PictureLine& line) {
  try {
    if (!lines_->NextLine(IoOperation::kFixedRead, line.text)) return false;
  } catch (const RunFailure& failure) {
    CannotCheck(SurveyFile::kPictures, failure);
  }
  line.number = lines_->lines();
  numbers_.fill(kUnread);
  const ReadItem items[] = {&line.location, &line.species, &numbers_[0], &numbers_[1], &numbers_[2],
                            &numbers_[3],   &numbers_[4],  &numbers_[5], &numbers_[6]};
  line.unreadable = -1;
  try {
    ReadFixedOrEnd(*records_, kPictureLayout, items);
  } catch (const RunFailure& failure) {
    if (!IsConversionFailure(failure)) CannotCheck(SurveyFile::kPictures, failure);
    line.unreadable =
        static_cast<int>(std::find(numbers_.begin(), numbers_.end(), kUnread) - numbers_.begin());
  }
  line.date = {numbers_[0], numbers_[1], numbers_[2]};
  line.hour = numbers_[3];
  line.minute = numbers_[4];
  line.second = numbers_[5];
  line.count = numbers_[6];
  return true;
}

}  // namespace ot::checks
