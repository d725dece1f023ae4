// A whole run in-process on a fuzzed Input.txt, AllPictures.txt and standard
// input, given in that order separated by "@@@\n" (a missing part leaves its
// file out). Afterwards the folder must hold only what the run may leave.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>
#include <string>

#include "fuzz_support.h"
#include "run_driver.h"
#include "textio/failure.h"

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
  for (const auto& entry : fs::directory_iterator(Folder())) fs::remove_all(entry.path());
  if (present[0]) WriteFile("Input.txt", parts[0]);
  if (present[1]) WriteFile("AllPictures.txt", parts[1]);
  WriteFile("OccasionTallies.txt", kPrevious);

  ot::DiskFolder folder(Folder());
  ot::StringSource in{std::string(parts[2])};
  ot::StringSink out;
  std::ostringstream warnings;
  bool failed = false;
  try {
    ot::RunOccasionTallies({folder, in, out, warnings, kMemoryLimit});
  } catch (const ot::RunFailure& failure) {
    failed = true;
    ot::fuzz::CheckDiagnostic(failure.diagnostic());
  }
  CheckFolder(failed, out.text().find(" Processing ") != std::string::npos);
  return 0;
}
