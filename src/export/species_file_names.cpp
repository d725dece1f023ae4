#include "export/species_file_names.h"

#include <unordered_set>

#include "base/strings.h"

namespace ot {
namespace {

bool IsAsciiLetterOrDigit(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9');
}

}  // namespace

std::string SafeName(std::string_view name) {
  std::string safe;
  bool gap = false;  // other bytes since the last letter or digit
  for (char c : name) {
    if (!IsAsciiLetterOrDigit(c)) {
      gap = true;
      continue;
    }
    if (gap && !safe.empty()) safe.push_back('-');
    gap = false;
    safe.push_back(AsciiToLower(c));
  }
  return safe;
}

std::vector<std::string> SpeciesFileNames(const std::vector<std::string>& species) {
  std::vector<std::string> names;
  names.reserve(species.size());
  for (std::size_t i = 0; i < species.size(); ++i) {
    std::string name = SafeName(species[i]);
    names.push_back(name.empty() ? "species-" + std::to_string(i + 1) : std::move(name));
  }
  // Every name as made is kept from the suffixes, so that a later species
  // whose own name looks like a suffixed one still gets it.
  const std::unordered_set<std::string> made(names.begin(), names.end());
  std::unordered_set<std::string> taken;
  for (std::string& name : names) {
    if (taken.insert(name).second) continue;
    std::string unique;
    for (int n = 2;; ++n) {
      unique = name + "-" + std::to_string(n);
      if (made.count(unique) == 0 && taken.count(unique) == 0) break;
    }
    taken.insert(unique);
    name = std::move(unique);
  }
  return names;
}

}  // namespace ot
