#include "import/picture_count.h"

#include <charconv>

namespace ot::import {

PictureCount ReadPictureCount(std::string_view text) {
  if (text.empty()) return {CountReading::kMissing, 1};
  const std::size_t point = text.find('.');
  if (point != std::string_view::npos) {
    if (text.find_first_not_of('0', point + 1) != std::string_view::npos) return {};
    text = text.substr(0, point);
  }
  if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos) return {};
  std::int64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error == std::errc::result_out_of_range || (error == std::errc() && value > kLargestCount)) {
    return {CountReading::kCapped, static_cast<std::int32_t>(kLargestCount)};
  }
  if (error != std::errc() || end != text.data() + text.size()) return {};
  if (value == 0) return {CountReading::kZero, 0};
  return {CountReading::kRead, static_cast<std::int32_t>(value)};
}

bool TakePictureCount(const CsvReader& csv, std::optional<std::size_t> column,
                      ImportedSurvey& survey, std::int32_t& count) {
  const PictureCount read = ReadPictureCount(column ? csv.Value(*column) : std::string_view());
  switch (read.reading) {
    case CountReading::kUnreadable:
      csv.Fail(*column, "a whole number of individuals");
    case CountReading::kZero:
      return false;
    case CountReading::kMissing:
      ++survey.counts_missing;
      break;
    case CountReading::kCapped:
      ++survey.counts_capped;
      break;
    case CountReading::kRead:
      break;
  }
  count = read.value;
  return true;
}

}  // namespace ot::import
