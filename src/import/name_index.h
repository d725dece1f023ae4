// Names numbered in the order they were first met, found without a copy of
// the name looked up.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>

namespace ot::import {

class NameIndex {
 public:
  // The number of `name`, if it was added.
  std::optional<std::uint32_t> Find(std::string_view name) const {
    const auto it = numbers_.find(name);
    if (it == numbers_.end()) return std::nullopt;
    return it->second;
  }
  // The number of `name`, adding it with the next number when new; `added`
  // tells which.
  std::uint32_t Add(std::string_view name, bool& added) {
    const auto [it, inserted] =
        numbers_.try_emplace(std::string(name), static_cast<std::uint32_t>(numbers_.size()));
    added = inserted;
    return it->second;
  }

 private:
  struct Hash {
    using is_transparent = void;
    std::size_t operator()(std::string_view text) const {
      return std::hash<std::string_view>{}(text);
    }
  };
  std::unordered_map<std::string, std::uint32_t, Hash, std::equal_to<>> numbers_;
};

}  // namespace ot::import
