#include "checks/survey_text.h"

#include <algorithm>
#include <cctype>

namespace ot::checks {
namespace {

// `value` with at least `width` digits when it is not negative.
std::string Padded(std::int32_t value, std::size_t width) {
  std::string digits = std::to_string(value);
  if (value >= 0 && digits.size() < width) digits.insert(0, width - digits.size(), '0');
  return digits;
}

std::string_view WithoutBlanks(std::string_view name) {
  const std::size_t first = name.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return name.substr(first, name.find_last_not_of(' ') + 1 - first);
}

}  // namespace

std::string_view Trimmed(std::string_view name) {
  return name.substr(0, TrimmedLength(name));
}

std::string Visible(std::string_view text) {
  std::string shown;
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte >= 0x20 && byte != 0x7F) {
      shown.push_back(c);
      continue;
    }
    constexpr char kHex[] = "0123456789ABCDEF";
    shown.append("\\x").push_back(kHex[byte >> 4]);
    shown.push_back(kHex[byte & 0xF]);
  }
  return shown;
}

std::string Quoted(std::string_view name) {
  std::string quoted(1, '"');
  quoted.append(Visible(name)).push_back('"');
  return quoted;
}

std::string Entry(std::string_view what, std::size_t number, std::string_view name) {
  return std::string(what) + " " + std::to_string(number) + " (" + Visible(Trimmed(name)) + ")";
}

std::string DateText(const Date& date) {
  return Padded(date.year, 4) + "-" + Padded(date.month, 2) + "-" + Padded(date.day, 2);
}

std::string TimeText(std::int32_t hour, std::int32_t minute) {
  return Padded(hour, 2) + ":" + Padded(minute, 2);
}

std::string Counted(std::int64_t n, std::string_view thing) {
  return std::to_string(n) + " " + std::string(thing) + (n == 1 ? "" : "s");
}

bool SameButForCaseAndBlanks(std::string_view a, std::string_view b) {
  a = WithoutBlanks(a);
  b = WithoutBlanks(b);
  return a.size() == b.size() && BeginsButForCaseAndBlanks(a, b);
}

bool BeginsButForCaseAndBlanks(std::string_view text, std::string_view prefix) {
  text = WithoutBlanks(text);
  prefix = WithoutBlanks(prefix);
  return text.size() >= prefix.size() &&
         std::equal(prefix.begin(), prefix.end(), text.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace ot::checks
