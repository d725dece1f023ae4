#include <csignal>
#include <iostream>

#include "run_driver.h"
#include "textio/failure.h"

int main() {
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
