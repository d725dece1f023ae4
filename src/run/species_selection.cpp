#include "run/species_selection.h"

#include <algorithm>
#include <cstring>

#include "base/strings.h"

namespace ot {

SpeciesSelection::SpeciesSelection(std::span<const std::string> names) {
  for (std::size_t j = 0; j < names.size(); ++j) {
    const std::string_view name = names[j];
    by_name_[StripTrailingSpaces(name)].push_back(static_cast<std::uint32_t>(j));
  }
  for (const auto& [name, positions] : by_name_) name_lengths_.push_back(name.size());
  std::sort(name_lengths_.begin(), name_lengths_.end());
  name_lengths_.erase(std::unique(name_lengths_.begin(), name_lengths_.end()), name_lengths_.end());
  fields_.reserve(kRememberedFields * kNameLength);
}

void SpeciesSelection::FindSelecting(std::string_view field,
                                     std::vector<std::uint32_t>& out) const {
  const std::size_t begin = out.size();
  for (std::size_t length : name_lengths_) {
    if (length > field.size()) break;
    const auto it = by_name_.find(field.substr(0, length));
    if (it != by_name_.end()) out.insert(out.end(), it->second.begin(), it->second.end());
  }
  std::sort(out.begin() + static_cast<std::ptrdiff_t>(begin), out.end());
}

std::span<const std::uint32_t> SpeciesSelection::Select(std::string_view field) {
  const bool full_width = field.size() == last_field_.size();
  if (has_last_ && full_width &&
      std::memcmp(field.data(), last_field_.data(), last_field_.size()) == 0) {
    return last_answer_;
  }
  std::span<const std::uint32_t> answer;
  if (const auto it = remembered_.find(field); it != remembered_.end()) {
    answer = {positions_.data() + it->second.first, it->second.count};
  } else {
    fresh_.clear();
    FindSelecting(field, fresh_);
    answer = fresh_;
    if (full_width && remembered_.size() < kRememberedFields &&
        positions_.size() + fresh_.size() <= kRememberedPositions) {
      const Span span{static_cast<std::uint32_t>(positions_.size()),
                      static_cast<std::uint32_t>(fresh_.size())};
      positions_.insert(positions_.end(), fresh_.begin(), fresh_.end());
      const std::string_view key(fields_.data() + fields_.size(), field.size());
      fields_.append(field);
      remembered_.emplace(key, span);
      answer = {positions_.data() + span.first, span.count};
    }
  }
  has_last_ = full_width;
  if (full_width) std::memcpy(last_field_.data(), field.data(), last_field_.size());
  last_answer_ = answer;
  return answer;
}

}  // namespace ot
