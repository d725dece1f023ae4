#include "import/csv_reader.h"

#include <csv.h>

#include <algorithm>
#include <array>
#include <cstring>

#include "base/strings.h"
#include "import/import_failure.h"

namespace ot::import {
namespace {

constexpr std::size_t kBufferSize = 1 << 16;
constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";

// Blanks only: a tab may be the delimiter; Value() trims tabs as well.
int IsBlank(unsigned char c) {
  return c == ' ' ? 1 : 0;
}

}  // namespace

struct CsvReader::Parser {
  csv_parser state{};
  bool live = false;
  void Free() {
    if (live) csv_free(&state);
    live = false;
  }
  ~Parser() { Free(); }
};

bool IsMissingValue(std::string_view value) {
  return value.empty() || value == "NA" || value == "NaN" || value == "nan";
}

CsvReader::CsvReader(std::vector<CsvInput> files, char delimiter)
    : files_(std::move(files)), parser_(std::make_unique<Parser>()), delimiter_(delimiter) {
  buffer_.resize(kBufferSize);
  rows_.resize(1);
  OpenNextFile();
  if (!NextRawRow()) FailImport(shown() + ": expected a header line, found an empty file");
  const Row& row = rows_[current_];
  for (std::size_t i = 0; i < row.size; ++i)
    header_.emplace_back(StripSpacesAndTabs(row.fields[i]));
  file_has_rows_ = true;
}

CsvReader::~CsvReader() = default;

std::optional<std::size_t> CsvReader::FindColumn(std::string_view name) const {
  for (std::size_t i = 0; i < header_.size(); ++i) {
    if (EqualsIgnoreCase(header_[i], name)) return i;
  }
  return std::nullopt;
}

std::size_t CsvReader::RequireColumn(std::string_view name) const {
  const std::optional<std::size_t> column = FindColumn(name);
  if (!column) {
    FailImport(shown() + ": line 1: expected a column named " + std::string(name) +
               " in the header line, found none");
  }
  return *column;
}

bool CsvReader::Next() {
  while (NextRawRow()) {
    const Row& row = rows_[current_];
    const bool empty =
        std::all_of(row.fields.begin(), row.fields.begin() + row.size,
                    [](const std::string& f) { return StripSpacesAndTabs(f).empty(); });
    if (empty) continue;
    const bool first_of_file = !file_has_rows_;
    file_has_rows_ = true;
    if (first_of_file && RepeatsHeader(row)) continue;
    if (row.size != header_.size()) {
      FailAtLine(row.lines[row.size - 1], "expected " + std::to_string(header_.size()) +
                                              " fields as in the header line, found " +
                                              std::to_string(row.size));
    }
    return true;
  }
  return false;
}

std::string_view CsvReader::Value(std::size_t column) const {
  const Row& row = rows_[current_];
  if (column >= row.size) return {};
  const std::string_view value = StripSpacesAndTabs(row.fields[column]);
  return IsMissingValue(value) ? std::string_view() : value;
}

std::int64_t CsvReader::Line(std::size_t column) const {
  const Row& row = rows_[current_];
  return row.lines[std::min(column, row.size - 1)];
}

void CsvReader::Fail(std::size_t column, std::string_view expected) const {
  const Row& row = rows_[current_];
  const std::string_view found = column < row.size ? StripSpacesAndTabs(row.fields[column]) : "";
  FailImport(RowFile() + ": line " + std::to_string(Line(column)) + ", column " +
             EscapeControlBytes(header_[column]) + ": expected " + std::string(expected) +
             ", found " + QuotedValue(found));
}

void CsvReader::FailAtLine(std::int64_t line, std::string_view what) const {
  FailImport(files_[file_index_].shown + ": line " + std::to_string(line) + ": " +
             std::string(what));
}

void CsvReader::OnField(void* data, std::size_t size, void* self) {
  auto& reader = *static_cast<CsvReader*>(self);
  Row& row = reader.rows_[reader.parsed_];
  const char* text = static_cast<const char*>(data);
  const std::string_view value =
      text == nullptr ? std::string_view() : std::string_view(text, size);
  if (row.size < row.fields.size()) {
    row.fields[row.size].assign(value);
    row.lines[row.size] = reader.line_;
  } else {
    row.fields.emplace_back(value);
    row.lines.push_back(reader.line_);
  }
  ++row.size;
}

void CsvReader::OnRowEnd(int /*terminator*/, void* self) {
  auto& reader = *static_cast<CsvReader*>(self);
  ++reader.parsed_;
  if (reader.parsed_ == reader.rows_.size()) reader.rows_.emplace_back();
  reader.rows_[reader.parsed_].size = 0;
}

bool CsvReader::NextRawRow() {
  while (handed_ == parsed_) {
    // Keep the row being filled; the rows handed out are done with.
    if (parsed_ > 0) {
      std::swap(rows_[0], rows_[parsed_]);
      parsed_ = handed_ = 0;
    }
    if (!FeedSome() && !OpenNextFile()) return false;
  }
  current_ = handed_++;
  return true;
}

bool CsvReader::OpenNextFile() {
  const std::size_t next = source_ == nullptr ? 0 : file_index_ + 1;
  if (next >= files_.size()) return false;
  parser_->Free();
  file_done_ = true;
  source_.reset();
  file_index_ = next;
  source_ = files_[next].open();
  pos_ = end_ = 0;
  line_ = 1;
  at_line_start_ = true;
  source_done_ = false;
  file_has_rows_ = false;
  SkipByteOrderMark();
  if (delimiter_ == 0) delimiter_ = DetectDelimiter();
  StartParser();
  return true;
}

bool CsvReader::FillBuffer() {
  if (source_done_) return false;
  if (end_ == buffer_.size()) buffer_.resize(buffer_.size() * 2);
  const std::size_t n = source_->Read(buffer_.data() + end_, buffer_.size() - end_);
  if (n == 0) source_done_ = true;
  end_ += n;
  return n > 0;
}

void CsvReader::SkipByteOrderMark() {
  while (end_ - pos_ < kByteOrderMark.size() && FillBuffer()) {
  }
  if (std::string_view(buffer_.data() + pos_, end_ - pos_).starts_with(kByteOrderMark)) {
    pos_ += kByteOrderMark.size();
  }
}

char CsvReader::DetectDelimiter() {
  const auto line_end = [this] {
    return std::find(buffer_.begin() + static_cast<std::ptrdiff_t>(pos_),
                     buffer_.begin() + static_cast<std::ptrdiff_t>(end_), '\n');
  };
  while (line_end() == buffer_.begin() + static_cast<std::ptrdiff_t>(end_) && FillBuffer()) {
  }
  constexpr std::array<char, 3> kCandidates = {',', ';', '\t'};
  std::array<std::size_t, 3> seen{};
  bool quoted = false;
  for (auto it = buffer_.begin() + static_cast<std::ptrdiff_t>(pos_); it != line_end(); ++it) {
    if (*it == '"') quoted = !quoted;
    for (std::size_t k = 0; k < kCandidates.size(); ++k) {
      if (!quoted && *it == kCandidates[k]) ++seen[k];
    }
  }
  const auto most = std::max_element(seen.begin(), seen.end());
  return *most == 0 ? ',' : kCandidates[static_cast<std::size_t>(most - seen.begin())];
}

void CsvReader::StartParser() {
  if (csv_init(&parser_->state, CSV_STRICT | CSV_STRICT_FINI) != 0) {
    FailImport(files_[file_index_].shown + ": cannot read: not enough memory");
  }
  parser_->live = true;
  file_done_ = false;
  csv_set_delim(&parser_->state, static_cast<unsigned char>(delimiter_));
  csv_set_space_func(&parser_->state, IsBlank);
}

void CsvReader::Feed(const char* data, std::size_t size) {
  if (csv_parse(&parser_->state, data, size, OnField, OnRowEnd, this) == size) return;
  if (csv_error(&parser_->state) == CSV_EPARSE) {
    FailAtLine(line_,
               "expected a delimiter or the line end after a closing double quote, and no double "
               "quote inside a field that does not begin with one");
  }
  FailAtLine(line_, "not enough memory for a field this long");
}

bool CsvReader::FeedSome() {
  if (file_done_) return false;
  if (pos_ == end_) {
    pos_ = end_ = 0;
    if (!FillBuffer()) {
      const int status = csv_fini(&parser_->state, OnField, OnRowEnd, this);
      parser_->Free();
      file_done_ = true;
      if (status != 0) {
        FailAtLine(line_ - (at_line_start_ && line_ > 1 ? 1 : 0),
                   "expected a closing double quote before the end of the file");
      }
      return true;
    }
  }
  const char* begin = buffer_.data() + pos_;
  const char* newline = static_cast<const char*>(std::memchr(begin, '\n', end_ - pos_));
  if (newline == nullptr) {
    Feed(begin, end_ - pos_);
    pos_ = end_;
    at_line_start_ = false;
    return true;
  }
  const auto size = static_cast<std::size_t>(newline - begin) + 1;
  Feed(begin, size);
  pos_ += size;
  ++line_;
  at_line_start_ = true;
  return true;
}

bool CsvReader::RepeatsHeader(const Row& row) const {
  if (row.size != header_.size()) return false;
  for (std::size_t i = 0; i < row.size; ++i) {
    if (!EqualsIgnoreCase(StripSpacesAndTabs(row.fields[i]), header_[i])) return false;
  }
  return true;
}

}  // namespace ot::import
