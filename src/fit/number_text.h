// Numbers as the fit's outputs show them: a fixed, locale-independent
// rendering with a given number of significant digits.
#pragma once

#include <optional>
#include <string>

namespace ot::fit {

// `value` with `digits` significant digits as printf's %.<digits>g would
// write it in the C locale ("0.0812", "1.5e-07", "-1234.57"); negative zero
// as "0"; "NA" for a non-finite value.
std::string NumberText(double value, int digits);

// NumberText(value, 6), or "NA" when there is no value: the models.csv
// rendering.
std::string CsvNumber(std::optional<double> value);

// NumberText(value, 3): for the terminal and for messages.
std::string ShortNumber(double value);

}  // namespace ot::fit
