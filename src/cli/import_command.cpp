// occasion-tallies import: writes Input.txt and AllPictures.txt from data
// exported by camera-trap software, a Camtrap DP package or a detection
// table, and tells what it did.
#include <filesystem>
#include <memory>

#include "base/exit_status.h"
#include "cli/command.h"
#include "import/camtrap_dp_import.h"
#include "import/detection_table_import.h"
#include "import/import_summary.h"
#include "import/survey_files.h"

namespace ot::cli {
namespace {

namespace fs = std::filesystem;

// What both subcommands share: where to write, whether to replace, a title.
struct OutputOptions {
  std::string into = ".";
  bool force = false;
  std::string title;
};

struct CamtrapDpOptions {
  OutputOptions output;
  std::string package;
  std::string level;
};

struct TableOptions {
  OutputOptions output;
  std::string pictures;
  std::string deployments;
  import::DetectionTableOptions table;
};

void AddOutputOptions(CLI::App& command, OutputOptions& options) {
  command
      .add_option("--into", options.into,
                  "Folder to write Input.txt and AllPictures.txt into "
                  "(default: current folder)")
      ->type_name("DIR");
  command.add_flag("--force", options.force,
                   "Replace Input.txt and AllPictures.txt when they are already there");
  command.add_option("--title", options.title, "Title for the first line of Input.txt")
      ->type_name("TEXT");
}

// Writes the survey and prints the summary.
int Finish(import::ImportedSurvey survey, const OutputOptions& options, const ProgramIo& io) {
  if (!options.title.empty()) survey.title = options.title;
  import::FinishSurvey(survey);
  const fs::path into(options.into);
  import::WriteSurveyFiles(into, survey, options.force);
  io.out << import::ImportSummary(survey, into);
  io.out << "Next: run occasion-tallies in " << into.string() << " (or occasion-tallies run -C "
         << into.string() << " -p MINUTES -d DAYS).\n";
  io.out.flush();
  return kExitOk;
}

int ImportPackage(const CamtrapDpOptions& options, const ProgramIo& io) {
  import::CheckSurveyFilesFree(options.output.into, options.output.force);
  const import::ObservationLevel level = options.level == "event" ? import::ObservationLevel::kEvent
                                         : options.level == "media"
                                             ? import::ObservationLevel::kMedia
                                             : import::ObservationLevel::kChosenByPackage;
  return Finish(import::ImportCamtrapDp(options.package, level), options.output, io);
}

int ImportTable(const TableOptions& options, const ProgramIo& io) {
  import::CheckSurveyFilesFree(options.output.into, options.output.force);
  import::DetectionTableOptions table = options.table;
  table.pictures = options.pictures;
  table.deployments = options.deployments;
  return Finish(import::ImportDetectionTable(table), options.output, io);
}

void AddCamtrapDpCommand(CLI::App& import, CommandAction& chosen) {
  auto options = std::make_shared<CamtrapDpOptions>();
  CLI::App* command = import.add_subcommand(
      "camtrap-dp",
      "Import a Camtrap DP package: one location per locationID, one operating period per "
      "deployment, one picture per animal observation at event level (else media level), in "
      "each deployment's local time.");
  command->add_option("PACKAGE", options->package, "The package folder or its datapackage.json")
      ->required();
  command
      ->add_option("--level", options->level,
                   "Observations to import: event or media (default: event when the package has "
                   "any event-level observation, else media)")
      ->check(CLI::IsMember({"event", "media"}))
      ->type_name("LEVEL");
  AddOutputOptions(*command, options->output);
  command->callback([options, &chosen] {
    chosen = [options](const ProgramIo& io) { return ImportPackage(*options, io); };
  });
}

void AddColumnOption(CLI::App& command, const std::string& name, std::string& target,
                     const std::string& help) {
  command.add_option(name, target, help)->type_name("NAME");
}

void AddTableCommand(CLI::App& import, CommandAction& chosen) {
  auto options = std::make_shared<TableOptions>();
  import::ColumnNames& columns = options->table.columns;
  CLI::App* command = import.add_subcommand(
      "table",
      "Import a detection table (one row per picture or detection) and its deployments table "
      "(one row per camera deployment). Columns are found by their header names, ignoring case; "
      "name them with the options when the names differ.");
  command->add_option("PICTURES", options->pictures, "The detection table (CSV, may be gzipped)")
      ->required();
  command
      ->add_option("--deployments", options->deployments,
                   "The deployments table: location, begin and end of each deployment")
      ->required()
      ->type_name("FILE");
  AddColumnOption(*command, "--location-column", columns.location,
                  "Location column of both tables (default: location, station, site, placename, "
                  "locationName or deployment_id)");
  AddColumnOption(*command, "--deployment-location-column", columns.deployment_location,
                  "Location column of the deployments table, when it differs");
  AddColumnOption(*command, "--species-column", columns.species,
                  "Species column (default: species, scientificName or common_name)");
  AddColumnOption(*command, "--datetime-column", columns.datetime,
                  "Date-and-time column (default: datetime, timestamp, DateTimeOriginal or "
                  "date_time)");
  AddColumnOption(*command, "--date-column", columns.date,
                  "Date column, with --time-column (default: date)");
  AddColumnOption(*command, "--time-column", columns.time,
                  "Time-of-day column, with --date-column (default: time)");
  AddColumnOption(*command, "--count-column", columns.count,
                  "Count column (default: count, individuals or number_of_objects; none: 1)");
  AddColumnOption(*command, "--begin-column", columns.begin,
                  "Deployment begin column (default: start, setup_date, start_date or "
                  "deploymentStart)");
  AddColumnOption(*command, "--end-column", columns.end,
                  "Deployment end column (default: end, retrieval_date, end_date or "
                  "deploymentEnd)");
  command
      ->add_option("--time-format", options->table.time_format,
                   "strftime-style format of the pictures' times, e.g. \"%d/%m/%Y %H:%M\" "
                   "(default: ISO 8601)")
      ->type_name("FORMAT");
  command
      ->add_option("--date-format", options->table.date_format,
                   "strftime-style format of the deployments' begin and end, e.g. \"%d/%m/%Y\" "
                   "(default: ISO 8601)")
      ->type_name("FORMAT");
  command
      ->add_option("--skip-species", options->table.skip_species,
                   "Leave out rows of this species, e.g. Human or Blank (may be repeated)")
      ->type_name("NAME");
  AddOutputOptions(*command, options->output);
  command->callback([options, &chosen] {
    chosen = [options](const ProgramIo& io) { return ImportTable(*options, io); };
  });
}

}  // namespace

void AddImportCommand(CLI::App& app, CommandAction& chosen) {
  CLI::App* import = app.add_subcommand(
      "import",
      "Write Input.txt and AllPictures.txt from a Camtrap DP package or a detection table.");
  import->require_subcommand(1);
  AddCamtrapDpCommand(*import, chosen);
  AddTableCommand(*import, chosen);
}

}  // namespace ot::cli
