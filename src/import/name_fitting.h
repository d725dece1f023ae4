// Names in the fixed columns: AllPictures.txt gives a location and a species
// 25 bytes each, and the program tells names apart by those bytes alone.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace ot::import {

inline constexpr std::size_t kNameBytes = 25;

// `name` with each control character (tab, line break, ...) made a blank and
// the blanks around it removed: a name must stay on its line.
std::string CleanName(std::string_view name);

// The longest start of `text` of at most `bytes` bytes that does not end
// inside a UTF-8 character.
std::string_view CutAtCharacter(std::string_view text, std::size_t bytes);

struct NameChange {
  std::string original;  // without surrounding blanks
  std::string fitted;
};

struct FittedNames {
  std::vector<std::string> names;   // at most 25 bytes, no trailing blank, all different
  std::vector<NameChange> changes;  // every name that differs from its original, in order
};

// Fits each name, in order: cleaned, cut to 25 bytes at a character
// boundary and stripped of trailing blanks. A name equal to one fitted
// before it takes the first free suffix of ~2, ~3, ..., its start cut
// further to leave room.
FittedNames FitNames(const std::vector<std::string>& names);

// Two species where the longer name begins with the shorter one, so that
// the program counts the longer one's pictures under the shorter one too.
struct SharedPictures {
  std::size_t shorter = 0;  // index into the names
  std::size_t longer = 0;
};

// Every such pair among fitted species names, ordered by the shorter
// name's index, then the longer's.
std::vector<SharedPictures> SpeciesSharingPictures(const std::vector<std::string>& names);

}  // namespace ot::import
