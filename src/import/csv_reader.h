// CSV tables read a row at a time through libcsv: quoted fields with commas,
// doubled quotes and line breaks, a UTF-8 byte-order mark, CRLF or LF line
// ends, and tables split over several files that are read one after the
// other. Messages name the file, the line and the column.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "import/chunk_source.h"

namespace ot::import {

// One file of a table: its name as shown in messages, and how to open it
// (called when the reader reaches the file).
struct CsvInput {
  std::string shown;
  std::function<std::unique_ptr<ChunkSource>()> open;
};

// Whether a value stands for a missing one: empty, NA, NaN or nan.
bool IsMissingValue(std::string_view value);

class CsvReader {
 public:
  // `delimiter` 0 takes the comma, semicolon or tab that the first file's
  // header line holds most often. Fails when the first file has no header.
  CsvReader(std::vector<CsvInput> files, char delimiter = ',');
  ~CsvReader();
  CsvReader(const CsvReader&) = delete;
  CsvReader& operator=(const CsvReader&) = delete;

  // The header of the first file, each name without surrounding blanks.
  const std::vector<std::string>& header() const { return header_; }
  // The first column named `name` (ignoring ASCII case).
  std::optional<std::size_t> FindColumn(std::string_view name) const;
  // The column named `name`; fails naming the file when there is none.
  std::size_t RequireColumn(std::string_view name) const;
  char delimiter() const { return delimiter_; }
  // The first file's name as shown in messages.
  const std::string& shown() const { return files_.front().shown; }

  // Moves to the next data row; false after the last one. Rows whose
  // fields are all empty are passed over. A later file's first row is
  // taken as its header when it repeats the first file's header.
  bool Next();

  // The current row's value in `column` without surrounding blanks; empty
  // for a missing value.
  std::string_view Value(std::size_t column) const;
  // The line, counted from 1, where the current row's `column` ends.
  std::int64_t Line(std::size_t column) const;
  // The current row's file, as shown in messages.
  const std::string& RowFile() const { return files_[file_index_].shown; }
  // Fails naming the file, the line and the column of the current row:
  // "FILE: line N, column NAME: expected EXPECTED, found VALUE".
  [[noreturn]] void Fail(std::size_t column, std::string_view expected) const;

 private:
  struct Row {
    std::vector<std::string> fields;
    std::vector<std::int64_t> lines;
    std::size_t size = 0;
  };
  static void OnField(void* data, std::size_t size, void* self);
  static void OnRowEnd(int terminator, void* self);

  bool OpenNextFile();
  bool FillBuffer();
  void SkipByteOrderMark();
  char DetectDelimiter();
  void StartParser();
  void Feed(const char* data, std::size_t size);
  bool FeedSome();
  bool NextRawRow();
  bool RepeatsHeader(const Row& row) const;
  [[noreturn]] void FailAtLine(std::int64_t line, std::string_view what) const;

  std::vector<CsvInput> files_;
  std::size_t file_index_ = 0;
  std::unique_ptr<ChunkSource> source_;
  struct Parser;  // libcsv's state, freed with the reader
  std::unique_ptr<Parser> parser_;
  char delimiter_;
  std::vector<char> buffer_;
  std::size_t pos_ = 0;
  std::size_t end_ = 0;
  bool source_done_ = true;
  bool file_done_ = true;
  bool file_has_rows_ = false;
  std::int64_t line_ = 1;
  bool at_line_start_ = true;
  std::vector<Row> rows_;  // rows parsed but not yet handed out
  std::size_t parsed_ = 0;
  std::size_t handed_ = 0;
  std::size_t current_ = 0;
  std::vector<std::string> header_;
};

}  // namespace ot::import
