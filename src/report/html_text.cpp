#include "report/html_text.h"

namespace ot::report {

void AppendEscaped(std::string& html, std::string_view text) {
  for (char c : text) {
    switch (c) {
      case '&':
        html += "&amp;";
        break;
      case '<':
        html += "&lt;";
        break;
      case '>':
        html += "&gt;";
        break;
      case '"':
        html += "&quot;";
        break;
      case '\'':
        html += "&#39;";
        break;
      default:
        html += c;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string html;
  html.reserve(text.size());
  AppendEscaped(html, text);
  return html;
}

std::string Grouped(std::int64_t value) {
  const std::string digits = std::to_string(value < 0 ? -(value + 1) + 1ULL : value + 0ULL);
  std::string text = value < 0 ? "-" : "";
  for (std::size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) text += "\u2009";
    text += digits[i];
  }
  return text;
}

}  // namespace ot::report

namespace ot::report {

void AppendValueList(std::string& html, const std::vector<std::optional<std::int64_t>>& values) {
  for (std::size_t i = 0; i < values.size();) {
    std::size_t end = i + 1;
    while (end < values.size() && values[end] == values[i]) ++end;
    if (i > 0) html += ' ';
    html += values[i] ? std::to_string(*values[i]) : "NA";
    if (end - i >= 3) {
      html += '*';
      html += std::to_string(end - i);
    } else if (end - i == 2) {
      html += ' ';
      html += values[i] ? std::to_string(*values[i]) : "NA";
    }
    i = end;
  }
}

}  // namespace ot::report
