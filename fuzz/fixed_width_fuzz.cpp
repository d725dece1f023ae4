// Fixed-width reading of arbitrary lines with the picture-record layout, and
// a write-then-read round trip of integers and texts.
#include <cstdint>
#include <cstring>
#include <string>

#include "fuzz_support.h"
#include "textio/fixed_width.h"

namespace {

using ot::Field;
using ot::FieldLayout;

void ReadArbitraryLines(const std::string& text) {
  static constexpr Field kFields[] = {ot::TextField(25),   ot::SkipColumns(1),  ot::TextField(25),
                                      ot::SkipColumns(1),  ot::IntegerField(4), ot::SkipColumns(1),
                                      ot::IntegerField(2), ot::SkipColumns(1),  ot::IntegerField(2),
                                      ot::SkipColumns(1),  ot::IntegerField(2)};
  ot::TextUnit unit(1, "fuzz.txt", std::make_unique<ot::StringSource>(text, 7));
  char a[25], b[25];
  std::int32_t n[4] = {};
  const ot::ReadItem items[] = {std::span<char>(a), std::span<char>(b), &n[0], &n[1], &n[2], &n[3]};
  try {
    while (ot::ReadFixedOrEnd(unit, FieldLayout{kFields}, items)) {
    }
  } catch (const ot::RunFailure& failure) {
    ot::fuzz::CheckDiagnostic(failure.what());
  }
}

// Values and widths drawn from the input are written in a repeated group and
// read back: every value that fit its field must come back unchanged.
void RoundTrip(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return;
  const int width = 1 + data[0] % 12;
  const int per_line = 1 + data[1] % 5;
  data += 2;
  size -= 2;
  std::vector<std::int64_t> values;
  for (; size >= 4 && values.size() < 64; data += 4, size -= 4) {
    std::int32_t v;
    std::memcpy(&v, data, 4);
    values.push_back(v % (data[0] % 2 ? 1000 : 2147483647));
  }
  if (values.empty()) return;
  const Field group[] = {ot::IntegerField(width), ot::SkipColumns(1)};
  const FieldLayout layout{{}, group, per_line};
  ot::StringSink sink;
  {
    ot::TextUnit out(3, "out.txt", sink);
    std::vector<ot::WriteItem> items(values.begin(), values.end());
    ot::WriteFixed(out, layout, items);
  }
  ot::TextUnit in(1, "out.txt", std::make_unique<ot::StringSource>(sink.text()));
  std::vector<std::int32_t> back(values.size());
  std::vector<ot::ReadItem> items;
  for (auto& v : back) items.push_back(&v);
  bool any_overflow = false;
  for (auto v : values) any_overflow |= std::to_string(v).size() > static_cast<std::size_t>(width);
  if (any_overflow) {
    if (sink.text().find('*') == std::string::npos) ot::fuzz::Violated("asterisks", sink.text());
    return;
  }
  try {
    ot::ReadFixed(in, layout, items);
  } catch (const ot::RunFailure& failure) {
    ot::fuzz::Violated("round trip read failed", failure.what());
  }
  for (std::size_t i = 0; i < values.size(); ++i) {
    if (back[i] != values[i]) ot::fuzz::Violated("round trip value", sink.text());
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  ReadArbitraryLines(std::string(reinterpret_cast<const char*>(data), size));
  RoundTrip(data, size);
  return 0;
}
