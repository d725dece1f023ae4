// Helpers shared by the tests: scratch folders, in-memory text units and
// whole runs in-process or through the real executable.
#pragma once

#include <filesystem>
#include <initializer_list>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "run/survey_input.h"
#include "textio/byte_stream.h"
#include "textio/folder.h"
#include "textio/text_unit.h"

namespace ot::testing {

// A fresh directory under the system's temporary directory, removed with
// everything in it when the object goes.
class ScratchFolder {
 public:
  ScratchFolder();
  ~ScratchFolder();
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::filesystem::path& path() const { return path_; }
  void Write(std::string_view name, std::string_view content) const;
  std::string Read(std::string_view name) const;
  bool Exists(std::string_view name) const;
  // Names of the entries, sorted, joined by blanks.
  std::string Listing() const;

 private:
  std::filesystem::path path_;
};

// A unit reading `text` (handed over in pieces of `chunk` bytes).
std::unique_ptr<TextUnit> ReadingUnit(std::string text, std::size_t chunk = 1 << 16, int number = 1,
                                      std::string name = "test.txt");

// A file unit writing into `sink`, which the caller keeps.
class SinkHolder : public ByteSink {
 public:
  explicit SinkHolder(StringSink& target) : target_(target) {}
  int Write(std::string_view bytes) override { return target_.Write(bytes); }

 private:
  StringSink& target_;
};
std::unique_ptr<TextUnit> WritingUnit(StringSink& sink, int number = 3,
                                      std::string name = "test.txt");

// A survey folder on disk with the program's units over it; the console
// reads nothing.
struct UnitBench {
  ScratchFolder dir;
  DiskFolder disk{dir.path()};
  StringSource console_in{""};
  StringSink console_out;
  UnitTable units{disk, console_in, console_out};
};

// A picture record line ending in LF: location and species in their fields
// (cut or padded with blanks), then the columns from the year on ("yyyy mm
// dd hh mi ss cc") as given.
std::string Record(std::string_view location, std::string_view species,
                   std::string_view when_and_count);

// A survey of blank-named locations, each with the periods (begin and end
// dates) given, and no species.
SurveyDescription SurveyOf(
    std::initializer_list<std::initializer_list<std::pair<Date, Date>>> sites);

// The periods of the worked-example Input.txt as SurveyOf gives them.
SurveyDescription WorkedExampleSurvey();

// The worked-example Input.txt: Ridge top (two periods), Creek crossing (one
// period, with remarks and its dates over two lines), Red fox and Wild boar.
extern const std::string kWorkedExampleInput;

// The outcome of one run.
struct RunResult {
  int status = -1;  // kExitOk, or the failure's exit status
  std::string out;  // standard output
  std::string err;  // standard error
};

// Runs the program in-process in `folder` with `input` as standard input.
RunResult RunInProcess(const ScratchFolder& folder, std::string input,
                       std::uint64_t memory_limit = UINT64_MAX);

// Runs the command line `args` (the program's name comes first) in-process,
// with `input` as standard input, as the program's entry point would:
// a RunFailure gives its exit status and its text on standard error.
RunResult RunCommandInProcess(const std::vector<std::string>& args, std::string input = "");

// Runs the real executable in `folder`.
RunResult RunExecutable(const ScratchFolder& folder, const std::string& input);

// Replaces the last diagnostic line ("  At file:line") by "  At <place>".
std::string WithoutPlace(std::string diagnostic);

}  // namespace ot::testing
