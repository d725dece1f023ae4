// occasion-tallies check: lists the problems of a survey's files.
#include <chrono>
#include <filesystem>
#include <memory>

#include "base/failure.h"
#include "checks/survey_check.h"
#include "cli/command.h"
#include "textio/folder.h"

namespace ot::cli {
namespace {

std::int32_t ThisYear() {
  using namespace std::chrono;
  const year_month_day today{floor<days>(system_clock::now())};
  return static_cast<int>(today.year());
}

int Check(const std::string& folder, const ProgramIo& io) {
  std::error_code error;
  if (!std::filesystem::is_directory(folder, error)) {
    ReportUsageFailure("cannot check: " + folder + " is not a folder");
  }
  DiskFolder survey(folder);
  return checks::CheckSurvey(survey, ThisYear(), io.out);
}

}  // namespace

void AddCheckCommand(CLI::App& app, CommandAction& chosen) {
  auto folder = std::make_shared<std::string>(".");
  CLI::App* check = app.add_subcommand(
      "check",
      "List every problem of Input.txt and AllPictures.txt as FILE:LINE: what is wrong; "
      "change nothing.");
  check->footer(
      "Exit status: 0 no problem found, 1 problems listed, 2 a file could not be read (the "
      "reason on standard error).");
  AddSurveyFolderOption(*check, *folder);
  check->callback(
      [folder, &chosen] { chosen = [folder](const ProgramIo& io) { return Check(*folder, io); }; });
}

}  // namespace ot::cli
