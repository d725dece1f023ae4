#include "report/report_style.h"

#include <cmath>
#include <cstdio>

namespace ot::report {

Shade ShadeOf(std::optional<std::int64_t> count) {
  if (!count) return kShadeNoEffort;
  if (*count < 0) return kShadeNegative;
  if (*count == 0) return kShadeZero;
  int shade = kShadeOne;
  for (std::int64_t limit = 2; *count >= limit && shade < kShadeSixtyFourOrMore; limit *= 2) {
    ++shade;
  }
  return static_cast<Shade>(shade);
}

Rgba ShadeColour(Shade shade) {
  static constexpr Rgba kColours[kShadeCount] = {
      {217, 217, 217, 255},  // NA, drawn under a hatching
      {230, 85, 13, 255},   {255, 255, 255, 255}, {237, 248, 177, 255},
      {199, 233, 180, 255}, {127, 205, 187, 255}, {65, 182, 196, 255},
      {29, 145, 192, 255},  {34, 94, 168, 255},   {12, 44, 132, 255},
  };
  return kColours[shade];
}

std::string ShadeLabel(Shade shade) {
  switch (shade) {
    case kShadeNoEffort:
      return "NA (no effort)";
    case kShadeNegative:
      return "below 0";
    case kShadeZero:
      return "0";
    case kShadeOne:
      return "1";
    case kShadeSixtyFourOrMore:
      return "64 or more";
    default: {
      const int low = 1 << (shade - kShadeOne);
      return std::to_string(low) + "\u2013" + std::to_string(2 * low - 1);
    }
  }
}

Rgba SpeciesColour(std::size_t species) {
  static constexpr Rgba kFirst[] = {
      {31, 119, 180, 255},  {255, 127, 14, 255},  {44, 160, 44, 255},  {148, 103, 189, 255},
      {140, 86, 75, 255},   {227, 119, 194, 255}, {23, 190, 207, 255}, {188, 189, 34, 255},
      {127, 127, 127, 255}, {0, 0, 0, 255},
  };
  constexpr std::size_t kNamed = sizeof kFirst / sizeof kFirst[0];
  if (species < kNamed) return kFirst[species];
  // Hue by the golden angle, kept away from red (330..30 degrees).
  const double hue = 30.0 + std::fmod(static_cast<double>(species - kNamed) * 137.508, 300.0);
  const double lightness = species % 2 == 0 ? 0.42 : 0.58;
  const double chroma = (1 - std::fabs(2 * lightness - 1)) * 0.7;
  const double h = hue / 60.0;
  const double x = chroma * (1 - std::fabs(std::fmod(h, 2.0) - 1));
  double r = 0, g = 0, b = 0;
  switch (static_cast<int>(h)) {
    case 0:
      r = chroma, g = x;
      break;
    case 1:
      r = x, g = chroma;
      break;
    case 2:
      g = chroma, b = x;
      break;
    case 3:
      g = x, b = chroma;
      break;
    case 4:
      r = x, b = chroma;
      break;
    default:
      r = chroma, b = x;
      break;
  }
  const double m = lightness - chroma / 2;
  auto byte = [m](double v) { return static_cast<std::uint8_t>(std::lround((v + m) * 255)); };
  return {byte(r), byte(g), byte(b), 255};
}

std::string Hex(const Rgba& colour) {
  char text[8];
  std::snprintf(text, sizeof text, "#%02x%02x%02x", colour.red, colour.green, colour.blue);
  return text;
}

}  // namespace ot::report
