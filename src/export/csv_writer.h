// CSV rows as R, pandas and spreadsheets read them: fields separated by
// commas, rows ended by a line feed, a field quoted (by libcsv's writer)
// only when it holds a comma, a double quote or a line break, missing
// values as NA. Bytes pass through as they are, so UTF-8 names stay UTF-8.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/atomic_file.h"

namespace ot {

// Appends `field` to `out` as one CSV field.
void AppendCsvField(std::string& out, std::string_view field);

// Writes rows into a file, one field at a time.
class CsvWriter {
 public:
  explicit CsvWriter(AtomicFile& file) : file_(file) {}

  CsvWriter& Text(std::string_view field);
  CsvWriter& Number(std::int64_t value);
  // A number, or NA when there is none.
  CsvWriter& Number(std::optional<std::int64_t> value);
  // The shortest decimal text that reads back as `value`; NA when none.
  CsvWriter& Decimal(std::optional<double> value);
  // Several fields named `prefix` then 1..count: "y.1,y.2,...".
  CsvWriter& NumberedNames(std::string_view prefix, std::int64_t count);
  // Ends the row and hands it to the file.
  void EndRow();

 private:
  void Separate();

  AtomicFile& file_;
  std::string row_;  // reused for every row
  bool row_started_ = false;
};

}  // namespace ot
