// Names fitted into the 25-byte columns: cut at a character boundary, made
// unique with suffixes, and species whose names begin with another's.
#include "import/name_fitting.h"

#include <gtest/gtest.h>

namespace ot::import {
namespace {

struct FitCase {
  const char* what;
  std::vector<std::string> names;
  std::vector<std::string> fitted;
  std::size_t changes;
};

TEST(NameFitting, FitsNamesIntoTwentyFiveBytes) {
  const FitCase cases[] = {
      {"short names stay", {"Ridge top", " Creek crossing "}, {"Ridge top", "Creek crossing"}, 0},
      {"exactly 25 bytes stay", {"Cervus elaphus hippelaphu"}, {"Cervus elaphus hippelaphu"}, 0},
      {"cut, and the blank before the cut dropped",
       {"Capreolus capreolus capreolus"},
       {"Capreolus capreolus capre"},
       1},
      {"a two-byte letter across byte 25 goes whole",
       {"Bärenbach, Moorweg am Südost 1"},
       {"Bärenbach, Moorweg am S"},
       1},
      {"a three-byte sign across byte 25 goes whole",
       {"Hochmoor Nordrand Kamera \xE2\x80\x93 Ost"},
       {"Hochmoor Nordrand Kamera"},
       1},
      {"names equal after the cut get ~2 and ~3",
       {"Bärenbach, Moorweg am Südost 1", "Bärenbach, Moorweg am Südost 2",
        "Bärenbach, Moorweg am Südost 3"},
       {"Bärenbach, Moorweg am S", "Bärenbach, Moorweg am ~2", "Bärenbach, Moorweg am ~3"},
       3},
      {"a suffix skips a name already taken",
       {"Ridge top", "Ridge top~2", "Ridge top"},
       {"Ridge top", "Ridge top~2", "Ridge top~3"},
       1},
      {"line breaks and tabs become blanks", {"Ridge\ttop\r\nnorth"}, {"Ridge top  north"}, 1},
  };
  for (const FitCase& c : cases) {
    SCOPED_TRACE(c.what);
    const FittedNames fitted = FitNames(c.names);
    EXPECT_EQ(fitted.names, c.fitted);
    EXPECT_EQ(fitted.changes.size(), c.changes);
    for (const std::string& name : fitted.names) EXPECT_LE(name.size(), kNameBytes);
  }
}

TEST(NameFitting, ChangesNameOriginalAndFittedName) {
  const FittedNames fitted = FitNames({"Ardea", "Capreolus capreolus capreolus"});
  ASSERT_EQ(fitted.changes.size(), 1u);
  EXPECT_EQ(fitted.changes[0].original, "Capreolus capreolus capreolus");
  EXPECT_EQ(fitted.changes[0].fitted, "Capreolus capreolus capre");
}

TEST(NameFitting, FindsSpeciesThatShareThePicturesOfAnother) {
  const std::vector<std::string> names = {"Ardea cinerea", "Vulpes vulpes", "Ardea", "Ardea alba",
                                          "Vulpes"};
  const std::vector<SharedPictures> pairs = SpeciesSharingPictures(names);
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(names[pairs[0].shorter] + " > " + names[pairs[0].longer], "Ardea > Ardea cinerea");
  EXPECT_EQ(names[pairs[1].shorter] + " > " + names[pairs[1].longer], "Ardea > Ardea alba");
  EXPECT_EQ(names[pairs[2].shorter] + " > " + names[pairs[2].longer], "Vulpes > Vulpes vulpes");
}

}  // namespace
}  // namespace ot::import
