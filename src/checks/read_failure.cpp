#include "checks/read_failure.h"

#include <string>

namespace ot::checks {
namespace {

// What a person should hear for `failure`.
std::string_view Reason(const RunFailure& failure) {
  if (failure.kind() == FailureKind::kTextIo) {
    switch (failure.facts().io_failure) {
      case IoFailure::kEndOfFile:
        return "the file ends before its counts say it should";
      case IoFailure::kLexical:
        return "a word where a number is expected";
      case IoFailure::kConversion:
        return "a number that cannot be read";
      case IoFailure::kSystem:
        break;
    }
  }
  return failure.Headline();
}

// The line a failure of the text layer names; 0 for any other.
std::int64_t LineOf(const RunFailure& failure) {
  const FailureKind kind = failure.kind();
  return kind == FailureKind::kTextIo || kind == FailureKind::kTextSystem ? failure.facts().line
                                                                          : 0;
}

}  // namespace

void CannotCheck(SurveyFile file, std::int64_t line, std::string_view reason,
                 std::string_view reading) {
  std::string text("cannot check: ");
  text.append(FileName(file));
  if (line > 0) text.append(":").append(std::to_string(line));
  text.append(": ").append(reason);
  if (!reading.empty()) text.append(", reading ").append(reading);
  ReportRunFailure(text, kExitCannotCheck);
}

void CannotCheck(SurveyFile file, const RunFailure& failure, std::string_view reading) {
  CannotCheck(file, LineOf(failure), Reason(failure), reading);
}

bool IsConversionFailure(const RunFailure& failure) {
  return failure.kind() == FailureKind::kTextIo &&
         failure.facts().io_failure == IoFailure::kConversion;
}

}  // namespace ot::checks
