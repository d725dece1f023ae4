#include "import/import_failure.h"

#include <string>

#include "base/failure.h"
#include "base/strings.h"

namespace ot::import {

void FailImport(std::string_view message) {
  ReportRunFailure(message, kExitToolFailed);
}

std::string QuotedValue(std::string_view value) {
  if (value.empty()) return "nothing";
  constexpr std::size_t kShown = 60;
  if (value.size() <= kShown) return Quote(EscapeControlBytes(value));
  // Cut before a UTF-8 continuation byte so the message stays valid text.
  std::size_t cut = kShown;
  while (cut > 0 && (static_cast<unsigned char>(value[cut]) & 0xC0) == 0x80) --cut;
  return Quote(EscapeControlBytes(value.substr(0, cut)).append("..."));
}

}  // namespace ot::import
