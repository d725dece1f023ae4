#include "run/picture_record.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "run/survey_input.h"
#include "support/test_support.h"
#include "textio/fixed_width.h"

namespace ot {
namespace {

std::string Shown(const PictureRecord& r) {
  std::ostringstream text;
  text << r.location << "|" << r.species << "|" << r.date.year << " " << r.date.month << " "
       << r.date.day << " " << r.hour << " " << r.minute << " " << r.second << " " << r.count;
  return text.str();
}

// The fields of `record` read by the text layer, or "231" when it fails.
std::string ReadByTextLayer(std::string_view record) {
  auto unit = testing::ReadingUnit(std::string(record) + "\r\n");
  PictureRecord r;
  try {
    ReadFixed(*unit, kPictureLayout, PictureReadItems(r));
  } catch (const RunFailure&) {
    return "231";
  }
  return Shown(r);
}

std::string Parsed(std::string_view record) {
  PictureRecord r;
  return ParsePictureRecord(record, r) ? Shown(r) : "231";
}

TEST(ParsePictureRecord, ReadsAsTheFixedWidthLayoutDoes) {
  const std::string head = testing::Record("Ridge top", "Red fox", "").substr(0, 52);
  struct {
    const char* what;
    std::string line;
    const char* fields;  // year month day hour minute second count, or 231
  } cases[] = {
      {"plain", head + "2019 11 21  6 10  7  2", "2019 11 21 6 10 7 2"},
      {"empty numbers read 0", head + "                      ", "0 0 0 0 0 0 0"},
      {"blanks among digits", head + "2 19  1 2   6 1   7  2", "219 1 2 6 1 7 2"},
      {"signs", head + "-201 +1 -2  6 10  7 -9", "-201 1 -2 6 10 7 -9"},
      // A comma ends its field, and the fields after it move left.
      {"comma ends a field early", head + "20,9 11 21  6 10  7  2", "20 1 2 0 1 0 0"},
      {"comma alone", head + ",    11 21  6 10  7  2", "0 0 11 21 6 10 7"},
      {"sign alone", head + "2019 11 21  - 10  7  2", "2019 11 21 0 10 7 2"},
      {"short line", head + "2019 11", "2019 11 0 0 0 0 0"},
      {"name only", "Ridge top", "0 0 0 0 0 0 0"},
      {"long line", head + "2019 11 21  6 10  7  2 and more 12", "2019 11 21 6 10 7 2"},
      {"letter", head + "2019 11 2x  6 10  7  2", "231"},
      {"sign after digit", head + "2019 11 21  6 10  7 2-", "231"},
      {"tab in a number", head + "2019 1\t 21  6 10  7  2", "231"},
      {"tab between numbers", head + "2019\t11 21  6 10  7  2", "2019 11 21 6 10 7 2"},
      {"NUL in the count", head + std::string("2019 11 21  6 10  7 \0", 21) + "1", "231"},
      {"letter in an unread column", head + "2019x11 21  6 10  7  2", "2019 11 21 6 10 7 2"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::array<char, kPictureRecordLength> padding;
    const std::string_view record = RecordOfLine(c.line, padding);
    ASSERT_EQ(record.size(), std::size_t{kPictureRecordLength});
    const std::string parsed = Parsed(record);
    EXPECT_EQ(parsed, ReadByTextLayer(record));
    EXPECT_EQ(parsed.substr(parsed.rfind('|') + 1), c.fields);
  }
}

TEST(PictureRecordFields, MatchTheDocumentedColumns) {
  using Kind = RecordField::Kind;
  // The columns as the README's table of AllPictures.txt gives them.
  struct {
    PictureField field;
    const char* name;
    int first_column;
    int last_column;
    Kind kind;
  } cases[] = {
      {PictureField::kLocation, "location", 1, 25, Kind::kText},
      {PictureField::kSpecies, "species", 27, 51, Kind::kText},
      {PictureField::kYear, "year", 53, 56, Kind::kNumber},
      {PictureField::kMonth, "month", 58, 59, Kind::kNumber},
      {PictureField::kDay, "day", 61, 62, Kind::kNumber},
      {PictureField::kHour, "hour", 64, 65, Kind::kNumber},
      {PictureField::kMinute, "minute", 67, 68, Kind::kNumber},
      {PictureField::kSecond, "second", 70, 71, Kind::kNumber},
      {PictureField::kCount, "count", 73, 74, Kind::kNumber},
  };
  ASSERT_EQ(std::size(cases), kPictureRecordFields.size());
  // The text layer's layout: each field, then a skip of the columns up to
  // the next one.
  ASSERT_EQ(kPictureLayout.head.size(), 2 * std::size(cases) - 1);
  EXPECT_TRUE(kPictureLayout.group.empty());
  EXPECT_TRUE(kPictureLayout.tail.empty());
  for (std::size_t f = 0; f < std::size(cases); ++f) {
    const auto& c = cases[f];
    SCOPED_TRACE(c.name);
    const RecordField& field = FieldOf(c.field);
    EXPECT_EQ(&field, &kPictureRecordFields[f]);
    EXPECT_EQ(field.name, c.name);
    EXPECT_EQ(field.first_column, c.first_column);
    EXPECT_EQ(field.last_column(), c.last_column);
    EXPECT_EQ(field.offset(), static_cast<std::size_t>(c.first_column - 1));
    EXPECT_EQ(field.kind, c.kind);
    const Field& read = kPictureLayout.head[2 * f];
    EXPECT_EQ(read.kind, c.kind == Kind::kText ? Field::Kind::kText : Field::Kind::kInteger);
    EXPECT_EQ(read.width, c.last_column - c.first_column + 1);
    if (f + 1 < std::size(cases)) {
      const Field& skip = kPictureLayout.head[2 * f + 1];
      EXPECT_EQ(skip.kind, Field::Kind::kSkip);
      EXPECT_EQ(skip.width, cases[f + 1].first_column - c.last_column - 1);
    }
  }
  EXPECT_EQ(kPictureRecordLength, 74);
  EXPECT_EQ(kNameLength, 25);
  EXPECT_EQ(kSpeciesOffset, 26u);
  EXPECT_EQ(std::vector<int>(kSeparatingColumns.begin(), kSeparatingColumns.end()),
            (std::vector<int>{26, 52, 57, 60, 63, 66, 69, 72}));
  EXPECT_EQ(LargestNumberIn(PictureField::kYear), 9999);
  EXPECT_EQ(LargestNumberIn(PictureField::kCount), 99);
}

TEST(AppendPictureRecord, WritesWhatBothReadsTakeBackFieldForField) {
  const std::string full(kNameLength, 'n');
  struct {
    const char* what;
    PictureRecord picture;
    const char* written;  // the record, or nullptr when not shown here
  } cases[] = {
      // The README's example line.
      {"example",
       {"Ridge top", "Red fox", {2019, 11, 21}, 6, 10, 7, 2},
       "Ridge top                 Red fox                   2019 11 21  6 10  7  2"},
      {"names filling their fields", {full, full, {2024, 2, 29}, 23, 59, 59, 99}, nullptr},
      {"empty names and zeros", {"", "", {0, 0, 0}, 0, 0, 0, 0}, nullptr},
      {"largest values", {"a", "b", {9999, 99, 99}, 99, 99, 99, 99}, nullptr},
      {"negative numbers", {"a", "b", {-999, -9, -1}, -9, -9, -9, -9}, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    std::string record = "kept ";
    AppendPictureRecord(record, c.picture);
    ASSERT_EQ(record.substr(0, 5), "kept ");
    record.erase(0, 5);
    ASSERT_EQ(record.size(), std::size_t{kPictureRecordLength});
    if (c.written != nullptr) {
      EXPECT_EQ(record, c.written);
    }
    EXPECT_FALSE(MisalignedRecords::IsMisaligned(record));
    PictureRecord expected = c.picture;
    std::string location(c.picture.location), species(c.picture.species);
    location.resize(kNameLength, ' ');
    species.resize(kNameLength, ' ');
    expected.location = location;
    expected.species = species;
    EXPECT_EQ(ReadByTextLayer(record), Shown(expected));
    EXPECT_EQ(Parsed(record), Shown(expected));
  }
}

TEST(AppendPictureRecord, WritesATooWideValueWholeAndMovesTheRestRight) {
  std::string record;
  AppendPictureRecord(record, {"Oak ridge", "Wild boar", {20019, 3, 4}, 5, 6, 7, 8});
  EXPECT_EQ(record, "Oak ridge                 Wild boar                 20019  3  4  5  6  7  8");
  EXPECT_TRUE(MisalignedRecords::IsMisaligned(record));
}

}  // namespace
}  // namespace ot
