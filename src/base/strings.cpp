#include "base/strings.h"

#include <algorithm>

namespace ot {
namespace {

// `text` without the leading and trailing bytes found in `set`.
std::string_view StripAround(std::string_view text, std::string_view set) {
  const std::size_t first = text.find_first_not_of(set);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(set) + 1 - first);
}

bool SameIgnoringCase(char x, char y) {
  return AsciiToLower(x) == AsciiToLower(y);
}

// `value` with at least `width` digits when it is not negative.
std::string ZeroPadded(std::int32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (value >= 0 && digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

}  // namespace

std::string_view StripTrailingSpaces(std::string_view text) {
  std::size_t length = text.size();
  while (length > 0 && text[length - 1] == ' ') --length;
  return text.substr(0, length);
}

std::string_view StripSpaces(std::string_view text) {
  return StripAround(text, " ");
}

std::string_view StripSpacesAndTabs(std::string_view text) {
  return StripAround(text, " \t");
}

bool EqualsIgnoreCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), SameIgnoringCase);
}

bool StartsWithIgnoreCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualsIgnoreCase(text.substr(0, prefix.size()), prefix);
}

std::string EscapeControlBytes(std::string_view text) {
  std::string escaped;
  escaped.reserve(text.size());
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      escaped.push_back(c);
      continue;
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    escaped.append("\\x").push_back(kHex[byte >> 4]);
    escaped.push_back(kHex[byte & 0xF]);
  }
  return escaped;
}

std::string Quote(std::string_view text) {
  std::string quoted;
  quoted.reserve(text.size() + 2);
  quoted.append(1, '"').append(text).append(1, '"');
  return quoted;
}

std::string Pluralize(std::int64_t count, std::string_view singular, std::string_view plural) {
  return std::to_string(count).append(" ").append(SingularOrPlural(count, singular, plural));
}

std::string_view SingularOrPlural(std::int64_t count, std::string_view singular,
                                  std::string_view plural) {
  return count == 1 ? singular : plural;
}

std::string FormatIsoDate(const Date& date) {
  return ZeroPadded(date.year, 4) + "-" + ZeroPadded(date.month, 2) + "-" + ZeroPadded(date.day, 2);
}

}  // namespace ot
