#include "checks/picture_log.h"

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
  PictureRecord& record = line;
  for (std::size_t f = 0; f < kPictureRecordFields.size(); ++f) {
    if (kPictureRecordFields[f].kind == RecordField::Kind::kNumber) {
      NumberOf(record, static_cast<PictureField>(f)) = kUnread;
    }
  }
  line.unreadable.reset();
  try {
    ReadFixedOrEnd(*records_, kPictureLayout, PictureReadItems(record));
  } catch (const RunFailure& failure) {
    if (!IsConversionFailure(failure)) CannotCheck(SurveyFile::kPictures, failure);
    for (std::size_t f = 0; f < kPictureRecordFields.size() && !line.unreadable; ++f) {
      const auto field = static_cast<PictureField>(f);
      if (kPictureRecordFields[f].kind == RecordField::Kind::kNumber &&
          NumberOf(record, field) == kUnread) {
        line.unreadable = field;
      }
    }
  }
  return true;
}

}  // namespace ot::checks
