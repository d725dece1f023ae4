// The importer's parsers on fuzzed bytes: a CSV table read through libcsv in
// fuzzed pieces, each value read as a timestamp (ISO 8601 and by a format
// taken from the input), as a count and as a name. Reading must end
// normally or with one diagnostic line and exit status 1.
#include <cstdint>
#include <string>

#include "base/exit_status.h"
#include "base/failure.h"
#include "fuzz_support.h"
#include "import/csv_reader.h"
#include "import/name_fitting.h"
#include "import/picture_count.h"
#include "import/timestamp.h"

namespace {

void CheckImportDiagnostic(const ot::RunFailure& failure) {
  const std::string_view text = failure.what();
  if (failure.exit_status() != ot::kExitToolFailed) ot::fuzz::Violated("import exit status", text);
  if (!text.starts_with("OccasionTallies: ")) ot::fuzz::Violated("diagnostic tag", text);
  if (text.find('\n') != text.size() - 1) ot::fuzz::Violated("one diagnostic line", text);
}

void ReadValue(std::string_view value, const ot::import::TimeFormat& format) {
  using namespace ot::import;
  if (const auto stamp = ReadIsoTimestamp(value)) {
    if (!YearFitsRecord(stamp->local)) ot::fuzz::Violated("ISO year", value);
    const CivilTime t = CivilTimeOf(InLocalTime(*stamp, std::chrono::minutes{14 * 60}));
    if (t.hour < 0 || t.hour > 23 || t.minute > 59) ot::fuzz::Violated("civil time", value);
  }
  if (const auto stamp = ReadFormattedTimestamp(value, format)) {
    if (!YearFitsRecord(stamp->local)) ot::fuzz::Violated("formatted year", value);
  }
  const PictureCount count = ReadPictureCount(value);
  if (count.value < 0 || count.value > 99) ot::fuzz::Violated("count range", value);
  const FittedNames names = FitNames({std::string(value), std::string(value)});
  for (const std::string& name : names.names) {
    if (name.size() > kNameBytes) ot::fuzz::Violated("name length", value);
  }
  if (names.names[0] == names.names[1]) ot::fuzz::Violated("names made unique", value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  constexpr char kDelimiters[] = {',', ';', '\t', 0};
  const char delimiter = kDelimiters[data[0] % 4];
  const std::size_t chunk = 1 + data[1] % 16;
  std::string text(reinterpret_cast<const char*>(data) + 2, size - 2);
  // The first line, when short, doubles as a strftime-style format.
  const ot::import::TimeFormat format(text.substr(0, std::min<std::size_t>(text.find('\n'), 24)));
  try {
    ot::import::CsvReader csv(
        {{"fuzz.csv",
          [text, chunk] { return std::make_unique<ot::import::StringChunks>(text, chunk); }},
         {"more.csv", [text] { return std::make_unique<ot::import::StringChunks>(text, 7); }}},
        delimiter);
    for (int rows = 0; rows < 10000 && csv.Next(); ++rows) {
      for (std::size_t i = 0; i < csv.header().size(); ++i) {
        ReadValue(csv.Value(i), format);
        if (csv.Line(i) < 1) ot::fuzz::Violated("line number", text);
      }
      if (rows % 3 == 2) csv.Fail(0, "a fuzzed value");
    }
  } catch (const ot::RunFailure& failure) {
    CheckImportDiagnostic(failure);
  }
  return 0;
}
