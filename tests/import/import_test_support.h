// Helpers for the import tests: the command line run in-process, and the
// bundled Camtrap DP package copied where a test may change it.
#pragma once

#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/failure.h"
#include "cli/command_line.h"
#include "support/test_support.h"
#include "textio/byte_stream.h"

namespace ot::testing {

struct CommandResult {
  int status = -1;
  std::string out;
  std::string err;
};

// Runs `occasion-tallies ARGS...` in-process, as main would: a failure's
// text goes to standard error and its status is returned; standard output
// holds the console lines, then the command's own lines. Every occurrence
// of `folder`'s path in the output is shown as <dir>.
inline CommandResult RunCommand(const std::vector<std::string>& args, const ScratchFolder& folder) {
  std::vector<std::string> argv = {"occasion-tallies"};
  argv.insert(argv.end(), args.begin(), args.end());
  StringSource in("");
  StringSink console;
  std::ostringstream out;
  std::ostringstream err;
  CommandResult result;
  try {
    result.status = cli::RunCommandLine(argv, {in, console, out, err});
  } catch (const RunFailure& failure) {
    err << failure.what();
    result.status = failure.exit_status();
  }
  const auto shown = [&folder](std::string text) {
    const std::string path = folder.path().string();
    for (std::size_t at = text.find(path); at != std::string::npos; at = text.find(path, at)) {
      text.replace(at, path.size(), "<dir>");
    }
    return text;
  };
  result.out = shown(console.text() + out.str());
  result.err = shown(err.str());
  return result;
}

// The Camtrap DP package of the import tests, committed with them.
inline const std::filesystem::path kSmallPackage =
    std::filesystem::path(OT_SOURCE_DIR) / "tests/import/data/camtrap-dp-small";

// Copies the package into `folder`/`name` and returns its path.
inline std::filesystem::path CopySmallPackage(const ScratchFolder& folder,
                                              const std::string& name = "package") {
  const std::filesystem::path target = folder.path() / name;
  std::filesystem::copy(kSmallPackage, target, std::filesystem::copy_options::recursive);
  return target;
}

}  // namespace ot::testing
