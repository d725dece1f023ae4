#include "occasion_output.h"

#include <algorithm>
#include <string_view>
#include <vector>

#include "textio/fixed_width.h"

namespace ot {
namespace {

constexpr int kFieldsPerLine = 1000;
constexpr std::int64_t kCap = 999;

constexpr std::string_view kHeaderTitle = "OCCASION TALLIES";
constexpr std::string_view kDaysLabel = "  Number of days in camera trap occasion = ";
constexpr std::string_view kOccasionsLabel = "  Number of camera trap occasions = ";
constexpr std::string_view kHeaderNotes[] = {
    "  All locations listed in Input.txt",
    "  Limit abundance in camera trap occasion to 999",
    "  Copy and paste each species matrix into program Tevak (2004)",
};

void WriteLabelledNumber(TextUnit& unit, std::string_view label, std::int64_t value) {
  const Field fields[] = {TextField(static_cast<int>(label.size())), IntegerField(5)};
  const WriteItem items[] = {label, value};
  WriteFixed(unit, FieldLayout{fields}, items);
}

// Caps row `row`'s cells at 999 and returns the total of its positive
// cells, taken before the cap, capped at 999 itself.
std::int64_t CapAndTotal(OccasionMatrix& occasions, std::int64_t row, std::int64_t columns) {
  std::int64_t total = 0;
  for (std::int64_t k = 1; k <= columns; ++k) {
    std::int32_t& cell = occasions(row, k);
    if (cell > 0) total += cell;
    if (cell > kCap) cell = kCap;
  }
  return std::min(total, kCap);
}

constexpr Field kNumberGroup[] = {IntegerField(3), SkipColumns(1)};
constexpr FieldLayout kNumberRowLayout{{}, kNumberGroup, kFieldsPerLine};
constexpr Field kTextGroup[] = {TextField(3), SkipColumns(1)};
constexpr FieldLayout kTextRowLayout{{}, kTextGroup, kFieldsPerLine};

// Rows are handed to the text layer a line (1000 fields) at a time, so no
// row is ever held whole.
void WriteScratchRows(UnitTable& units, OccasionMatrix& occasions, std::int64_t nsites,
                      std::int64_t n) {
  OpenTextFile(units, kUnitTemp, "temp.txt", FileAccess::kWrite);
  std::vector<WriteItem> line;
  line.reserve(kFieldsPerLine);
  for (std::int64_t i = 1; i <= nsites; ++i) {
    const std::int64_t total = CapAndTotal(occasions, i, n);
    for (std::int64_t k = 1; k <= n + 1; ++k) {
      line.push_back(k <= n ? std::int64_t{occasions(i, k)} : total);
      if (line.size() == kFieldsPerLine || k == n + 1) {
        WriteFixed(units[kUnitTemp], kNumberRowLayout, line);
        line.clear();
      }
    }
  }
  CloseTextFile(units, kUnitTemp);
}

// Reads temp.txt back a line (1000 fields) at a time and appends each row to
// the output, every " -1" shown as " - ".
void CopyRowsMarkingNonOperating(UnitTable& units, std::int64_t nsites, std::int64_t fields) {
  OpenTextFile(units, kUnitTemp, "temp.txt", FileAccess::kRead);
  const auto per_line = static_cast<std::size_t>(std::min<std::int64_t>(fields, kFieldsPerLine));
  std::vector<std::string_view> texts(per_line);
  std::vector<ReadItem> read_items(texts.size());
  for (std::size_t f = 0; f < texts.size(); ++f) read_items[f] = &texts[f];
  std::vector<WriteItem> write_items(texts.size());
  for (std::int64_t i = 1; i <= nsites; ++i) {
    for (std::int64_t done = 0; done < fields;) {
      const auto count =
          static_cast<std::size_t>(std::min<std::int64_t>(fields - done, kFieldsPerLine));
      ReadFixed(units[kUnitTemp], kTextRowLayout, {read_items.data(), count});
      for (std::size_t f = 0; f < count; ++f) {
        write_items[f] = texts[f] == " -1" ? std::string_view(" - ") : texts[f];
      }
      WriteFixed(units[kUnitOutput], kTextRowLayout, {write_items.data(), count});
      done += static_cast<std::int64_t>(count);
    }
  }
  CloseTextFile(units, kUnitTemp);
}

}  // namespace

std::int64_t CountOccasions(std::int64_t num_days, std::int32_t occasion_days) {
  const std::int64_t t = (num_days - 1 + occasion_days) / occasion_days;
  return t > 0 ? t : 0;
}

void WriteHeader(TextUnit& output, std::int32_t occasion_days, std::int64_t num_days,
                 std::int64_t& num_occasions) {
  num_occasions = CountOccasions(num_days, occasion_days);
  WriteTextLine(output, kHeaderTitle);
  WriteLabelledNumber(output, kDaysLabel, occasion_days);
  WriteLabelledNumber(output, kOccasionsLabel, num_occasions);
  for (std::string_view note : kHeaderNotes) WriteTextLine(output, note);
  WriteFixed(output, FieldLayout{}, {});
}

void CreateMatrix(std::int32_t occasion_days, const DayMatrix& days, OccasionMatrix& occasions) {
  const std::int64_t num_days = days.columns();
  for (std::int64_t i = 1; i <= occasions.rows(); ++i) {
    std::int64_t first = 1;
    for (std::int64_t k = 1; k <= occasions.columns(); ++k) {
      const std::int64_t last = std::min(first + occasion_days - 1, num_days);
      std::int64_t sum = 0;
      for (std::int64_t d = std::max<std::int64_t>(first, 1); d <= last; ++d) sum += days(i, d);
      occasions(i, k) =
          sum < 0 ? -1 : static_cast<std::int32_t>(std::min<std::int64_t>(sum, INT32_MAX));
      first += occasion_days;
    }
  }
}

void WriteSpeciesMatrix(UnitTable& units, const StudyTables& study, OccasionMatrix& occasions,
                        std::int64_t num_occasions, std::size_t species_index) {
  const auto nsites = static_cast<std::int64_t>(study.locations.size());
  WriteScratchRows(units, occasions, nsites, num_occasions);
  WriteTextLine(units[kUnitOutput], study.species.at(species_index - 1));
  CopyRowsMarkingNonOperating(units, nsites, num_occasions + 1);
  WriteFixed(units[kUnitOutput], FieldLayout{}, {});
  RunShellCommand(units.folder(), "del temp.txt");
}

}  // namespace ot
