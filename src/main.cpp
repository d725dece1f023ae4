#include <fcntl.h>

#include <csignal>
#include <cstdlib>
#include <iostream>

#include "run_driver.h"
#include "textio/failure.h"

namespace {

// A closed standard stream is given /dev/null, opened so that its use fails
// just as on the closed stream (reading from 0, writing to 1); otherwise the
// first file the run opens would take its number and receive the console.
void KeepStandardStreamsTaken() {
  const int modes[] = {O_WRONLY, O_RDONLY, O_WRONLY};
  for (int fd = 0; fd <= 2; ++fd) {
    if (::fcntl(fd, F_GETFD) == -1 && ::open("/dev/null", modes[fd]) != fd) std::abort();
  }
}

}  // namespace

int main() {
  KeepStandardStreamsTaken();
  // A closed standard output must be a reported write failure, not a death.
  std::signal(SIGPIPE, SIG_IGN);
  ot::DiskFolder folder(".");
  ot::FdSource console_in(0, false);
  ot::FdSink console_out(1, false);
  try {
    ot::RunOccasionTallies({folder, console_in, console_out, std::cerr});
  } catch (const ot::RunFailure& failure) {
    std::cerr << failure.what() << std::flush;
    return 127;
  }
  return 0;
}
