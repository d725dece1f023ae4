#include "run/species_selection.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace ot {
namespace {

std::string Padded(std::string text) {
  text.resize(kNameLength, ' ');
  return text;
}

std::vector<std::uint32_t> Selecting(SpeciesSelection& selection, const std::string& field) {
  const std::span<const std::uint32_t> positions = selection.Select(Padded(field));
  return {positions.begin(), positions.end()};
}

// Red fox and Red fox cub begin with Red, the blank name selects all, and
// Red fox is listed twice. (Runs check selection in full.)
const std::vector<std::string> kNames = {Padded("Red fox"), Padded("Red fox cub"), Padded("Red"),
                                         Padded(""), Padded("Red fox")};

TEST(SpeciesSelection, FieldsBeyondWhatIsRememberedAreStillAnswered) {
  SpeciesSelection selection(kNames);
  for (std::size_t n = 0; n < SpeciesSelection::kRememberedFields + 100; ++n) {
    const std::string number = std::to_string(n);
    SCOPED_TRACE(number);
    const std::vector<std::uint32_t> want =
        n % 2 == 0 ? std::vector<std::uint32_t>{0, 2, 3, 4} : std::vector<std::uint32_t>{3};
    ASSERT_EQ(Selecting(selection, (n % 2 == 0 ? "Red fox " : "Deer ") + number), want);
  }
  EXPECT_EQ(Selecting(selection, "Red fox cub"), (std::vector<std::uint32_t>{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace ot
