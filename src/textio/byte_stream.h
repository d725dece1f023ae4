// Byte sources and sinks beneath the text units: a file descriptor, or a
// string for tests. Errors are returned as errno values so that the text
// layer can report them the way the operating system stated them.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace ot {

class ByteSource {
 public:
  virtual ~ByteSource() = default;
  // Reads up to `size` bytes into `data`. Returns the number read (0 at end
  // of input) or -1 with the errno value in `error`.
  virtual long Read(char* data, std::size_t size, int& error) = 0;
};

class ByteSink {
 public:
  virtual ~ByteSink() = default;
  // Writes all `bytes`. Returns 0, or the errno value of the failure.
  virtual int Write(std::string_view bytes) = 0;
  // Ends the stream (closes a descriptor). Returns 0 or an errno value.
  virtual int Close() { return 0; }
};

// A descriptor read or written with plain read(2)/write(2) calls. With
// `owned`, the descriptor is closed on Close() or destruction.
class FdSource : public ByteSource {
 public:
  FdSource(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdSource() override;
  FdSource(const FdSource&) = delete;
  FdSource& operator=(const FdSource&) = delete;
  long Read(char* data, std::size_t size, int& error) override;

 private:
  int fd_;
  bool owned_;
};

class FdSink : public ByteSink {
 public:
  FdSink(int fd, bool owned) : fd_(fd), owned_(owned) {}
  ~FdSink() override;
  FdSink(const FdSink&) = delete;
  FdSink& operator=(const FdSink&) = delete;
  int Write(std::string_view bytes) override;
  int Close() override;

 private:
  int fd_;
  bool owned_;
};

// In-memory source: hands out `text`, at most `chunk` bytes per call so that
// tests can exercise lines that span reads.
class StringSource : public ByteSource {
 public:
  explicit StringSource(std::string text, std::size_t chunk = 1 << 16)
      : text_(std::move(text)), chunk_(chunk) {}
  long Read(char* data, std::size_t size, int& error) override;

 private:
  std::string text_;
  std::size_t pos_ = 0;
  std::size_t chunk_;
};

// In-memory sink. With `fail_errno` set, every write fails with it.
class StringSink : public ByteSink {
 public:
  int Write(std::string_view bytes) override;
  const std::string& text() const { return text_; }
  int fail_errno = 0;

 private:
  std::string text_;
};

}  // namespace ot
