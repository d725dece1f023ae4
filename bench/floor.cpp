// read-floor FILE N: reads FILE N times from start to end with large read(2) calls and prints the
// number of lines ('\n') it holds. It is the least that a program scanning the file once per
// species must do, and so the yardstick of the benchmark.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string_view>
#include <vector>

namespace {

constexpr std::size_t kBufferSize = 1 << 20;

// Lines of one pass over the file, or -1 after a failure (already reported).
std::int64_t CountLines(const char* path, std::vector<char>& buffer) {
  const int fd = ::open(path, O_RDONLY);
  if (fd < 0) {
    std::fprintf(stderr, "read-floor: %s: %s\n", path, std::strerror(errno));
    return -1;
  }
  std::int64_t lines = 0;
  for (;;) {
    const ssize_t got = ::read(fd, buffer.data(), buffer.size());
    if (got < 0) {
      if (errno == EINTR) continue;
      std::fprintf(stderr, "read-floor: %s: %s\n", path, std::strerror(errno));
      ::close(fd);
      return -1;
    }
    if (got == 0) break;
    const char* p = buffer.data();
    const char* end = p + got;
    while ((p = static_cast<const char*>(
                std::memchr(p, '\n', static_cast<std::size_t>(end - p)))) != nullptr) {
      ++lines;
      ++p;
    }
  }
  ::close(fd);
  return lines;
}

}  // namespace

int main(int argc, char** argv) {
  long passes = 0;
  if (argc == 3) {
    const std::string_view text = argv[2];
    const auto result = std::from_chars(text.data(), text.data() + text.size(), passes);
    if (result.ec != std::errc() || result.ptr != text.data() + text.size()) passes = 0;
  }
  if (passes < 1) {
    std::fprintf(stderr, "usage: read-floor FILE N   (N >= 1 passes)\n");
    return 2;
  }
  std::vector<char> buffer(kBufferSize);
  std::int64_t lines = 0;
  for (long pass = 0; pass < passes; ++pass) {
    lines = CountLines(argv[1], buffer);
    if (lines < 0) return 1;
  }
  std::printf("%lld\n", static_cast<long long>(lines));
  return 0;
}
