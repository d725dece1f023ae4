// The program's command line: no arguments runs the classic dialogue;
// subcommands run the tools built on it.
#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "textio/byte_stream.h"

namespace ot::cli {

// The standard streams, as a command sees them.
struct ProgramIo {
  ByteSource& console_in;  // standard input, read through the text layer
  ByteSink& console_out;   // standard output, written through the text layer
  std::ostream& out;       // standard output, for a command's own lines
  std::ostream& err;       // standard error
};

// Runs what `args` asks for (args[0] is the program's name) and returns the
// exit status: 0 after a normal end, 2 for a usage error (with its message
// on `io.err`), or a command's own status. A failure is thrown as a
// RunFailure carrying its diagnostic and exit status.
int RunCommandLine(const std::vector<std::string>& args, const ProgramIo& io);

}  // namespace ot::cli
