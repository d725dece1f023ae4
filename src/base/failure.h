// The one way a run fails: a RunFailure carrying the complete diagnostic
// text and the exit status. Only the program's entry point prints it and
// exits with that status (127 for every failure of the classic run).
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

namespace ot {

class RunFailure : public std::runtime_error {
 public:
  // `diagnostic` is the full text for standard error, lines ended by '\n'.
  explicit RunFailure(std::string diagnostic, int exit_status = 127)
      : std::runtime_error(diagnostic),
        diagnostic_(std::move(diagnostic)),
        exit_status_(exit_status) {}
  // The whole text: a name read from a file may hold NUL bytes, where
  // what() ends.
  const std::string& diagnostic() const { return diagnostic_; }
  int exit_status() const { return exit_status_; }

 private:
  std::string diagnostic_;
  int exit_status_;
};

// The place of a statement in the program's source, taken at the call site
// when used as a default argument. (Built on compiler builtins rather than
// <source_location>, which clang 14 with libstdc++ 12 lacks.)
struct SourcePlace {
  const char* file;
  unsigned line;
  static constexpr SourcePlace Current(const char* file = __builtin_FILE(),
                                       unsigned line = __builtin_LINE()) {
    return {file, line};
  }
};

enum class IoOperation { kFixedRead, kFixedWrite, kFreeRead, kFreeWrite, kOpen, kClose };

// The run-time failures of the text layer. kSystem carries an errno value.
enum class IoFailure { kEndOfFile = 217, kLexical = 225, kConversion = 231, kSystem = 0 };

// Where a failure happened: the unit, the file name and the line counted
// from 1. `line` 0 means "after a failed open": no line is reported.
struct FailurePlace {
  int unit = 0;
  std::string_view name;
  std::int64_t line = 0;
};

// Throws the three-line diagnostic (four for a system failure, whose first
// line is the system's own error text for `sys_errno`). The last line names
// `where`, the statement that failed.
[[noreturn]] void ReportIoFailure(IoFailure failure, IoOperation operation,
                                  const FailurePlace& place, int sys_errno = 0,
                                  SourcePlace where = SourcePlace::Current());

// Throws the one-line memory diagnostic for a request of `bytes` bytes,
// given as a decimal text so that any size can be named.
[[noreturn]] void ReportMemoryFailure(std::string_view bytes);

// Throws a one-line diagnostic "OccasionTallies: <message>".
[[noreturn]] void ReportRunFailure(std::string_view message);

// The tag that begins every diagnostic and warning line.
inline constexpr std::string_view kTag = "OccasionTallies: ";

}  // namespace ot
