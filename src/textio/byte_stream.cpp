#include "textio/byte_stream.h"

#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ot {

FdSource::~FdSource() {
  if (owned_) ::close(fd_);
}

long FdSource::Read(char* data, std::size_t size, int& error) {
  for (;;) {
    ssize_t n = ::read(fd_, data, size);
    if (n >= 0) return static_cast<long>(n);
    if (errno == EINTR) continue;
    error = errno;
    return -1;
  }
}

FdSink::~FdSink() {
  if (owned_ && fd_ >= 0) ::close(fd_);
}

int FdSink::Write(std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd_, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return errno;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return 0;
}

int FdSink::Close() {
  if (!owned_ || fd_ < 0) return 0;
  int fd = fd_;
  fd_ = -1;
  return ::close(fd) == 0 ? 0 : errno;
}

long StringSource::Read(char* data, std::size_t size, int&) {
  std::size_t n = std::min({size, chunk_, text_.size() - pos_});
  std::memcpy(data, text_.data() + pos_, n);
  pos_ += n;
  return static_cast<long>(n);
}

int StringSink::Write(std::string_view bytes) {
  if (fail_errno != 0) return fail_errno;
  text_.append(bytes);
  return 0;
}

}  // namespace ot
