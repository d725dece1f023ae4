#include "fit/number_text.h"

#include <charconv>
#include <cmath>

namespace ot::fit {

std::string NumberText(double value, int digits) {
  if (!std::isfinite(value)) return "NA";
  if (value == 0) value = 0;  // no "-0"
  char text[64];
  const auto end =
      std::to_chars(text, text + sizeof text, value, std::chars_format::general, digits);
  return std::string(text, end.ptr);
}

std::string CsvNumber(std::optional<double> value) {
  return value ? NumberText(*value, 6) : std::string("NA");
}

std::string ShortNumber(double value) {
  return NumberText(value, 3);
}

}  // namespace ot::fit
