#include "export/csv_writer.h"

#include <csv.h>

#include <charconv>

namespace ot {
namespace {

bool NeedsQuotes(std::string_view field) {
  return field.find_first_of(",\"\r\n") != std::string_view::npos;
}

template <typename T>
void AppendNumber(std::string& out, T value) {
  char text[32];
  const auto result = std::to_chars(text, text + sizeof text, value);
  out.append(text, result.ptr);
}

}  // namespace

void AppendCsvField(std::string& out, std::string_view field) {
  if (!NeedsQuotes(field)) {
    out.append(field);
    return;
  }
  // Quoted, each quote doubled: at most two bytes per byte and the quotes.
  const std::size_t start = out.size();
  out.resize(start + 2 * field.size() + 2);
  const std::size_t written =
      csv_write(out.data() + start, out.size() - start, field.data(), field.size());
  out.resize(start + written);
}

void CsvWriter::Separate() {
  if (row_started_) row_.push_back(',');
  row_started_ = true;
}

CsvWriter& CsvWriter::Text(std::string_view field) {
  Separate();
  AppendCsvField(row_, field);
  return *this;
}

CsvWriter& CsvWriter::Number(std::int64_t value) {
  Separate();
  AppendNumber(row_, value);
  return *this;
}

CsvWriter& CsvWriter::Number(std::optional<std::int64_t> value) {
  if (!value) return Text("NA");
  return Number(*value);
}

CsvWriter& CsvWriter::Decimal(std::optional<double> value) {
  if (!value) return Text("NA");
  Separate();
  AppendNumber(row_, *value);
  return *this;
}

CsvWriter& CsvWriter::NumberedNames(std::string_view prefix, std::int64_t count) {
  for (std::int64_t k = 1; k <= count; ++k) {
    Separate();
    row_.append(prefix);
    AppendNumber(row_, k);
  }
  return *this;
}

void CsvWriter::EndRow() {
  row_.push_back('\n');
  file_.Write(row_);
  row_.clear();
  row_started_ = false;
}

}  // namespace ot
