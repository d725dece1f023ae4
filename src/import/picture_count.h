// A picture's count as the importers read it: 1 when missing, 99 when
// above 99 (the field has 2 columns), and a row with a count of 0 left out.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

#include "import/csv_reader.h"
#include "import/imported_survey.h"

namespace ot::import {

enum class CountReading { kRead, kMissing, kCapped, kZero, kUnreadable };

struct PictureCount {
  CountReading reading = CountReading::kUnreadable;
  std::int32_t value = 0;  // 1..99 when read, missing or capped
};

// Reads a whole number: digits, optionally followed by a point and zeros
// (as spreadsheets write 3.0). An empty text is a missing count.
PictureCount ReadPictureCount(std::string_view text);

// Reads the current row's count in `column` (none: every count is
// missing) into `count`, counting defaults and caps in `survey`. Returns
// false for a count of 0, which leaves the row out; fails naming the row
// when the count cannot be read.
bool TakePictureCount(const CsvReader& csv, std::optional<std::size_t> column,
                      ImportedSurvey& survey, std::int32_t& count);

}  // namespace ot::import
