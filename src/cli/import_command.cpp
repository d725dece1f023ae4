// occasion-tallies import: writes Input.txt and AllPictures.txt from data
// exported by camera-trap software.
#include "cli/command.h"

namespace ot::cli {

void AddImportCommand(CLI::App& app, CommandAction& chosen) {
  CLI::App* import = app.add_subcommand(
      "import",
      "Write Input.txt and AllPictures.txt from a Camtrap DP package or a detection table.");
  import->callback([&chosen] { chosen = [](const ProgramIo&) { return 0;
};
}  // namespace ot::cli
);
}

}  // namespace ot::cli
