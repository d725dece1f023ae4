#include "run/survey_input.h"

#include <algorithm>
#include <new>
#include <string>

#include "base/strings.h"
#include "textio/fixed_width.h"
#include "textio/free_form.h"

namespace ot {
namespace {

constexpr Field kNameFields[] = {TextField(kNameLength)};
constexpr FieldLayout kNameLayout{kNameFields};
constexpr Field kRecordFields[] = {TextField(kPictureRecordLength)};
constexpr FieldLayout kRecordLayout{kRecordFields};

// Appends to a table that grows with what is read. A table that cannot
// grow is the memory failure, naming the size it asked for.
template <typename T>
void Append(std::vector<T>& table, T entry) {
  if (table.size() == table.capacity()) {
    const std::size_t wanted = std::max<std::size_t>(8, table.capacity() * 2);
    try {
      table.reserve(wanted);
    } catch (const std::bad_alloc&) {
      ReportMemoryFailure(std::to_string(wanted * sizeof(T)));
    }
  }
  table.push_back(std::move(entry));
}

std::string ReadName(TextUnit& unit) {
  std::string name(kNameLength, ' ');
  const ReadItem item = std::span<char>(name);
  ReadFixed(unit, kNameLayout, {&item, 1});
  return name;
}

std::int32_t ReadCount(TextUnit& unit) {
  std::int32_t count = 0;
  ReadFreeForm(unit, {&count, 1});
  return count;
}

Period ReadPeriod(TextUnit& unit) {
  std::int32_t values[6] = {};
  ReadFreeForm(unit, values);
  Period period;
  period.begin = {values[0], values[1], values[2]};
  period.end = {values[3], values[4], values[5]};
  return period;
}

Location ReadLocation(TextUnit& unit) {
  Location location;
  location.name = ReadName(unit);
  location.num_periods = ReadCount(unit);
  for (std::int32_t j = 0; j < location.num_periods; ++j) {
    Append(location.periods, ReadPeriod(unit));
  }
  return location;
}

// Names `value` as the `what` of period `period` of location `location`
// (both counted from 0, shown from 1) and ends the run unless it lies in
// low..high.
void CheckDateValue(std::string_view what, std::int32_t value, std::int32_t low, std::int32_t high,
                    std::size_t period, std::size_t location, std::string_view name) {
  if (value >= low && value <= high) return;
  ReportRunFailure("Input.txt: " + std::string(what) + " " + std::to_string(value) + " of period " +
                   std::to_string(period + 1) + " of location " + std::to_string(location + 1) +
                   " (" + std::string(StripTrailingSpaces(name)) + ") is outside " +
                   std::to_string(low) + ".." + std::to_string(high));
}

}  // namespace

void ReadInputFile(UnitTable& units, SurveyDescription& survey) {
  OpenTextFile(units, kUnitInputFiles, "Input.txt", FileAccess::kRead);
  TextUnit& input = units[kUnitInputFiles];
  SkipLine(input);
  survey.num_locations = ReadCount(input);
  for (std::int32_t i = 0; i < survey.num_locations; ++i)
    Append(survey.locations, ReadLocation(input));
  survey.num_species = ReadCount(input);
  for (std::int32_t k = 0; k < survey.num_species; ++k) Append(survey.species, ReadName(input));
  CloseTextFile(units, kUnitInputFiles);
}

void CheckPeriodDates(const SurveyDescription& survey) {
  for (std::size_t i = 0; i < survey.locations.size(); ++i) {
    const Location& location = survey.locations[i];
    for (std::size_t j = 0; j < location.periods.size(); ++j) {
      const Period& period = location.periods[j];
      const auto check = [&](std::string_view what, std::int32_t value, std::int32_t high) {
        CheckDateValue(what, value, 1, high, j, i, location.name);
      };
      check("begin year", period.begin.year, kLastYear);
      check("begin month", period.begin.month, 12);
      check("end year", period.end.year, kLastYear);
      check("end month", period.end.month, 12);
    }
  }
}

bool MisalignedRecords::IsMisaligned(std::string_view record) {
  const std::string_view head = record.substr(0, kPictureRecordLength);
  // The cheap test first: most records keep their columns.
  bool out_of_columns = head.find('\t') != std::string_view::npos;
  for (const int column : kSeparatingColumns) {
    const auto at = static_cast<std::size_t>(column - 1);
    if (at < head.size() && head[at] != ' ') out_of_columns = true;
  }
  return out_of_columns &&
         std::any_of(head.begin(), head.end(), [](char c) { return c >= '0' && c <= '9'; });
}

void MisalignedRecords::Note(std::int64_t line) {
  const auto index = static_cast<std::size_t>(line);
  if (index >= noted_.size()) noted_.resize(std::max(index + 1, noted_.size() * 2));
  if (noted_[index]) return;
  noted_[index] = true;
  ++count_;
  if (first_line_ == 0 || line < first_line_) first_line_ = line;
}

void OpenPictureLog(UnitTable& units) {
  OpenTextFile(units, kUnitInputFiles, "AllPictures.txt", FileAccess::kRead);
}

void CreateSpeciesPics(UnitTable& units) {
  OpenTextFile(units, kUnitSpeciesPicsOut, "SpeciesPics.txt", FileAccess::kWrite);
}

void ExtractSpeciesPics(UnitTable& units, std::string_view species, MisalignedRecords& misaligned) {
  const std::string_view prefix = StripTrailingSpaces(species);
  OpenPictureLog(units);
  CreateSpeciesPics(units);
  TextUnit& pictures = units[kUnitInputFiles];
  TextUnit& selected = units[kUnitSpeciesPicsOut];
  std::string_view record;
  const ReadItem in = &record;
  while (ReadFixedOrEnd(pictures, kRecordLayout, {&in, 1})) {
    if (StartsWith(record.substr(kSpeciesOffset), prefix)) {
      if (MisalignedRecords::IsMisaligned(record)) misaligned.Note(pictures.lines());
      const WriteItem out = record;
      WriteFixed(selected, kRecordLayout, {&out, 1});
    }
  }
  misaligned.total_lines = pictures.lines();
  CloseTextFile(units, kUnitInputFiles);
  CloseTextFile(units, kUnitSpeciesPicsOut);
}

}  // namespace ot
