// peak-rss OUT COMMAND [ARG...]: runs COMMAND with this process's standard streams, writes its
// peak resident set size in KiB to the file OUT and exits with COMMAND's exit status. The
// benchmark uses it where /usr/bin/time is not installed.

#include <sys/resource.h>
#include <sys/types.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: peak-rss OUT COMMAND [ARG...]\n");
    return 2;
  }
  const pid_t child = ::fork();
  if (child < 0) {
    std::fprintf(stderr, "peak-rss: fork: %s\n", std::strerror(errno));
    return 2;
  }
  if (child == 0) {
    ::execvp(argv[2], argv + 2);
    std::fprintf(stderr, "peak-rss: %s: %s\n", argv[2], std::strerror(errno));
    ::_exit(127);
  }
  int status = 0;
  struct rusage usage {};
  while (::wait4(child, &status, 0, &usage) < 0) {
    if (errno != EINTR) {
      std::fprintf(stderr, "peak-rss: wait: %s\n", std::strerror(errno));
      return 2;
    }
  }
  std::FILE* out = std::fopen(argv[1], "w");
  if (out == nullptr || std::fprintf(out, "%ld\n", usage.ru_maxrss) < 0 || std::fclose(out) != 0) {
    std::fprintf(stderr, "peak-rss: cannot write %s\n", argv[1]);
    return 2;
  }
  if (WIFEXITED(status)) return WEXITSTATUS(status);
  return 128 + WTERMSIG(status);
}
