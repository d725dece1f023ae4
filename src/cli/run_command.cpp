// occasion-tallies run: the classic run with its answers given as options.
#include <memory>

#include "cli/command.h"
#include "report/survey_report.h"
#include "results/survey_results.h"
#include "run_driver.h"
#include "textio/folder.h"

namespace ot::cli {
namespace {

struct RunOptions {
  std::string folder = ".";
  std::int32_t independence_period = 0;
  std::int32_t occasion_days = 0;
  std::string report_file;  // empty: no report
};

int RunWithAnswers(const RunOptions& options, const ProgramIo& io) {
  DiskFolder folder(options.folder);
  const RunAnswers answers{options.independence_period, options.occasion_days};
  RunEnvironment env{folder, io.console_in, io.console_out, io.err};
  env.answers = &answers;
  SurveyResults results(/*keep_day_pictures=*/true);
  if (!options.report_file.empty()) env.observer = &results;
  RunOccasionTallies(env);
  if (!options.report_file.empty())
    report::WriteSurveyReport(results, options.folder, options.report_file);
  return 0;
}

}  // namespace

void AddRunCommand(CLI::App& app, CommandAction& chosen) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* run = app.add_subcommand(
      "run",
      "Run on a survey folder without questions: the answers come from the options, and the "
      "files, warnings and exit status are those of the dialogue.");
  run->add_option("-p,--period", options->independence_period, "Independence period in minutes")
      ->required()
      ->type_name("MINUTES");
  run->add_option("-d,--days", options->occasion_days, "Days per camera-trap occasion (not 0)")
      ->required()
      ->type_name("DAYS")
      ->check(CLI::Validator(
          [](const std::string& value) {
            return value.find_first_not_of("+-0") == std::string::npos ? "must not be 0" : "";
          },
          "not 0"));
  AddSurveyFolderOption(*run, options->folder);
  run->add_option("--report", options->report_file,
                  "Also write a visual report of the run as one HTML page (relative to DIR)")
      ->type_name("FILE.html");
  run->callback([options, &chosen] {
    chosen = [options](const ProgramIo& io) { return RunWithAnswers(*options, io); };
  });
}

}  // namespace ot::cli
