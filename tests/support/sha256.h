// SHA-256 of a byte string, as lowercase hex, for golden-output tests.
#pragma once

#include <string>
#include <string_view>

namespace ot::testing {

std::string Sha256Hex(std::string_view bytes);

}  // namespace ot::testing
