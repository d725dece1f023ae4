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

}  // namespace

void ReportIoFailure(IoFailure failure, IoOperation operation, const FailurePlace& place,
                     int sys_errno, SourcePlace where) {
  std::string text;
  const bool system = failure == IoFailure::kSystem;
  if (system) text.append(kTag).append(std::strerror(sys_errno)).append("\n");
  text.append(kTag).append("run-time error ");
  if (!system) text.append(std::to_string(static_cast<int>(failure))).append(" ");
  text.append("in ").append(OperationText(operation));
  text.append(" on unit ").append(std::to_string(place.unit)).append(": ");
  text.append(MessageText(failure));
  if (system) text.append(" - ").append(std::to_string(sys_errno));
  text.append(".\n  File ").append(place.name);
  if (place.line > 0) {
    text.append(", formatted sequential, line ").append(std::to_string(place.line));
  }
  text.append("\n  At ").append(where.file).append(":");
  text.append(std::to_string(where.line)).append("\n");
  throw RunFailure(std::move(text));
}

void ReportMemoryFailure(std::string_view bytes) {
  std::string text(kTag);
  text.append(bytes).append(" bytes requested, not enough memory.\n");
  throw RunFailure(std::move(text));
}

void ReportRunFailure(std::string_view message) {
  std::string text(kTag);
  text.append(message).append("\n");
  throw RunFailure(std::move(text));
}

}  // namespace ot
