// Text placed into the report's HTML: escaping and the number format the
// report shows.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace ot::report {

// Appends `text` with &, <, >, " and ' replaced by character references, so
// that it is safe both as element content and inside a quoted attribute.
void AppendEscaped(std::string& html, std::string_view text);
std::string Escaped(std::string_view text);

// Appends each piece in turn (strings, views or literals).
template <typename... Pieces>
void Append(std::string& html, const Pieces&... pieces) {
  (html.append(std::string_view(pieces)), ...);
}

// A whole number with a thin space between groups of three digits
// (12 345), as the report shows large counts.
std::string Grouped(std::int64_t value);

}  // namespace ot::report

namespace ot::report {

// Appends a list of values (none = NA) as the report's data attributes hold
// them: blank-separated, "NA" for none, and a run of three or more equal
// values as "value*length" ("0*12 3 NA*4").
void AppendValueList(std::string& html, const std::vector<std::optional<std::int64_t>>& values);

}  // namespace ot::report
