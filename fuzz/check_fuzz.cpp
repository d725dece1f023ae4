// `check` on a fuzzed Input.txt and AllPictures.txt (given in that order,
// separated by "@@@\n"; a missing part leaves its file out), in memory.
// - Input.txt is read as the run reads it: the same tables, or a failure on
//   the same line.
// - The findings have their fixed shape and counts that add up, a failure
//   is the one-line "cannot check" with status 2, and nothing is written.
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>
#include <sstream>
#include <string>

#include "base/exit_status.h"
#include "base/failure.h"
#include "checks/input_listing.h"
#include "checks/survey_check.h"
#include "fuzz_support.h"
#include "run/survey_input.h"

namespace {

using ot::fuzz::Violated;

class MemoryFolder : public ot::Folder {
 public:
  std::map<std::string, std::string> files;
  std::unique_ptr<ot::ByteSource> OpenForReading(const std::string& name, int& error) override {
    const auto it = files.find(name);
    if (it == files.end()) {
      error = ENOENT;
      return nullptr;
    }
    return std::make_unique<ot::StringSource>(it->second, 7);
  }
  std::unique_ptr<ot::ByteSink> OpenForWriting(const std::string& name, int&) override {
    Violated("check opened a file for writing", name);
  }
  void Remove(const std::string& name) override { Violated("check removed a file", name); }
};

// The number after `marker`, or -1.
std::int64_t NumberAfter(std::string_view text, std::string_view marker) {
  const std::size_t at = text.find(marker);
  if (at == std::string_view::npos) return -1;
  std::int64_t number = -1;
  std::from_chars(text.data() + at + marker.size(), text.data() + text.size(), number);
  return number;
}

void CheckListingMatchesTheRun(MemoryFolder& folder, const std::string& input) {
  ot::StringSource console_in("");
  ot::StringSink console_out;
  ot::UnitTable units(folder, console_in, console_out);
  ot::SurveyDescription run;
  std::optional<ot::RunFailure> run_failure;
  try {
    ot::ReadInputFile(units, run);
  } catch (const ot::RunFailure& failure) {
    run_failure = failure;
  }
  try {
    const ot::checks::InputListing listing = ot::checks::ReadInputListing(input);
    if (run_failure) Violated("listing read what the run could not", run_failure->diagnostic());
    const auto& mine = listing.survey;
    bool same = mine.species == run.species && mine.locations.size() == run.locations.size();
    for (std::size_t i = 0; same && i < run.locations.size(); ++i) {
      const auto& a = mine.locations[i];
      const auto& b = run.locations[i];
      same = a.name == b.name && a.periods.size() == b.periods.size();
      for (std::size_t j = 0; same && j < a.periods.size(); ++j) {
        const auto& p = a.periods[j];
        const auto& q = b.periods[j];
        same = p.begin.year == q.begin.year && p.begin.month == q.begin.month &&
               p.begin.day == q.begin.day && p.end.year == q.end.year &&
               p.end.month == q.end.month && p.end.day == q.end.day;
      }
    }
    if (!same) Violated("listing differs from the run's tables", input);
  } catch (const ot::RunFailure& failure) {
    if (!run_failure) Violated("listing failed where the run did not", failure.diagnostic());
    const std::int64_t run_line = run_failure->facts().line > 0 ? run_failure->facts().line : -1;
    const std::int64_t line = NumberAfter(failure.diagnostic(), "Input.txt:");
    if (run_line != line) Violated("listing failed on another line", failure.diagnostic());
  }
}

// "TITLE: N", "FILE:LINE: TEXT", "... and N more", "" and the summary.
void CheckFindings(const std::string& out, int status) {
  if (status == ot::kExitOk) {
    if (!out.starts_with("No problems found: ") || out.find('\n') != out.size() - 1) {
      Violated("clean findings", out);
    }
    return;
  }
  std::istringstream lines(out);
  std::string line;
  std::int64_t total = 0;
  std::int64_t in_kind = -1;  // lines still allowed under the current title
  while (std::getline(lines, line)) {
    const bool problem = line.starts_with("Input.txt:") || line.starts_with("AllPictures.txt:");
    if (problem) {
      const std::int64_t number = NumberAfter(line, ".txt:");
      if (number < 1 || in_kind-- <= 0) Violated("problem line", out);
    } else if (line.starts_with("... and ") || line.empty()) {
      in_kind = -1;
    } else if (line.find(" found.") != std::string::npos) {
      if (NumberAfter(line, "") != total || lines.peek() != EOF) Violated("summary", out);
    } else {
      const std::int64_t count = NumberAfter(line, ": ");
      if (count < 1 || in_kind != -1) Violated("title", out);
      total += count;
      in_kind = std::min<std::int64_t>(count, 20);
    }
  }
  if (total == 0) Violated("problems found but none listed", out);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  constexpr std::string_view kSeparator = "@@@\n";
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  MemoryFolder folder;
  const std::size_t cut = rest.find(kSeparator);
  folder.files["Input.txt"] = std::string(rest.substr(0, cut));
  if (cut != std::string_view::npos) {
    folder.files["AllPictures.txt"] = std::string(rest.substr(cut + kSeparator.size()));
  }
  CheckListingMatchesTheRun(folder, folder.files["Input.txt"]);

  std::ostringstream out;
  try {
    const int status = ot::checks::CheckSurvey(folder, 2024, out);
    if (status != ot::kExitOk && status != ot::kExitProblemsFound) {
      Violated("status", std::to_string(status));
    }
    CheckFindings(out.str(), status);
  } catch (const ot::RunFailure& failure) {
    const std::string_view text = failure.diagnostic();
    if (failure.exit_status() != ot::kExitCannotCheck ||
        !text.starts_with("OccasionTallies: cannot check: ") ||
        text.find('\n') != text.size() - 1) {
      Violated("cannot-check line", text);
    }
  }
  return 0;
}
