#include <fcntl.h>

#include <csignal>
#include <cstdlib>
#include <iostream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "cli/command_line.h"

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

int main(int argc, char** argv) {
  KeepStandardStreamsTaken();
  // A closed standard output must be a reported write failure, not a death.
  std::signal(SIGPIPE, SIG_IGN);
  ot::FdSource console_in(0, false);
  ot::FdSink console_out(1, false);
  try {
    return ot::cli::RunCommandLine({argv, argv + argc},
                                   {console_in, console_out, std::cout, std::cerr});
  } catch (const ot::RunFailure& failure) {
    std::cout.flush();
    std::cerr << failure.diagnostic() << std::flush;
    return failure.exit_status();
  }
}
