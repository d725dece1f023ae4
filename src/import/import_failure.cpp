#include "import/import_failure.h"

#include <string>

#include "base/failure.h"

namespace ot::import {

void FailImport(std::string_view message) {
  std::string text(kTag);
  text.append(message).append("\n");
  throw RunFailure(std::move(text), kImportFailureStatus);
}

std::string Printable(std::string_view text) {
  std::string printable;
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '\n') {
      printable += "\\n";
    } else if (c == '\r') {
      printable += "\\r";
    } else if (c == '\t') {
      printable += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      constexpr char kHex[] = "0123456789abcdef";
      printable.append("\\x").append(1, kHex[byte >> 4]).append(1, kHex[byte & 0xF]);
    } else {
      printable += c;
    }
  }
  return printable;
}

std::string QuotedValue(std::string_view value) {
  if (value.empty()) return "nothing";
  constexpr std::size_t kShown = 60;
  std::string quoted(1, '"');
  if (value.size() <= kShown) return quoted.append(Printable(value)).append(1, '"');
  // Cut before a UTF-8 continuation byte so the message stays valid text.
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
  return quoted.append(Printable(value.substr(0, cut))).append("...\"");
}

}  // namespace ot::import
