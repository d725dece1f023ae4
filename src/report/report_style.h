// The report's colours: the shades of the heat maps' counts and the
// species' colours of the operation chart.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>

#include "report/png_image.h"

namespace ot::report {

// Heat-map shades, from "no effort" through doubling ranges of counts.
enum Shade : std::uint8_t {
  kShadeNoEffort,  // NA: the camera did not operate in the occasion
  kShadeNegative,  // only a negative picture count gives one
  kShadeZero,
  kShadeOne,
  kShadeTwoToThree,
  kShadeFourToSeven,
  kShadeEightToFifteen,
  kShadeSixteenToThirtyOne,
  kShadeThirtyTwoToSixtyThree,
  kShadeSixtyFourOrMore,
  kShadeCount
};

Shade ShadeOf(std::optional<std::int64_t> count);
Rgba ShadeColour(Shade shade);
// The legend's words for a shade: "NA", "0", "2–3", "64 or more".
std::string ShadeLabel(Shade shade);

// The colour of species `species` (counted from 0): ten well-separated
// colours, then hues spread by the golden angle. Red is kept for pictures
// on non-operating days.
Rgba SpeciesColour(std::size_t species);
inline constexpr Rgba kAlarmRed{204, 0, 0, 255};

// "#rrggbb".
std::string Hex(const Rgba& colour);

}  // namespace ot::report
