#include "run/picture_record.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "support/test_support.h"
#include "textio/fixed_width.h"

namespace ot {
namespace {

// The picture layout as a fixed-width read on SpeciesPics.txt takes it.
constexpr Field kPictureFields[] = {TextField(kNameLength), SkipColumns(1),  TextField(kNameLength),
                                    SkipColumns(1),         IntegerField(4), SkipColumns(1),
                                    IntegerField(2),        SkipColumns(1),  IntegerField(2),
                                    SkipColumns(1),         IntegerField(2), SkipColumns(1),
                                    IntegerField(2),        SkipColumns(1),  IntegerField(2),
                                    SkipColumns(1),         IntegerField(2)};

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
  const ReadItem items[] = {&r.location, &r.species, &r.date.year, &r.date.month, &r.date.day,
                            &r.hour,     &r.minute,  &r.second,    &r.count};
  try {
    ReadFixed(*unit, FieldLayout{kPictureFields}, items);
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

}  // namespace
}  // namespace ot
