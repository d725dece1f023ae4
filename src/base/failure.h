// The one way the program fails: a RunFailure carrying its kind, the facts
// that belong to that kind and its exit status; the diagnostic text is
// rendered from them. Only the program's entry point prints it and exits
// with that status.
#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/exit_status.h"

namespace ot {

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

// The run-time failures of the text layer, valued by their error numbers.
// kSystem carries an errno value.
enum class IoFailure { kEndOfFile = 217, kLexical = 225, kConversion = 231, kSystem = 0 };

// Where a failure happened: the unit, the file name and the line counted
// from 1. `line` 0 means "after a failed open": no line is reported.
struct FailurePlace {
  int unit = 0;
  std::string_view name;
  std::int64_t line = 0;
};

// What kind of failure a RunFailure is.
enum class FailureKind {
  kTextIo,      // the text layer's run-time error 217, 225 or 231
  kTextSystem,  // a system failure met by the text layer, with its errno
  kMemory,      // memory that could not be had, with the bytes asked for
  kUsage,       // a command line the program cannot act on
  kSystem,      // a system call outside the text layer failed on a path
  kMessage,     // a failure told in a line of its own words
};

// The facts of a failure. Which of them apply depends on the kind; the
// others keep their defaults (every member has one, so that a designated
// initializer names only the facts that apply).
struct FailureFacts {
  FailureKind kind = FailureKind::kMessage;
  int exit_status = kExitRunFailed;
  // kTextIo: which run-time error (kTextSystem: IoFailure::kSystem).
  IoFailure io_failure = IoFailure::kSystem;
  // kTextIo, kTextSystem: the operation, the unit, the line counted from 1
  // (0: none) and the statement of the program that failed.
  IoOperation operation = IoOperation::kOpen;
  int unit = 0;
  std::int64_t line = 0;
  SourcePlace where{"", 0};
  // kTextIo, kTextSystem: the unit's file name. kSystem: the path.
  std::string file{};
  // kTextSystem, kSystem: the errno value.
  int system_error = 0;
  // kSystem: what was being done ("write", "create folder") and what the
  // program was at, the line's own prefix ("CSV export failed: ").
  std::string doing{};
  std::string context{};
  // kMemory: the number of bytes asked for, in decimal.
  std::string bytes{};
  // kUsage, kMessage: the line without its tag and line end.
  std::string message{};
};

class RunFailure : public std::runtime_error {
 public:
  // Renders the diagnostic from `facts`.
  explicit RunFailure(FailureFacts facts);

  const FailureFacts& facts() const { return facts_; }
  FailureKind kind() const { return facts_.kind; }
  int exit_status() const { return facts_.exit_status; }
  // The full text for standard error, lines ended by '\n'. The whole text:
  // a name read from a file may hold NUL bytes, where what() ends.
  const std::string& diagnostic() const { return diagnostic_; }
  // The diagnostic's first line without its tag and line end; for a system
  // failure of the text layer, the system's own text for its errno.
  std::string_view Headline() const;

 private:
  RunFailure(std::string diagnostic, FailureFacts&& facts);

  FailureFacts facts_;
  std::string diagnostic_;
};

// Throws kTextIo (kTextSystem for IoFailure::kSystem): a three-line
// diagnostic, four for a system failure, whose first line is the system's
// own error text for `sys_errno`. The last line names `where`, the
// statement that failed. Exit status kExitRunFailed.
[[noreturn]] void ReportIoFailure(IoFailure failure, IoOperation operation,
                                  const FailurePlace& place, int sys_errno = 0,
                                  SourcePlace where = SourcePlace::Current());

// Throws kMemory: the one-line diagnostic for a request of `bytes` bytes,
// given as a decimal text so that any size can be named. Exit status
// kExitRunFailed.
[[noreturn]] void ReportMemoryFailure(std::string_view bytes);

// Throws kMessage: the one-line diagnostic "OccasionTallies: <message>".
[[noreturn]] void ReportRunFailure(std::string_view message, int exit_status = kExitRunFailed);

// Throws kUsage: "OccasionTallies: <message>", exit status kExitUsage.
[[noreturn]] void ReportUsageFailure(std::string_view message);

// Throws kSystem: the one-line diagnostic
// "OccasionTallies: <context>cannot <doing> <path>: <reason>", the reason
// being the system's text for errno value `sys_errno`.
[[noreturn]] void ReportSystemFailure(std::string_view context, std::string_view doing,
                                      std::string_view path, int sys_errno, int exit_status);

// The tag that begins every diagnostic and warning line.
inline constexpr std::string_view kTag = "OccasionTallies: ";

}  // namespace ot
