#include "cli/command_line.h"

#include <CLI/CLI.hpp>
#include <memory>

#include "base/exit_status.h"
#include "cli/command.h"
#include "cli/scan_memory.h"
#include "run/run_driver.h"
#include "textio/folder.h"

namespace ot::cli {
namespace {

constexpr const char* kDescription =
    "OccasionTallies: per-species tables of independent camera-trap events, one row per "
    "location and one column per occasion.\n"
    "Without arguments it runs in the current folder and asks its two questions.";

// The classic run: the dialogue in the current folder.
int RunDialogue(const ProgramIo& io) {
  DiskFolder folder(".");
  RunEnvironment env{folder, io.console_in, io.console_out, io.err};
  env.scan_memory = ScanMemoryFromEnvironment(io.err);
  RunOccasionTallies(env);
  return kExitOk;
}

// CLI11 parses argv-style arrays; keep the strings alive alongside.
std::vector<const char*> ArgvOf(const std::vector<std::string>& args) {
  std::vector<const char*> argv;
  for (const std::string& arg : args) argv.push_back(arg.c_str());
  argv.push_back(nullptr);
  return argv;
}

}  // namespace

CLI::Option* AddSurveyFolderOption(CLI::App& command, std::string& folder) {
  return command.add_option("-C,--directory", folder, "Survey folder (default: current folder)")
      ->type_name("DIR");
}

int RunCommandLine(const std::vector<std::string>& args, const ProgramIo& io) {
  if (args.size() <= 1) return RunDialogue(io);

  CLI::App app(kDescription, "occasion-tallies");
  app.set_version_flag("--version", std::string("occasion-tallies ") + OT_VERSION);
  app.require_subcommand(1);
  app.fallthrough(false);
  CommandAction chosen;
  AddCheckCommand(app, chosen);
  AddImportCommand(app, chosen);
  AddRunCommand(app, chosen);

  const std::vector<const char*> argv = ArgvOf(args);
  try {
    app.parse(static_cast<int>(args.size()), argv.data());
  } catch (const CLI::CallForHelp& e) {
    return app.exit(e, io.out, io.err);
  } catch (const CLI::CallForAllHelp& e) {
    return app.exit(e, io.out, io.err);
  } catch (const CLI::CallForVersion& e) {
    return app.exit(e, io.out, io.err);
  } catch (const CLI::ParseError& e) {
    app.exit(e, io.out, io.err);
    return kExitUsage;
  }
  io.out.flush();
  return chosen ? chosen(io) : kExitUsage;
}

}  // namespace ot::cli
