#include "run/occasion_output.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <stdexcept>
#include <string>
#include <vector>

#include "support/test_support.h"

namespace ot {
namespace {

std::string Padded(std::string text) {
  text.resize(kNameLength, ' ');
  return text;
}

DayMatrix DaysOf(const std::vector<std::vector<std::int32_t>>& rows) {
  DayMatrix days(static_cast<std::int64_t>(rows.size()),
                 rows.empty() ? 0 : static_cast<std::int64_t>(rows[0].size()));
  for (std::size_t i = 0; i < rows.size(); ++i) {
    for (std::size_t d = 0; d < rows[i].size(); ++d) {
      days(static_cast<std::int64_t>(i), static_cast<std::int64_t>(d)) = rows[i][d];
    }
  }
  return days;
}

std::vector<std::int32_t> Row(const OccasionMatrix& occasions, std::int64_t i) {
  std::vector<std::int32_t> row;
  for (std::int64_t k = 0; k < occasions.columns(); ++k) row.push_back(occasions(i, k));
  return row;
}

OccasionMatrix Fold(const DayMatrix& days, std::int32_t occasion_days) {
  OccasionMatrix occasions(days.rows(), CountOccasions(days.columns(), occasion_days));
  occasions.Fill(12345);  // every cell must be written
  OccasionsFromDays(occasion_days, days, occasions);
  return occasions;
}

TEST(OccasionsFromDays, WorkedExample) {
  const DayMatrix days =
      DaysOf({{-1, -1, 0, 3, 0, 0, 1, 0, 2, 0}, {-1, -1, -1, -1, -1, 0, 0, 0, -1, 1}});
  const OccasionMatrix occasions = Fold(days, 4);
  ASSERT_EQ(occasions.columns(), 3);
  EXPECT_EQ(Row(occasions, 0), (std::vector<std::int32_t>{1, 1, 2}));
  EXPECT_EQ(Row(occasions, 1), (std::vector<std::int32_t>{-1, -1, 0}));
}

TEST(OccasionsFromDays, OccasionsCoverTheDaysInOrder) {
  using Cells = std::vector<std::int32_t>;
  const Cells ten = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10};
  struct {
    const char* label;
    Cells days;
    std::int32_t occasion_days;
    Cells occasions;
  } cases[] = {{"10 by 5", ten, 5, {15, 40}},
               {"10 by 4", ten, 4, {10, 26, 19}},
               {"10 by 10", ten, 10, {55}},
               {"10 by 11", ten, 11, {55}},
               {"10 by 2147483647", ten, 2147483647, {55}},
               {"by 1 equals the days", {-1, 0, 3, -1, 2}, 1, {-1, 0, 3, -1, 2}},
               {"all -1", {-1, -1, -1, -1, -1, -1}, 3, {-1, -1}},
               {"one non-operating day, nothing counted", {0, 0, -1}, 3, {-1}},
               {"3 counted, 2 non-operating", {3, -1, -1}, 3, {1}},
               {"2 counted, 2 non-operating", {2, -1, -1}, 3, {0}},
               {"1 counted, 2 non-operating", {1, -1, -1}, 3, {-1}},
               {"sums above 999 stay", {600, 500, 0}, 3, {1100}},
               {"negative length, one day", {-1}, -3, {0}},
               {"negative length, many days", ten, -3, {}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.label);
    const OccasionMatrix occasions = Fold(DaysOf({c.days}), c.occasion_days);
    if (c.occasions.empty()) {
      EXPECT_EQ(occasions.rows() * occasions.columns(), 0);
    } else {
      EXPECT_EQ(Row(occasions, 0), c.occasions);
    }
  }
}

TEST(OccasionsFromDays, SumsDoNotWrapAround) {
  const OccasionMatrix occasions = Fold(DaysOf({{2147483647, 2147483647, 5}}), 3);
  EXPECT_GT(occasions(0, 0), 999);
}

TEST(OccasionsFromDays, EmptyStudiesDoNothing) {
  for (std::int64_t num_locations : {0, 2}) {
    SCOPED_TRACE(num_locations);
    const DayMatrix none(num_locations, -2999);
    EXPECT_EQ(CountOccasions(-2999, 4), 0);
    OccasionMatrix occasions(num_locations, 0);
    OccasionsFromDays(4, none, occasions);
    const DayMatrix days(0, 10);
    OccasionMatrix no_rows(0, 3);
    OccasionsFromDays(4, days, no_rows);
  }
}

// A folder on disk that keeps what each removed file held last.
class KeepingFolder : public DiskFolder {
 public:
  explicit KeepingFolder(const testing::ScratchFolder& dir) : DiskFolder(dir.path()), dir_(dir) {}
  void Remove(const std::string& name) override {
    kept[name] = dir_.Read(name);
    DiskFolder::Remove(name);
  }
  std::map<std::string, std::string> kept;

