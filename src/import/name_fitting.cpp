#include "import/name_fitting.h"

#include <unordered_set>

#include "base/strings.h"

namespace ot::import {
namespace {

bool IsContinuationByte(char c) {
  return (static_cast<unsigned char>(c) & 0xC0) == 0x80;
}

// The first of name~2, name~3, ... that is not taken, each within 25 bytes.
std::string WithFreeSuffix(std::string_view name, const std::unordered_set<std::string>& taken) {
  for (std::size_t n = 2;; ++n) {
    std::string suffix(1, '~');
    suffix += std::to_string(n);
    std::string candidate(CutAtCharacter(name, kNameBytes - suffix.size()));
    candidate += suffix;
    if (!taken.contains(candidate)) return candidate;
  }
}

}  // namespace

std::string CleanName(std::string_view name) {
  std::string clean(name);
  for (char& c : clean) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20 || byte == 0x7F) c = ' ';
  }
  return std::string(StripSpacesAndTabs(clean));
}

std::string_view CutAtCharacter(std::string_view text, std::size_t bytes) {
  if (text.size() <= bytes) return text;
  std::size_t cut = bytes;
  while (cut > 0 && IsContinuationByte(text[cut])) --cut;
  return text.substr(0, cut);
}

FittedNames FitNames(const std::vector<std::string>& names) {
  FittedNames fitted;
  std::unordered_set<std::string> taken;
  for (const std::string& name : names) {
    const std::string clean = CleanName(name);
    std::string fit(StripTrailingSpaces(CutAtCharacter(clean, kNameBytes)));
    if (taken.contains(fit)) fit = WithFreeSuffix(clean, taken);
    taken.insert(fit);
    const std::string_view original = StripSpacesAndTabs(name);
    if (fit != original) fitted.changes.push_back({std::string(original), fit});
    fitted.names.push_back(std::move(fit));
  }
  return fitted;
}

std::vector<SharedPictures> SpeciesSharingPictures(const std::vector<std::string>& names) {
  std::vector<SharedPictures> pairs;
  for (std::size_t i = 0; i < names.size(); ++i) {
    for (std::size_t j = 0; j < names.size(); ++j) {
      if (names[j].size() > names[i].size() && names[j].starts_with(names[i])) {
        pairs.push_back({i, j});
      }
    }
  }
  return pairs;
}

}  // namespace ot::import
