#include "checks/survey_text.h"

#include <cstdio>

#include "base/strings.h"

namespace ot::checks {

std::string Entry(std::string_view what, std::size_t number, std::string_view name) {
  return std::string(what) + " " + std::to_string(number) + " (" +
         EscapeControlBytes(StripTrailingSpaces(name)) + ")";
}

std::string TimeText(std::int32_t hour, std::int32_t minute) {
  // Each with at least two digits, a negative one as it stands.
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d", hour, minute);
  return text;
}

bool SameButForCaseAndBlanks(std::string_view a, std::string_view b) {
  return EqualsIgnoreCase(StripSpaces(a), StripSpaces(b));
}

bool BeginsButForCaseAndBlanks(std::string_view text, std::string_view prefix) {
  return StartsWithIgnoreCase(StripSpaces(text), StripSpaces(prefix));
}

}  // namespace ot::checks
