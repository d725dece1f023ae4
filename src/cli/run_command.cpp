// occasion-tallies run: the classic run with its answers given as options,
// and optionally its visual report and its result as CSV files.
#include <charconv>
#include <cstdint>
#include <limits>
#include <memory>
#include <string_view>

#include "base/exit_status.h"
#include "cli/command.h"
#include "cli/scan_memory.h"
#include "export/csv_export.h"
#include "report/survey_report.h"
#include "results/survey_results.h"
#include "run/run_driver.h"
#include "textio/folder.h"

namespace ot::cli {
namespace {

struct RunOptions {
  std::string folder = ".";
  std::int32_t independence_period = 0;
  std::int32_t occasion_days = 0;
  std::string report_file;  // empty: no report
  std::string csv_folder;   // empty: no CSV export
};

// Accepts a decimal whole number (an optional sign, then digits only) from
// `least` up to the largest answer the dialogue takes. The text is checked
// before CLI11 converts it, since CLI11 also reads forms such as " 0" and
// "0x0" that would slip past a check of the text for zeros.
CLI::Validator WholeNumberFrom(std::int32_t least, const std::string& refusal) {
  return CLI::Validator(
      [least, refusal](const std::string& value) -> std::string {
        std::string_view text = value;
        if (text.size() > 1 && text.front() == '+') text.remove_prefix(1);
        std::int64_t number = 0;
        const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), number);
        const bool whole = error == std::errc() && end == text.data() + text.size();
        if (whole && number >= least && number <= std::numeric_limits<std::int32_t>::max()) {
          return "";
        }
        return refusal;
      },
      "");
}

// The report and the export are written only after the run has ended
// normally: a failed run throws before them, so it leaves neither.
int RunWithAnswers(const RunOptions& options, const ProgramIo& io) {
  DiskFolder folder(options.folder);
  const RunAnswers answers{options.independence_period, options.occasion_days};
  RunEnvironment env{folder, io.console_in, io.console_out, io.err};
  env.answers = &answers;
  env.scan_memory = ScanMemoryFromEnvironment(io.err);
  const bool csv = !options.csv_folder.empty();
  const bool report = !options.report_file.empty();
  SurveyResults results(/*keep_day_pictures=*/report);
  if (csv || report) env.observer = &results;
  RunOccasionTallies(env);
  if (report) report::WriteSurveyReport(results, options.folder, options.report_file);
  if (csv) WriteCsvExport(results, std::filesystem::path(options.folder) / options.csv_folder);
  return kExitOk;
}

}  // namespace

void AddRunCommand(CLI::App& app, CommandAction& chosen) {
  auto options = std::make_shared<RunOptions>();
  CLI::App* run = app.add_subcommand(
      "run",
      "Run on a survey folder without questions: the answers come from the options, and the "
      "files, warnings and exit status are those of the dialogue.");
  run->add_option("-p,--period", options->independence_period,
                  "Independence period in minutes (0 or more)")
      ->required()
      ->type_name("MINUTES")
      ->check(WholeNumberFrom(0, "must be a whole number of minutes, 0 or more"));
  run->add_option("-d,--days", options->occasion_days, "Days per camera-trap occasion (1 or more)")
      ->required()
      ->type_name("DAYS")
      ->check(WholeNumberFrom(1, "must be a whole number of days, 1 or more"));
  AddSurveyFolderOption(*run, options->folder);
  run->add_option("--report", options->report_file,
                  "Also write a visual report of the run as one HTML page (relative to DIR)")
      ->type_name("FILE.html");
  run->add_option("--csv", options->csv_folder,
                  "Also write the result as CSV files into OUTDIR (relative to DIR; created when "
                  "missing; files of the same names replaced)")
      ->type_name("OUTDIR")
      ->check(CLI::Validator(
          [](const std::string& value) { return value.empty() ? "must not be empty" : ""; }, ""));
  run->callback([options, &chosen] {
    chosen = [options](const ProgramIo& io) { return RunWithAnswers(*options, io); };
  });
}

}  // namespace ot::cli
