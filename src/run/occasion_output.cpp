#include "run/occasion_output.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>
#include <string_view>

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
  for (std::int64_t k = 0; k < columns; ++k) {
    std::int32_t& cell = occasions(row, k);
    if (cell > 0) total += cell;
    if (cell > kCap) cell = kCap;
  }
  return std::min(total, kCap);
}

// Row lines are fields of 3 columns with a blank between them, at most 1000
// to a line: the lines a fixed-width write of such a layout gives, built
// here in place since rows are the bulk of the output.
constexpr std::size_t kRowFieldStep = 4;

// Makes `line` the blanks of a row line of `count` fields.
void StartRowLine(std::string& line, std::size_t count) {
  line.assign(kRowFieldStep * count - 1, ' ');
}

// Puts `value` into the 3 blanks at `out` as a fixed-width integer field.
// The cells and totals lie in -1..999 and take the short way.
void PutRowNumber(char* out, std::int64_t value) {
  if (value >= 0 && value <= kCap) {
    if (value >= 100) out[0] = static_cast<char>('0' + value / 100);
    if (value >= 10) out[1] = static_cast<char>('0' + value / 10 % 10);
    out[2] = static_cast<char>('0' + value % 10);
    return;
  }
  if (value < 0 && value > -10) {
    out[1] = '-';
    out[2] = static_cast<char>('0' - value);
    return;
  }
  std::string field;
  AppendIntegerField(field, value, 3);
  field.copy(out, 3);
}

// Rows are handed to the text layer a line (1000 fields) at a time, so no
// row is ever held whole.
void WriteScratchRows(UnitTable& units, OccasionMatrix& occasions, std::int64_t num_locations,
                      std::int64_t num_occasions) {
  OpenTextFile(units, kUnitTemp, "temp.txt", FileAccess::kWrite);
  TextUnit& temp = units[kUnitTemp];
  std::string& line = temp.scratch();
  for (std::int64_t i = 0; i < num_locations; ++i) {
    const std::int64_t total = CapAndTotal(occasions, i, num_occasions);
    // The row's fields: its occasions, then its total.
    for (std::int64_t first = 0; first <= num_occasions; first += kFieldsPerLine) {
      const std::int64_t count = std::min<std::int64_t>(num_occasions + 1 - first, kFieldsPerLine);
      StartRowLine(line, static_cast<std::size_t>(count));
      for (std::int64_t f = 0; f < count; ++f) {
        const std::int64_t k = first + f;
        PutRowNumber(line.data() + kRowFieldStep * f, k < num_occasions ? occasions(i, k) : total);
      }
      temp.WriteLine(IoOperation::kFixedWrite, line);
    }
  }
  CloseTextFile(units, kUnitTemp);
}

// Makes `line` the row line of the first `count` fields of `row`, as a
// fixed-width read of 3-column fields with a blank between them takes them
// (blanks make up what the row lacks, what lies beyond is ignored), each
// " -1" shown as " - ".
void CopyRowFields(std::string_view row, std::size_t count, std::string& line) {
  StartRowLine(line, count);
  char* out = line.data();
  if (row.size() >= line.size()) {
    std::memcpy(out, row.data(), line.size());
    for (std::size_t pos = 3; pos < line.size(); pos += kRowFieldStep) out[pos] = ' ';
  } else {
    for (std::size_t pos = 0; pos < row.size(); pos += kRowFieldStep) {
      std::memcpy(out + pos, row.data() + pos, std::min<std::size_t>(3, row.size() - pos));
    }
  }
  for (std::size_t pos = 0; pos < line.size(); pos += kRowFieldStep) {
    if (out[pos] == ' ' && out[pos + 1] == '-' && out[pos + 2] == '1') out[pos + 2] = ' ';
  }
}

