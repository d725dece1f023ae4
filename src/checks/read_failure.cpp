#include "checks/read_failure.h"

#include <charconv>
#include <string>

namespace ot::checks {
namespace {

constexpr std::string_view kRunTimeError = "run-time error ";
constexpr std::string_view kLineOf = ", formatted sequential, line ";

// The number after `marker` in `text`, or 0.
std::int64_t NumberAfter(std::string_view text, std::string_view marker) {
  const std::size_t at = text.find(marker);
  if (at == std::string_view::npos) return 0;
  const std::string_view digits = text.substr(at + marker.size());
  std::int64_t number = 0;
  std::from_chars(digits.data(), digits.data() + digits.size(), number);
  return number;
}

// The first line of a diagnostic, without its tag.
std::string_view FirstLine(std::string_view text) {
  if (text.starts_with(kTag)) text.remove_prefix(kTag.size());
  return text.substr(0, text.find('\n'));
}

// What a person should hear for the text layer's failure `diagnostic`.
std::string Reason(std::string_view diagnostic) {
  switch (NumberAfter(diagnostic, kRunTimeError)) {
    case 217:
      return "the file ends before its counts say it should";
    case 225:
      return "a word where a number is expected";
    case 231:
      return "a number that cannot be read";
    default:
      // A system failure's first line is the system's own text; a memory
      // failure has a single line.
      return std::string(FirstLine(diagnostic));
  }
}

}  // namespace

void CannotCheck(SurveyFile file, std::int64_t line, std::string_view reason,
                 std::string_view reading) {
  std::string text(kTag);
  text.append("cannot check: ").append(FileName(file));
  if (line > 0) text.append(":").append(std::to_string(line));
  text.append(": ").append(reason);
  if (!reading.empty()) text.append(", reading ").append(reading);
  text.append("\n");
  throw RunFailure(std::move(text), kCannotCheck);
}

void CannotCheck(SurveyFile file, const RunFailure& failure, std::string_view reading) {
  const std::string_view diagnostic = failure.diagnostic();
  CannotCheck(file, NumberAfter(diagnostic, kLineOf), Reason(diagnostic), reading);
}

bool IsConversionFailure(const RunFailure& failure) {
  return NumberAfter(failure.diagnostic(), kRunTimeError) == 231;
}

}  // namespace ot::checks