 private:
  const testing::ScratchFolder& dir_;
};

// An output file being written for a survey of `num_locations` locations.
struct Output {
  testing::ScratchFolder dir;
  KeepingFolder folder{dir};
  StringSource console_in{""};
  StringSink console_out;
  UnitTable units{folder, console_in, console_out};
  SurveyDescription survey;

  explicit Output(std::int32_t num_locations, std::vector<std::string> species = {"Red fox"}) {
    survey.num_locations = num_locations;
    for (std::int32_t i = 0; i < num_locations; ++i)
      survey.locations.push_back({Padded("Site"), 0, {}});
    for (auto& name : species) survey.species.push_back(Padded(name));
    survey.num_species = static_cast<std::int32_t>(survey.species.size());
    OpenTextFile(units, kUnitOutput, "OccasionTallies.txt", FileAccess::kWrite);
  }
  std::string Close() {
    CloseTextFile(units, kUnitOutput);
    return dir.Read("OccasionTallies.txt");
  }
};

OccasionMatrix OccasionsOf(const std::vector<std::vector<std::int32_t>>& rows) {
  return DaysOf(rows);
}

std::string Lines(std::initializer_list<std::string> lines) {
  std::string text;
  for (const auto& line : lines) text += line + "\r\n";
  return text;
}

std::string HeaderText(std::string_view days_field, std::string_view occasions_field) {
  return Lines(
      {"OCCASION TALLIES", "  Number of days in camera trap occasion = " + std::string(days_field),
       "  Number of camera trap occasions = " + std::string(occasions_field),
       "  All locations listed in Input.txt", "  Limit abundance in camera trap occasion to 999",
       "  Copy and paste each species matrix into program Tevak (2004)", ""});
}

TEST(WriteSpeciesMatrix, WorkedExampleFile) {
  Output output(2, {"Red fox", "Wild boar"});
  output.dir.Write("temp.txt", std::string(3000, 'x') + "\n-1 -1 -1\n");  // overwritten
  std::int64_t num_occasions = -5;
  WriteHeader(output.units[kUnitOutput], 4, 10, num_occasions);
  ASSERT_EQ(num_occasions, 3);
  OccasionMatrix fox = OccasionsOf({{3, 1200, 0}, {-1, 5, -1}});
  WriteSpeciesMatrix(output.units, output.survey, fox, num_occasions, 0);
  EXPECT_EQ(output.folder.kept["temp.txt"], Lines({"  3 999   0 999", " -1   5  -1   5"}));
  EXPECT_EQ(Row(fox, 0), (std::vector<std::int32_t>{3, 999, 0}));  // capped in place
  OccasionMatrix boar = OccasionsOf({{0, 0, 0}, {-1, -1, -1}});
  WriteSpeciesMatrix(output.units, output.survey, boar, num_occasions, 1);
  EXPECT_EQ(output.Close(),
            HeaderText("    4", "    3") +
                Lines({"Red fox                  ", "  3 999   0 999", " -    5  -    5", ""}) +
                Lines({"Wild boar                ", "  0   0   0   0", " -   -   -    0", ""}));
  EXPECT_EQ(output.dir.Listing(), "OccasionTallies.txt");
  EXPECT_THROW(output.units[kUnitTemp], std::logic_error);  // closed
}

TEST(WriteHeader, CountFieldsAndTheirOverflow) {
  struct {
    std::int32_t occasion_days;
    std::int64_t num_days;
    std::int64_t occasions;
    const char* days_field;
    const char* occasions_field;
  } cases[] = {{4, 10, 3, "    4", "    3"},        {99999, 10, 1, "99999", "    1"},
               {100000, 10, 1, "*****", "    1"},   {2147483647, 133, 1, "*****", "    1"},
               {-9999, 10, 0, "-9999", "    0"},    {-10000, 1, 1, "*****", "    1"},
               {1, 99999, 99999, "    1", "99999"}, {1, 100000, 100000, "    1", "*****"},
               {4, -2999, 0, "    4", "    0"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.occasion_days) + " " + std::to_string(c.num_days));
    StringSink sink;
    auto unit = testing::WritingUnit(sink);
    std::int64_t num_occasions = -1;
    WriteHeader(*unit, c.occasion_days, c.num_days, num_occasions);
    unit->Close();
    EXPECT_EQ(num_occasions, c.occasions);
    EXPECT_EQ(sink.text(), HeaderText(c.days_field, c.occasions_field));
  }
}

