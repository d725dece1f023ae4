// File names of the per-species count tables.
#include "export/species_file_names.h"

#include <gtest/gtest.h>

namespace ot {
namespace {

TEST(SafeName, LowerCaseLettersAndDigitsJoinedByOneDash) {
  const struct {
    const char* name;
    const char* safe;
  } cases[] = {
      {"Red fox", "red-fox"},
      {"Red-Fox", "red-fox"},
      {"  Red   fox  ", "red-fox"},
      {"Grey wolf (pup)", "grey-wolf-pup"},
      {"Roe deer \"buck\"", "roe-deer-buck"},
      {"Sus scrofa 2", "sus-scrofa-2"},
      {"..hidden", "hidden"},
      {"C:\\x/../y", "c-x-y"},
      {"Fuchs \xc3\xa4lter", "fuchs-lter"},      // a UTF-8 letter is a run of other bytes
      {"\xd0\x9b\xd0\xb8\xd1\x81\xd0\xb0", ""},  // Cyrillic only
      {"   ", ""},
      {"", ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SafeName(c.name), c.safe);
  }
}

TEST(SpeciesFileNames, UniqueInListOrderWithNumberedSuffixes) {
  using Names = std::vector<std::string>;
  const struct {
    const char* what;
    Names species;
    Names files;
  } cases[] = {
      {"distinct", {"Red fox", "Roe deer"}, {"red-fox", "roe-deer"}},
      {"two meet", {"Red fox", "Red-Fox", "RED FOX!"}, {"red-fox", "red-fox-2", "red-fox-3"}},
      {"a name that looks suffixed keeps its own",
       {"Red fox", "Red-Fox", "Red fox 2"},
       {"red-fox", "red-fox-3", "red-fox-2"}},
      {"the same name twice", {"Wild boar", "Wild boar"}, {"wild-boar", "wild-boar-2"}},
      {"nothing safe is left: the place in the list",
       {"Red fox", "\xd0\x9b\xd0\xb8\xd1\x81\xd0\xb0", ""},
       {"red-fox", "species-2", "species-3"}},
      {"such a name meets a real one", {"Species 2", "..."}, {"species-2", "species-2-2"}},
      {"none", {}, {}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(SpeciesFileNames(c.species), c.files);
  }
}

}  // namespace
}  // namespace ot
