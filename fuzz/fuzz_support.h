// Shared checks for the fuzz targets.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <string_view>

namespace ot::fuzz {

// Stops the fuzzer with a message; libFuzzer then keeps the input.
[[noreturn]] inline void Violated(const char* what, std::string_view detail) {
  std::fprintf(stderr, "invariant violated: %s\n%.*s\n", what, static_cast<int>(detail.size()),
               detail.data());
  std::abort();
}

// Every diagnostic begins with the tag, and its run-time error line has the
// form "OccasionTallies: run-time error [NNN ]in OP on unit U: MESSAGE." or it
// is the one-line memory or Input.txt message.
inline void CheckDiagnostic(std::string_view text) {
  constexpr std::string_view kTag = "OccasionTallies: ";
  if (text.substr(0, kTag.size()) != kTag) Violated("diagnostic tag", text);
  if (text.empty() || text.back() != '\n') Violated("diagnostic line end", text);
  const bool known = text.find("run-time error") != std::string_view::npos ||
                     text.find("bytes requested, not enough memory.") != std::string_view::npos ||
                     text.find("is outside 1..12") != std::string_view::npos ||
                     text.find("is outside 1..9999") != std::string_view::npos;
  if (!known) Violated("diagnostic kind", text);
}

}  // namespace ot::fuzz