TEST(WriteSpeciesMatrix, CapsTotalsAndMarks) {
  using Cells = std::vector<std::int32_t>;
  struct {
    Cells cells;
    const char* row;
  } cases[] = {
      // clang-format off
      {{3, 1200, 0}, "  3 999   0 999"}, {{600, 500}, "600 500 999"}, {{999}, "999 999"},
      {{998, 1}, "998   1 999"}, {{1000}, "999 999"}, {{2147483647, 2147483647}, "999 999 999"},
      {{-1, -1}, " -   -    0"}, {{0}, "  0   0"}, {{17, -1, 0}, " 17  -    0  17"},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.row);
    Output output(1);
    OccasionMatrix occasions = OccasionsOf({c.cells});
    WriteSpeciesMatrix(output.units, output.survey, occasions,
                       static_cast<std::int64_t>(c.cells.size()), 0);
    EXPECT_EQ(output.Close(), Lines({Padded("Red fox"), c.row, ""}));
    Cells capped;
    for (auto cell : c.cells) capped.push_back(std::min(cell, 999));
    EXPECT_EQ(Row(occasions, 0), capped);
    EXPECT_EQ(output.dir.Listing(), "OccasionTallies.txt");
  }
}

// The lines of a row of `fields` 3-character fields, 1000 to a line.
std::vector<std::string> RowLines(const std::vector<std::string>& fields) {
  std::vector<std::string> lines;
  for (std::size_t f = 0; f < fields.size(); ++f) {
    if (f % 1000 == 0) {
      lines.emplace_back();
    } else {
      lines.back() += ' ';
    }
    lines.back() += fields[f];
  }
  return lines;
}

TEST(WriteSpeciesMatrix, LongRowsContinueAfter1000Fields) {
  struct {
    std::int64_t occasions;
    std::vector<std::size_t> line_lengths;  // of each row
  } cases[] = {{999, {3999}}, {1000, {3999, 3}}, {1001, {3999, 7}}, {0, {3}}, {1, {7}}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.occasions);
    Output output(2);
    // Row 0: 5, then 0s, -1 last; row 1: all 1.
    OccasionMatrix occasions(2, c.occasions);
    std::vector<std::string> first, second;
    for (std::int64_t k = 0; k < c.occasions; ++k) {
      occasions(0, k) = k == c.occasions - 1 ? -1 : k == 0 ? 5 : 0;
      occasions(1, k) = 1;
      first.push_back(k == c.occasions - 1 ? " - " : k == 0 ? "  5" : "  0");
      second.push_back("  1");
    }
    first.push_back(c.occasions > 1 ? "  5" : "  0");
    char total[8];
    std::snprintf(total, sizeof total, "%3d",
                  static_cast<int>(std::min<std::int64_t>(c.occasions, 999)));
    second.push_back(total);
    std::string expected = Padded("Red fox") + "\r\n";
    for (const auto& row : {RowLines(first), RowLines(second)}) {
      ASSERT_EQ(row.size(), c.line_lengths.size());
      for (std::size_t l = 0; l < row.size(); ++l) {
        EXPECT_EQ(row[l].size(), c.line_lengths[l]);
        expected += row[l] + "\r\n";
      }
    }
    WriteSpeciesMatrix(output.units, output.survey, occasions, c.occasions, 0);
    EXPECT_EQ(output.Close(), expected + "\r\n");
  }
}

TEST(WriteSpeciesMatrix, NoLocationsGiveTheNameAndAnEmptyLine) {
  Output output(0);
  OccasionMatrix occasions(0, 3);
  WriteSpeciesMatrix(output.units, output.survey, occasions, 3, 0);
  EXPECT_EQ(output.Close(), Lines({Padded("Red fox"), ""}));
  EXPECT_EQ(output.dir.Listing(), "OccasionTallies.txt");
}

}  // namespace
}  // namespace ot
