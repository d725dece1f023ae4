#include "base/failure.h"

#include <cstring>

namespace ot {
namespace {

std::string_view OperationText(IoOperation operation) {
  switch (operation) {
    case IoOperation::kFixedRead:
      return "fixed-width read";
    case IoOperation::kFixedWrite:
      return "fixed-width write";
    case IoOperation::kFreeRead:
      return "free-form read";
    case IoOperation::kFreeWrite:
      return "free-form write";
    case IoOperation::kOpen:
      return "open";
    case IoOperation::kClose:
      return "close";
  }
  return "?";
}

std::string_view MessageText(IoFailure failure) {
  switch (failure) {
    case IoFailure::kEndOfFile:
      return "attempt to read past end of file";
    case IoFailure::kLexical:
      return "lexical error-- unknown token type";
    case IoFailure::kConversion:
      return "error on data conversion";
    case IoFailure::kSystem:
      return "error code returned by host stdio";
  }
  return "?";
}

std::string TextIoDiagnostic(const FailureFacts& facts) {
  std::string text;
  const bool system = facts.kind == FailureKind::kTextSystem;
  if (system) text.append(kTag).append(std::strerror(facts.system_error)).append("\n");
  text.append(kTag).append("run-time error ");
  if (!system) text.append(std::to_string(static_cast<int>(facts.io_failure))).append(" ");
  text.append("in ").append(OperationText(facts.operation));
  text.append(" on unit ").append(std::to_string(facts.unit)).append(": ");
  text.append(MessageText(facts.io_failure));
  if (system) text.append(" - ").append(std::to_string(facts.system_error));
  text.append(".\n  File ").append(facts.file);
  if (facts.line > 0) {
    text.append(", formatted sequential, line ").append(std::to_string(facts.line));
  }
  text.append("\n  At ").append(facts.where.file).append(":");
  text.append(std::to_string(facts.where.line)).append("\n");
  return text;
}

std::string Diagnostic(const FailureFacts& facts) {
  std::string text(kTag);
  switch (facts.kind) {
    case FailureKind::kTextIo:
    case FailureKind::kTextSystem:
      return TextIoDiagnostic(facts);
    case FailureKind::kMemory:
      text.append(facts.bytes).append(" bytes requested, not enough memory.");
      break;
    case FailureKind::kSystem:
      text.append(facts.context).append("cannot ").append(facts.doing).append(" ");
      text.append(facts.file).append(": ").append(std::strerror(facts.system_error));
      break;
    case FailureKind::kUsage:
    case FailureKind::kMessage:
      text.append(facts.message);
      break;
  }
  return text.append("\n");
}

}  // namespace

RunFailure::RunFailure(FailureFacts facts) : RunFailure(Diagnostic(facts), std::move(facts)) {}

RunFailure::RunFailure(std::string diagnostic, FailureFacts&& facts)
    : std::runtime_error(diagnostic),
      facts_(std::move(facts)),
      diagnostic_(std::move(diagnostic)) {}

std::string_view RunFailure::Headline() const {
  std::string_view line(diagnostic_);
  line = line.substr(0, line.find('\n'));
  if (line.starts_with(kTag)) line.remove_prefix(kTag.size());
  return line;
}

void ReportIoFailure(IoFailure failure, IoOperation operation, const FailurePlace& place,
                     int sys_errno, SourcePlace where) {
  throw RunFailure(
      {.kind = failure == IoFailure::kSystem ? FailureKind::kTextSystem : FailureKind::kTextIo,
       .io_failure = failure,
       .operation = operation,
       .unit = place.unit,
       .line = place.line,
       .where = where,
       .file = std::string(place.name),
       .system_error = sys_errno});
}

void ReportMemoryFailure(std::string_view bytes) {
  throw RunFailure({.kind = FailureKind::kMemory, .bytes = std::string(bytes)});
}

void ReportRunFailure(std::string_view message, int exit_status) {
  throw RunFailure(
      {.kind = FailureKind::kMessage, .exit_status = exit_status, .message = std::string(message)});
}

void ReportUsageFailure(std::string_view message) {
  throw RunFailure(
      {.kind = FailureKind::kUsage, .exit_status = kExitUsage, .message = std::string(message)});
}

void ReportSystemFailure(std::string_view context, std::string_view doing, std::string_view path,
                         int sys_errno, int exit_status) {
  throw RunFailure({.kind = FailureKind::kSystem,
                    .exit_status = exit_status,
                    .file = std::string(path),
                    .system_error = sys_errno,
                    .doing = std::string(doing),
                    .context = std::string(context)});
}

}  // namespace ot
