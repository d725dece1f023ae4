// What every subcommand shares: how it adds itself to the command line and
// the options common to several commands. Each subcommand lives in a file of
// its own (`check_command.cpp`, `run_command.cpp`, ...).
#pragma once

#include <CLI/CLI.hpp>
#include <functional>
#include <string>

#include "cli/command_line.h"

namespace ot::cli {

// What the chosen subcommand does once the whole command line is parsed;
// returns the exit status.
using CommandAction = std::function<int(const ProgramIo&)>;

// Each Add...Command adds its subcommand to `app`; when the subcommand is
// given, `chosen` is set to its action.
void AddCheckCommand(CLI::App& app, CommandAction& chosen);
void AddImportCommand(CLI::App& app, CommandAction& chosen);
void AddRunCommand(CLI::App& app, CommandAction& chosen);

// Adds `-C DIR`: the survey folder, the current folder when not given.
CLI::Option* AddSurveyFolderOption(CLI::App& command, std::string& folder);

}  // namespace ot::cli
