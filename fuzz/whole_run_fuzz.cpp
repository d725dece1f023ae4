// A whole run in-process on a fuzzed Input.txt, AllPictures.txt and standard
// input, given in that order separated by "@@@\n" (a missing part leaves its
// file out). Afterwards the folder must hold only what the run may leave.
// The run is made three times: its species tallied in one scan, a scan per
// species, and each on its own (scan memory 0); all three must agree in
// everything but what a failure leaves in SpeciesPics.txt.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <set>
#include <sstream>
#include <string>

#include "base/failure.h"
#include "fuzz_support.h"
#include "run/run_driver.h"

namespace fs = std::filesystem;

namespace {

constexpr std::uint64_t kMemoryLimit = 256ull << 20;
constexpr std::string_view kSeparator = "@@@\n";
constexpr std::string_view kPrevious = "previous result\r\n";
constexpr std::string_view kClosing = "OccasionTallies.txt created ... TERMINATING NORMALLY\r\n";

const fs::path& Folder() {
  static const fs::path folder = [] {
    std::string pattern = (fs::temp_directory_path() / "occasion-fuzz-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    return fs::path(pattern);
  }();
  return folder;
}

void WriteFile(const std::string& name, std::string_view content) {
  std::ofstream file(Folder() / name, std::ios::binary);
  file.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string ReadFile(const std::string& name) {
  std::ifstream file(Folder() / name, std::ios::binary);
  std::ostringstream content;
  content << file.rdbuf();
  return content.str();
}

// What a run tells its observer, each species' pictures apart.
class Recorder : public ot::RunObserver {
 public:
  void PictureTallied(std::size_t species, const ot::TalliedPicture& p) override {
    std::string& text = pictures[species];
    text += std::to_string(p.location) + "," + std::to_string(p.day) + "," +
            std::to_string(p.added) + (p.new_event ? "n" : "") + (p.operating_day ? "o" : "") + ";";
  }
  void SpeciesDone(std::size_t species, const ot::SkippedPictures& skipped) override {
    steps += "done " + std::to_string(species) + " " + std::to_string(skipped.total()) + ";";
  }
  void Warning(std::string_view line) override { steps += line; }
  void RunComplete() override { steps += "complete"; }
  std::map<std::size_t, std::string> pictures;
  std::string steps;
};

// Everything a run shows, but SpeciesPics.txt.
struct Seen {
  std::string console, warnings, diagnostic, listing, output, steps;
  std::map<std::size_t, std::string> pictures;
  bool operator==(const Seen&) const = default;
};

void CheckFolder(bool failed, bool species_turn_started) {
  std::set<std::string> allowed = {"Input.txt", "AllPictures.txt", "OccasionTallies.txt"};
  if (failed && species_turn_started) allowed.insert({"SpeciesPics.txt", "temp.txt"});
  for (const auto& entry : fs::directory_iterator(Folder())) {
    std::string name = entry.path().filename().string();
    if (!allowed.count(name)) ot::fuzz::Violated("unexpected file left", name);
  }
  const std::string output = ReadFile("OccasionTallies.txt");
  const bool untouched = output == kPrevious;
  const bool written = output.rfind("OCCASION TALLIES\r\n", 0) == 0;
  if (!untouched && !written) ot::fuzz::Violated("output file", output);
  const bool closed =
      output.size() >= kClosing.size() &&
      output.compare(output.size() - kClosing.size(), kClosing.size(), kClosing) == 0;
  if (!failed && !closed) ot::fuzz::Violated("normal end without closing line", output);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view rest(reinterpret_cast<const char*>(data), size);
  std::string_view parts[3];
  bool present[3] = {};
  for (int i = 0; i < 3; ++i) {
    std::size_t end = i < 2 ? rest.find(kSeparator) : std::string_view::npos;
    present[i] = true;
    parts[i] = rest.substr(0, end);
    if (end == std::string_view::npos) {
      rest = {};
      for (int j = i + 1; j < 3; ++j) present[j] = false;
      break;
    }
    rest.remove_prefix(end + kSeparator.size());
  }
  std::optional<Seen> first;
  for (std::uint64_t scan_memory : {ot::kDefaultScanMemory, std::uint64_t{1}, std::uint64_t{0}}) {
    for (const auto& entry : fs::directory_iterator(Folder())) fs::remove_all(entry.path());
    if (present[0]) WriteFile("Input.txt", parts[0]);
    if (present[1]) WriteFile("AllPictures.txt", parts[1]);
    WriteFile("OccasionTallies.txt", kPrevious);

    ot::DiskFolder folder(Folder());
    ot::StringSource in{std::string(parts[2])};
    ot::StringSink out;
    std::ostringstream warnings;
    Recorder recorder;
    ot::RunEnvironment env{folder, in, out, warnings, kMemoryLimit};
    env.observer = &recorder;
    env.scan_memory = scan_memory;
    Seen seen;
    try {
      ot::RunOccasionTallies(env);
    } catch (const ot::RunFailure& failure) {
      seen.diagnostic = failure.diagnostic();
      ot::fuzz::CheckDiagnostic(seen.diagnostic);
    }
    CheckFolder(!seen.diagnostic.empty(), out.text().find(" Processing ") != std::string::npos);
    seen.console = out.text();
    seen.warnings = warnings.str();
    seen.output = ReadFile("OccasionTallies.txt");
    std::set<std::string> names;
    for (const auto& entry : fs::directory_iterator(Folder())) {
      names.insert(entry.path().filename().string());
    }
    for (const std::string& name : names) seen.listing += name + " ";
    seen.steps = recorder.steps;
    seen.pictures = recorder.pictures;
    // A failing run may have told of pictures of species whose turn never came.
    if (!seen.diagnostic.empty()) seen.pictures.clear();
    if (!first) {
      first = seen;
    } else if (!(seen == *first)) {
      ot::fuzz::Violated("scan memory changed the run",
                         std::to_string(scan_memory) + "\n" + first->diagnostic + seen.diagnostic);
    }
  }
  return 0;
}
