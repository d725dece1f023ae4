// File names for the per-species count tables, made from the species names
// so that they are safe in any folder and read as the species they hold.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace ot {

// A name made safe: ASCII letters in lower case, ASCII digits kept, every
// run of other bytes (blanks, punctuation, any UTF-8 character) one '-',
// and no '-' at either end. Empty when the name has no ASCII letter or
// digit ("Red fox" gives "red-fox", "Grey wolf (pup)" "grey-wolf-pup").
std::string SafeName(std::string_view name);

// The file name, without ".csv", of each species, in the order given:
// SafeName of its name, or "species-N" (N its place in the list, from 1)
// when that is empty. Names are unique: a species whose name is already
// taken by one earlier in the list gets the first of "-2", "-3", ...
// appended that no species' name takes, so a species named "Red fox 2"
// keeps "red-fox-2" even when listed after two others giving "red-fox".
std::vector<std::string> SpeciesFileNames(const std::vector<std::string>& species);

}  // namespace ot
