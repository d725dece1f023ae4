// Free-form reads of up to six values at a time until the input ends or a
// read fails; any failure must be one of the layer's diagnostics.
#include <cstdint>
#include <string>

#include "fuzz_support.h"
#include "textio/free_form.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::size_t items = 1 + data[0] % 6;
  const std::size_t chunk = 1 + data[0] / 6 % 8;
  std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
  ot::TextUnit unit(1, "fuzz.txt", std::make_unique<ot::StringSource>(text, chunk));
  std::int32_t values[6] = {};
  try {
    for (int reads = 0; reads < 10000; ++reads) {
      ot::ReadFreeForm(unit, {values, items});
    }
  } catch (const ot::RunFailure& failure) {
    ot::fuzz::CheckDiagnostic(failure.what());
  }
  return 0;
}