// Reads temp.txt back a line (1000 fields) at a time and appends each row to
// the output, every " -1" shown as " - ". The fields are read as a
// fixed-width read takes them: blanks make up what a line lacks, and what
// lies beyond the fields is ignored.
void CopyRowsMarkingNonOperating(UnitTable& units, std::int64_t num_locations,
                                 std::int64_t fields) {
  OpenTextFile(units, kUnitTemp, "temp.txt", FileAccess::kRead);
  TextUnit& temp = units[kUnitTemp];
  TextUnit& output = units[kUnitOutput];
  std::string& line = output.scratch();
  for (std::int64_t i = 0; i < num_locations; ++i) {
    for (std::int64_t done = 0; done < fields;) {
      const auto count =
          static_cast<std::size_t>(std::min<std::int64_t>(fields - done, kFieldsPerLine));
      std::string_view row;
      if (!temp.NextLine(IoOperation::kFixedRead, row)) {
        temp.Fail(IoFailure::kEndOfFile, IoOperation::kFixedRead, true);
      }
      CopyRowFields(row, count, line);
      output.WriteLine(IoOperation::kFixedWrite, line);
      done += static_cast<std::int64_t>(count);
    }
  }
  CloseTextFile(units, kUnitTemp);
}

}  // namespace

void WriteHeader(TextUnit& output, std::int32_t occasion_days, std::int64_t num_days,
                 std::int64_t& num_occasions) {
  num_occasions = CountOccasions(num_days, occasion_days);
  WriteTextLine(output, kHeaderTitle);
  WriteLabelledNumber(output, kDaysLabel, occasion_days);
  WriteLabelledNumber(output, kOccasionsLabel, num_occasions);
  for (std::string_view note : kHeaderNotes) WriteTextLine(output, note);
  WriteFixed(output, FieldLayout{}, {});
}

void OccasionsFromDays(std::int32_t occasion_days, const DayMatrix& days,
                       OccasionMatrix& occasions) {
  const std::int64_t num_days = days.columns();
  for (std::int64_t i = 0; i < occasions.rows(); ++i) {
    for (std::int64_t k = 0; k < occasions.columns(); ++k) {
      const DayRange range = OccasionDays(k, occasion_days, num_days);
      std::int64_t sum = 0;
      for (std::int64_t d = range.first; d <= range.last; ++d) sum += days(i, d);
      occasions(i, k) =
          sum < 0 ? -1 : static_cast<std::int32_t>(std::min<std::int64_t>(sum, INT32_MAX));
    }
  }
}

void CountIdleDays(const OperatingDays& operating, std::int32_t occasion_days,
                   std::int64_t num_days, Matrix& idle) {
  for (std::int64_t i = 0; i < idle.columns(); ++i) {
    const std::span<std::int32_t> location = idle.Column(i);
    std::int64_t k = 0;
    for (std::int32_t& cell : location) {
      const DayRange range = OccasionDays(k++, occasion_days, num_days);
      const std::int64_t days = range.days();
      const std::int64_t operated = days > 0 ? operating.CountIn(i, range.first, range.last) : 0;
      cell = static_cast<std::int32_t>(std::min<std::int64_t>(days - operated, INT32_MAX));
    }
  }
}

void OccasionsFromSums(std::int32_t occasion_days, const Matrix& added, const Matrix& idle,
                       OccasionMatrix& occasions) {
  if (occasion_days < 1) {
    occasions.Fill(0);  // every range is empty
    return;
  }
  for (std::int64_t i = 0; i < occasions.rows(); ++i) {
    const std::span<const std::int32_t> idle_days = idle.Column(i);
    const std::span<const std::int32_t> sums =
        added.rows() > 0 ? added.Column(i) : std::span<const std::int32_t>();
    for (std::int64_t k = 0; k < occasions.columns(); ++k) {
      const auto at = static_cast<std::size_t>(k);
      const std::int64_t sum = (sums.empty() ? 0 : std::int64_t{sums[at]}) - idle_days[at];
      occasions(i, k) =
          sum < 0 ? -1 : static_cast<std::int32_t>(std::min<std::int64_t>(sum, INT32_MAX));
    }
  }
}

void WriteSpeciesMatrix(UnitTable& units, const SurveyDescription& survey,
                        OccasionMatrix& occasions, std::int64_t num_occasions,
                        std::size_t species_index) {
  const auto num_locations = static_cast<std::int64_t>(survey.locations.size());
  WriteScratchRows(units, occasions, num_locations, num_occasions);
  WriteTextLine(units[kUnitOutput], survey.species.at(species_index));
  CopyRowsMarkingNonOperating(units, num_locations, num_occasions + 1);
  WriteFixed(units[kUnitOutput], FieldLayout{}, {});
  RunShellCommand(units.folder(), "del temp.txt");
}

}  // namespace ot
