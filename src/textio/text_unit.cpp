#include "textio/text_unit.h"

#include <cstring>
#include <new>
#include <stdexcept>

#include "base/strings.h"

namespace ot {
namespace {

constexpr std::size_t kFileBuffer = 1 << 20;
constexpr std::size_t kFirstFileBuffer = 1 << 12;
constexpr std::size_t kConsoleBuffer = 1 << 12;

}  // namespace

TextUnit::TextUnit(int number, std::string name, ByteSource& source)
    : number_(number), name_(std::move(name)), console_(true), source_(&source) {
  GrowInput(kConsoleBuffer);
}

TextUnit::TextUnit(int number, std::string name, ByteSink& sink)
    : number_(number), name_(std::move(name)), console_(true), sink_(&sink) {}

TextUnit::TextUnit(int number, std::string name, std::unique_ptr<ByteSource> source)
    : number_(number), name_(std::move(name)), owned_source_(std::move(source)) {
  source_ = owned_source_.get();
  GrowInput(kFirstFileBuffer);
}

TextUnit::TextUnit(int number, std::string name, std::unique_ptr<ByteSink> sink)
    : number_(number), name_(std::move(name)), owned_sink_(std::move(sink)) {
  sink_ = owned_sink_.get();
}

TextUnit::~TextUnit() {
  if (sink_ != nullptr && !out_.empty()) sink_->Write(out_);
}

void TextUnit::GrowInput(std::size_t size) {
  std::unique_ptr<char[]> grown(new (std::nothrow) char[size]);
  if (!grown) ReportMemoryFailure(std::to_string(size));
  if (in_end_ > in_begin_) std::memcpy(grown.get(), in_.get() + in_begin_, in_end_ - in_begin_);
  in_end_ -= in_begin_;
  in_begin_ = 0;
  in_ = std::move(grown);
  in_size_ = size;
}

void TextUnit::Fail(IoFailure failure, IoOperation operation, bool at_end,
                    SourcePlace where) const {
  FailurePlace place{number_, name_, at_end ? lines_ + 1 : lines_};
  ReportIoFailure(failure, operation, place, 0, where);
}

// Moves the unread rest to the front and reads more behind it.
bool TextUnit::Refill(IoOperation operation) {
  if (at_eof_) return false;
  const std::size_t rest = in_end_ - in_begin_;
  if (in_begin_ > 0) {
    std::memmove(in_.get(), in_.get() + in_begin_, rest);
    in_begin_ = 0;
    in_end_ = rest;
  }
  // Small files keep a small buffer; large ones, whose reads fill it, soon
  // read a megabyte at a time. A line that fills the buffer doubles it, so
  // lines of any length are read whole.
  if (in_end_ == in_size_ || (in_size_ < kFileBuffer && last_read_full_)) {
    GrowInput(in_size_ * 2);
  }
  int error = 0;
  const std::size_t wanted = in_size_ - in_end_;
  long n = source_->Read(in_.get() + in_end_, wanted, error);
  if (n < 0) {
    FailurePlace place{number_, name_, lines_ + 1};
    ReportIoFailure(IoFailure::kSystem, operation, place, error);
  }
  if (n == 0) at_eof_ = true;
  last_read_full_ = static_cast<std::size_t>(n) == wanted;
  in_end_ += static_cast<std::size_t>(n);
  return n > 0;
}

bool TextUnit::NextLineAfterRefill(IoOperation operation, std::string_view& line) {
  for (;;) {
    const std::size_t scanned = in_end_ - in_begin_;  // no line end among these
    if (!Refill(operation)) break;
    if (FindLine(scanned, line)) return true;
  }
  if (in_begin_ == in_end_) return false;
  // A last line without line end is still a line.
  line = std::string_view(in_.get() + in_begin_, in_end_ - in_begin_);
  in_begin_ = in_end_;
  ++lines_;
  return true;
}

void TextUnit::WriteLine(IoOperation operation, std::string_view line) {
  last_write_ = operation;
  out_.append(line);
  out_.append(console_ ? "\n" : "\r\n");
  ++lines_;
  if (console_ || out_.size() >= kFileBuffer) Flush(operation);
}

void TextUnit::Flush(IoOperation operation) {
  if (out_.empty()) return;
  int error = sink_->Write(out_);
  if (error != 0) {
    out_.clear();  // never handed on again while the failure unwinds
    FailurePlace place{number_, name_, lines_handed_on_ + 1};
    ReportIoFailure(IoFailure::kSystem, operation, place, error);
  }
  out_.clear();
  lines_handed_on_ = lines_;
}

void TextUnit::Close() {
  if (sink_ == nullptr) return;
  // Lines still held fail as the writes that produced them.
  Flush(last_write_);
  int error = sink_->Close();
  if (error != 0) {
    FailurePlace place{number_, name_, lines_};
    ReportIoFailure(IoFailure::kSystem, IoOperation::kClose, place, error);
  }
}

UnitTable::UnitTable(Folder& folder, ByteSource& console_in, ByteSink& console_out)
    : folder_(folder),
      console_in_(kUnitConsoleIn, "stdin", console_in),
      console_out_(kUnitConsoleOut, "stdout", console_out) {}

TextUnit& UnitTable::operator[](int number) {
  if (number == kUnitConsoleIn) return console_in_;
  if (number == kUnitConsoleOut) return console_out_;
  if (number < 0 || number >= static_cast<int>(files_.size()) || !files_[number]) {
    throw std::logic_error("unit " + std::to_string(number) + " is not connected");
  }
  return *files_[number];
}

void OpenTextFile(UnitTable& units, int unit, std::string_view name, FileAccess access,
                  SourcePlace where) {
  std::string file(StripSpaces(name));
  int error = 0;
  std::unique_ptr<TextUnit> connected;
  if (access == FileAccess::kRead) {
    if (auto source = units.folder_.OpenForReading(file, error)) {
      connected = std::make_unique<TextUnit>(unit, file, std::move(source));
    }
  } else if (auto sink = units.folder_.OpenForWriting(file, error)) {
    connected = std::make_unique<TextUnit>(unit, file, std::move(sink));
  }
  if (!connected) {
    FailurePlace place{unit, file, 0};
    ReportIoFailure(IoFailure::kSystem, IoOperation::kOpen, place, error, where);
  }
  units.files_.at(static_cast<std::size_t>(unit)) = std::move(connected);
}

void CloseTextFile(UnitTable& units, int unit, SourcePlace) {
  units[unit].Close();
  units.files_.at(static_cast<std::size_t>(unit)).reset();
}

void RunShellCommand(Folder& folder, std::string_view command) {
  command = StripTrailingSpaces(command);
  constexpr std::string_view kDelete = "del ";
  if (command.substr(0, kDelete.size()) != kDelete) return;
  std::string name(StripSpaces(command.substr(kDelete.size())));
  if (!name.empty()) folder.Remove(name);
}

}  // namespace ot
