// The picture-record parser of the one-scan tally against the fixed-width
// read it stands in for, on every line of the input; and the parser of the
// scan memory setting on the whole input.
#include <array>
#include <cstdint>
#include <string>

#include "cli/scan_memory.h"
#include "fuzz_support.h"
#include "run/picture_record.h"
#include "textio/fixed_width.h"

namespace {

std::string Shown(const ot::PictureRecord& r) {
  return std::string(r.location) + "|" + std::string(r.species) + "|" +
         std::to_string(r.date.year) + " " + std::to_string(r.date.month) + " " +
         std::to_string(r.date.day) + " " + std::to_string(r.hour) + " " +
         std::to_string(r.minute) + " " + std::to_string(r.second) + " " + std::to_string(r.count);
}

void CompareWithFixedWidthRead(std::string_view line) {
  std::array<char, ot::kPictureRecordLength> padding;
  const std::string_view record = ot::RecordOfLine(line, padding);
  ot::PictureRecord parsed;
  const bool parsed_ok = ot::ParsePictureRecord(record, parsed);
  ot::TextUnit unit(1, "SpeciesPics.txt",
                    std::make_unique<ot::StringSource>(std::string(record) + "\r\n"));
  ot::PictureRecord read;
  bool read_ok = true;
  try {
    ot::ReadFixed(unit, ot::kPictureLayout, ot::PictureReadItems(read));
  } catch (const ot::RunFailure&) {
    read_ok = false;
  }
  if (parsed_ok != read_ok) ot::fuzz::Violated("parse and read disagree on failure", record);
  if (parsed_ok && Shown(parsed) != Shown(read)) {
    ot::fuzz::Violated("parse and read disagree", Shown(parsed) + "\n" + Shown(read));
  }
}

void CheckScanMemory(const std::string& setting) {
  const std::optional<std::uint64_t> bytes = ot::cli::ParseScanMemory(setting);
  if (bytes && (*bytes == 0 || *bytes % (1 << 20) != 0)) {
    ot::fuzz::Violated("scan memory not a positive number of MiB", setting);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  std::string_view rest = text;
  while (!rest.empty()) {
    const std::size_t end = rest.find('\n');
    CompareWithFixedWidthRead(rest.substr(0, end));
    if (end == std::string_view::npos) break;
    rest.remove_prefix(end + 1);
  }
  CheckScanMemory(text);
  return 0;
}
