// The report page's inline style sheet and its one small script (the hover
// text of the heat maps).
#pragma once

#include <string_view>

namespace ot::report {

extern const std::string_view kPageStyle;
extern const std::string_view kPageScript;

}  // namespace ot::report
