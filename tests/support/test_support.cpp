#include "support/test_support.h"

#include <sys/wait.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <stdexcept>
#include <vector>

#include "base/exit_status.h"
#include "base/failure.h"
#include "cli/command_line.h"
#include "run/picture_record.h"
#include "run/run_driver.h"

namespace ot::testing {
namespace fs = std::filesystem;

ScratchFolder::ScratchFolder() {
  static std::atomic<int> counter{0};
  std::string name =
      "occasion-tallies-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
  path_ = fs::temp_directory_path() / name;
  fs::remove_all(path_);
  fs::create_directories(path_);
}

ScratchFolder::~ScratchFolder() {
  std::error_code ignored;
  fs::remove_all(path_, ignored);
}

void ScratchFolder::Write(std::string_view name, std::string_view content) const {
  std::ofstream file(path_ / name, std::ios::binary | std::ios::trunc);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
  if (!file) throw std::runtime_error("cannot write " + std::string(name));
}

std::string ScratchFolder::Read(std::string_view name) const {
  std::ifstream file(path_ / name, std::ios::binary);
  if (!file) throw std::runtime_error("cannot read " + std::string(name));
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

bool ScratchFolder::Exists(std::string_view name) const {
  return fs::exists(path_ / name);
}

std::string ScratchFolder::Listing() const {
  std::vector<std::string> names;
  for (const auto& entry : fs::directory_iterator(path_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  std::string listing;
  for (const auto& name : names) listing += (listing.empty() ? "" : " ") + name;
  return listing;
}

std::unique_ptr<TextUnit> ReadingUnit(std::string text, std::size_t chunk, int number,
                                      std::string name) {
  return std::make_unique<TextUnit>(number, std::move(name),
                                    std::make_unique<StringSource>(std::move(text), chunk));
}

std::unique_ptr<TextUnit> WritingUnit(StringSink& sink, int number, std::string name) {
  return std::make_unique<TextUnit>(number, std::move(name), std::make_unique<SinkHolder>(sink));
}

std::string Record(std::string_view location, std::string_view species,
                   std::string_view when_and_count) {
  std::string record(FieldOf(PictureField::kYear).offset(), ' ');
  for (const PictureField field : {PictureField::kLocation, PictureField::kSpecies}) {
    const std::string_view name = field == PictureField::kLocation ? location : species;
    const RecordField& columns = FieldOf(field);
    record.replace(columns.offset(), std::min<std::size_t>(name.size(), columns.width),
                   name.substr(0, static_cast<std::size_t>(columns.width)));
  }
  return record + std::string(when_and_count) + "\n";
}

SurveyDescription SurveyOf(
    std::initializer_list<std::initializer_list<std::pair<Date, Date>>> sites) {
  SurveyDescription survey;
  for (const auto& periods : sites) {
    Location location;
    location.name = std::string(kNameLength, ' ');
    for (const auto& [begin, end] : periods) location.periods.push_back({begin, end});
    location.num_periods = static_cast<std::int32_t>(location.periods.size());
    survey.locations.push_back(location);
  }
  survey.num_locations = static_cast<std::int32_t>(survey.locations.size());
  return survey;
}

SurveyDescription WorkedExampleSurvey() {
  return SurveyOf({{{{2019, 11, 20}, {2020, 1, 15}}, {{2020, 2, 1}, {2020, 3, 10}}},
                   {{{2019, 12, 1}, {2020, 3, 31}}}});
}

const std::string kWorkedExampleInput =
    "Camera survey north valley, winter 2019 to 2020\n"
    "2\n"
    "Ridge top\n"
    "2\n"
    "2019 11 20 2020 1 15\n"
    "2020, 2, 1, 2020, 3, 10\n"
    "Creek crossing\n"
    "1   camera replaced in January\n"
    "2019 12 1\n"
    "2020 3 31 end of survey\n"
    "2\n"
    "Red fox\n"
    "Wild boar\n";

RunResult RunInProcess(const ScratchFolder& folder, std::string input, std::uint64_t memory_limit) {
  DiskFolder disk(folder.path());
  StringSource in(std::move(input));
  StringSink out;
  std::ostringstream err;
  RunResult result;
  try {
    RunOccasionTallies({disk, in, out, err, memory_limit});
    result.status = kExitOk;
  } catch (const RunFailure& failure) {
    err << failure.diagnostic();
    result.status = kExitRunFailed;
  }
  result.out = out.text();
  result.err = err.str();
  return result;
}

RunResult RunCommandInProcess(const std::vector<std::string>& args, std::string input) {
  StringSource in(std::move(input));
  StringSink console_out;
  std::ostringstream out;
  std::ostringstream err;
  RunResult result;
  try {
    result.status = cli::RunCommandLine(args, {in, console_out, out, err});
  } catch (const RunFailure& failure) {
    err << failure.what();
    result.status = failure.exit_status();
  }
  // Both land on standard output: the command's own lines are flushed
  // before the run writes to the console.
  result.out = out.str() + console_out.text();
  result.err = err.str();
  return result;
}

RunResult RunExecutable(const ScratchFolder& folder, const std::string& input) {
  const fs::path in = folder.path().parent_path() / (folder.path().filename().string() + ".in");
  const fs::path out = folder.path().parent_path() / (folder.path().filename().string() + ".out");
  const fs::path err = folder.path().parent_path() / (folder.path().filename().string() + ".err");
  {
    std::ofstream file(in, std::ios::binary);
    file << input;
  }
  std::string command = "cd '" + folder.path().string() + "' && '" OT_EXECUTABLE "' < '" +
                        in.string() + "' > '" + out.string() + "' 2> '" + err.string() + "'";
  int raw = std::system(command.c_str());
  RunResult result;
  result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  auto slurp = [](const fs::path& p) {
    std::ifstream file(p, std::ios::binary);
    std::ostringstream content;
    content << file.rdbuf();
    return content.str();
  };
  result.out = slurp(out);
  result.err = slurp(err);
  fs::remove(in);
  fs::remove(out);
  fs::remove(err);
  return result;
}

std::string WithoutPlace(std::string diagnostic) {
  const std::string marker = "\n  At ";
  std::size_t at = diagnostic.rfind(marker);
  if (at == std::string::npos) return diagnostic;
  return diagnostic.substr(0, at) + marker + "<place>\n";
}

}  // namespace ot::testing
