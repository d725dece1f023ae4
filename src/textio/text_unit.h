// Text units: numbered line streams over the console or a named file.
// Lines are read up to a line feed (a carriage return just before it belongs
// to the line end) and written with CRLF to files, LF to the console.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "base/failure.h"
#include "textio/byte_stream.h"
#include "textio/folder.h"

namespace ot {

// Unit numbers of the program's streams.
inline constexpr int kUnitInputFiles = 1;  // Input.txt, AllPictures.txt, SpeciesPics.txt (read)
inline constexpr int kUnitSpeciesPicsOut = 2;
inline constexpr int kUnitOutput = 3;
inline constexpr int kUnitConsoleIn = 5;
inline constexpr int kUnitConsoleOut = 6;
inline constexpr int kUnitTemp = 15;

class TextUnit {
 public:
  // A console unit over a source or sink owned by the caller.
  TextUnit(int number, std::string name, ByteSource& source);
  TextUnit(int number, std::string name, ByteSink& sink);
  // A file unit that owns its stream.
  TextUnit(int number, std::string name, std::unique_ptr<ByteSource> source);
  TextUnit(int number, std::string name, std::unique_ptr<ByteSink> sink);
  // Hands buffered lines to the sink; failures are ignored here, since a
  // unit is destroyed without a close only while a failure unwinds.
  ~TextUnit();
  TextUnit(const TextUnit&) = delete;
  TextUnit& operator=(const TextUnit&) = delete;

  int number() const { return number_; }
  const std::string& name() const { return name_; }
  // Lines read or written so far.
  std::int64_t lines() const { return lines_; }

  // Makes `line` the next line, valid until the next call, and returns true;
  // returns false at the end of input. A read error is the system failure,
  // reported as part of `operation`.
  bool NextLine(IoOperation operation, std::string_view& line) {
    return FindLine(0, line) || NextLineAfterRefill(operation, line);
  }

  // Writes one line and its line end. Console lines are handed on at once so
  // that a prompt is seen before its answer is read.
  void WriteLine(IoOperation operation, std::string_view line);

  // Writes the lines held so far to the system now, so that a refused
  // write is reported at this point rather than at a later flush. File lines
  // are otherwise held until a megabyte has gathered or the file is closed;
  // a failure then names the first line the system has not taken.
  void Flush() { Flush(last_write_); }

  // Hands buffered lines on and ends the stream. Failures are reported.
  void Close();

  // A line buffer for writers to build lines in without allocating.
  std::string& scratch() { return scratch_; }
  // A copy of the line being read, padded for fields read in place.
  std::string& padded_line() { return padded_line_; }

  // Throws `failure` for the line being read: the current line, or the one
  // sought at the end of input.
  [[noreturn]] void Fail(IoFailure failure, IoOperation operation, bool at_end,
                         SourcePlace where = SourcePlace::Current()) const;

 private:
  // Takes the next line from the buffer when its line end is there; the
  // first `skip` unread bytes are known to hold none.
  bool FindLine(std::size_t skip, std::string_view& line) {
    if (in_begin_ + skip >= in_end_) return false;
    const char* start = in_.get() + in_begin_;
    const void* nl = std::memchr(start + skip, '\n', in_end_ - in_begin_ - skip);
    if (nl == nullptr) return false;
    std::size_t length = static_cast<std::size_t>(static_cast<const char*>(nl) - start);
    in_begin_ += length + 1;
    if (length > 0 && start[length - 1] == '\r') --length;
    line = std::string_view(start, length);
    ++lines_;
    return true;
  }
  bool NextLineAfterRefill(IoOperation operation, std::string_view& line);
  bool Refill(IoOperation operation);
  void GrowInput(std::size_t size);
  // Writes the held lines to the sink; a refusal is reported as part of
  // `operation`.
  void Flush(IoOperation operation);

  int number_;
  std::string name_;
  std::int64_t lines_ = 0;
  bool console_ = false;

  std::unique_ptr<ByteSource> owned_source_;
  ByteSource* source_ = nullptr;
  // Not zero-filled: only the bytes read are ever looked at.
  std::unique_ptr<char[]> in_;
  std::size_t in_size_ = 0;
  std::size_t in_begin_ = 0;
  std::size_t in_end_ = 0;
  bool at_eof_ = false;
  bool last_read_full_ = false;

  std::unique_ptr<ByteSink> owned_sink_;
  ByteSink* sink_ = nullptr;
  std::string out_;
  std::int64_t lines_handed_on_ = 0;
  IoOperation last_write_ = IoOperation::kFixedWrite;
  std::string scratch_;
  std::string padded_line_;
};

enum class FileAccess {
  kRead,   // the file must exist; it is never created
  kWrite,  // created, or emptied when it exists
};

// The units of one run: the two console units, always connected, and the
// file units, connected between OpenTextFile and CloseTextFile.
class UnitTable {
 public:
  UnitTable(Folder& folder, ByteSource& console_in, ByteSink& console_out);
  // The connected unit `number`. Asking for an unconnected unit is a
  // programming error (std::logic_error).
  TextUnit& operator[](int number);
  Folder& folder() { return folder_; }

 private:
  friend void OpenTextFile(UnitTable&, int, std::string_view, FileAccess, SourcePlace);
  friend void CloseTextFile(UnitTable&, int, SourcePlace);
  Folder& folder_;
  TextUnit console_in_;
  TextUnit console_out_;
  std::array<std::unique_ptr<TextUnit>, 16> files_;
};

// Connects `name` (blanks at either end ignored) to `unit`. A failure of
// the operating system (a missing file to read, a directory in its place)
// is the system failure at open.
void OpenTextFile(UnitTable& units, int unit, std::string_view name, FileAccess access,
                  SourcePlace where = SourcePlace::Current());

// Disconnects `unit`; the file stays in the folder.
void CloseTextFile(UnitTable& units, int unit, SourcePlace where = SourcePlace::Current());

// Carries out a command line after removing its trailing blanks. The only
// command the program gives is "del NAME", which removes NAME from the
// folder; its outcome is never examined, and other commands do nothing.
void RunShellCommand(Folder& folder, std::string_view command);

}  // namespace ot
