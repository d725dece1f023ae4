#include "textio/fixed_width.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "support/test_support.h"
#include "textio/free_form.h"

namespace ot {
namespace {

std::string FixedReadDiagnostic(int number, const std::string& message, int line) {
  return "OccasionTallies: run-time error " + std::to_string(number) +
         " in fixed-width read on unit 1: " + message +
         ".\n  File test.txt, formatted sequential, line " + std::to_string(line) +
         "\n  At <place>\n";
}

TEST(ReadFixed, TextFieldPaddedOrCut) {
  constexpr Field kRecord[] = {TextField(74)};
  const std::string long_line = std::string(74, 'x') + "0123456789ABCDEF";
  struct {
    std::string line;
    std::string expected;
  } cases[] = {
      {"  Camera 10", "  Camera 10" + std::string(63, ' ')},
      {"", std::string(74, ' ')},
      {long_line, long_line.substr(0, 74)},
      {"tab\there\r", "tab\there\r" + std::string(65, ' ')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto unit = testing::ReadingUnit(c.line + "\r\n");
    std::string text(74, '?');
    const ReadItem items[] = {std::span<char>(text)};
    ReadFixed(*unit, {kRecord}, items);
    EXPECT_EQ(text, c.expected);
  }
}

// Fields read in place see exactly what a copying read gives, a short line
// included, and views of one line stay valid together.
TEST(ReadFixed, TextFieldsReadInPlace) {
  constexpr Field kFields[] = {TextField(5), SkipColumns(1), TextField(4), IntegerField(2)};
  struct {
    std::string line;
    std::string first, second;
    std::int32_t number;
  } cases[] = {
      {"Ridge top  7", "Ridge", "top ", 7},
      {"Ridge to", "Ridge", "to  ", 0},
      {"Rid", "Rid  ", "    ", 0},
      {"", "     ", "    ", 0},
      {"abcde fghi12 and more", "abcde", "fghi", 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto unit = testing::ReadingUnit(c.line + "\n" + c.line + "\n");
    std::string_view first, second;
    std::int32_t number = -1;
    const ReadItem items[] = {&first, &second, &number};
    ASSERT_TRUE(ReadFixedOrEnd(*unit, {kFields}, items));
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
    EXPECT_EQ(number, c.number);
    std::string copy(5, '?');
    const ReadItem copied[] = {std::span<char>(copy)};
    ASSERT_TRUE(ReadFixedOrEnd(*unit, {kFields}, copied));
    EXPECT_EQ(copy, c.first);
  }
}

TEST(ReadFixed, IntegerFields) {
  constexpr std::int32_t kFails = -999;  // the conversion failure, on line 2
  struct {
    const char* line;
    int width;
    std::int32_t expected;
  } cases[] = {
      // clang-format off
      {"  7", 3, 7}, {" 07", 3, 7}, {"7  ", 3, 7}, {"   ", 3, 0}, {"", 3, 0}, {"7", 3, 7},
      {"-12", 3, -12}, {"+12", 3, 12}, {" 1 2", 4, 12}, {"-1 2 ", 5, -12}, {"1234567", 3, 123},
      {"2147483647", 10, 2147483647}, {"-2147483648", 11, -2147483647 - 1},
      {" 7a", 3, kFails}, {"1-2", 3, kFails}, {"--1", 3, kFails}, {"7.5", 3, kFails},
      {"\t7", 2, kFails}, {"2147483648", 10, kFails}, {"-2147483649", 11, kFails},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    const Field layout[] = {IntegerField(c.width)};
    auto unit = testing::ReadingUnit("first\n" + std::string(c.line) + "\n");
    SkipLine(*unit);
    std::int32_t value = kFails;
    const ReadItem items[] = {&value};
    try {
      ReadFixed(*unit, {layout}, items);
      EXPECT_EQ(value, c.expected);
    } catch (const RunFailure& failure) {
      EXPECT_EQ(c.expected, kFails);
      EXPECT_EQ(testing::WithoutPlace(failure.what()),
                FixedReadDiagnostic(231, "error on data conversion", 2));
    }
  }
}

TEST(ReadFixed, CommaEndsAnIntegerField) {
  constexpr Field kLayout[] = {IntegerField(3), IntegerField(3), SkipColumns(1), TextField(2)};
  struct {
    const char* line;
    std::int32_t first, second;
    const char* text;
  } cases[] = {
      {"1,23  xy", 1, 23, "xy"},  // the second field starts after the comma
      {"12,345 xy", 12, 345, "xy"},
      {",5, zz", 0, 5, "zz"},
      {"  1  2 ab", 1, 2, "ab"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.line);
    auto unit = testing::ReadingUnit(std::string(c.line) + "\n");
    std::int32_t first = -9, second = -9;
    std::string text(2, '?');
    const ReadItem items[] = {&first, &second, std::span<char>(text)};
    ReadFixed(*unit, {kLayout}, items);
    EXPECT_EQ(first, c.first);
    EXPECT_EQ(second, c.second);
    EXPECT_EQ(text, c.text);
  }
}

TEST(ReadFixed, EndOfFile) {
  constexpr Field kLayout[] = {IntegerField(3)};
  auto unit = testing::ReadingUnit("  1\n  2");  // the last line has no line end
  std::int32_t value = 0;
  const ReadItem items[] = {&value};
  EXPECT_TRUE(ReadFixedOrEnd(*unit, {kLayout}, items));
  EXPECT_TRUE(ReadFixedOrEnd(*unit, {kLayout}, items));
  EXPECT_EQ(value, 2);
  EXPECT_FALSE(ReadFixedOrEnd(*unit, {kLayout}, items));
  EXPECT_EQ(value, 2);
  try {
    ReadFixed(*unit, {kLayout}, items);
    FAIL() << "no failure";
  } catch (const RunFailure& failure) {
    EXPECT_EQ(testing::WithoutPlace(failure.what()),
              FixedReadDiagnostic(217, "attempt to read past end of file", 3));
  }
}

TEST(ReadFixed, LayoutStartsAgainOnTheNextLine) {
  constexpr Field kGroup[] = {TextField(3), SkipColumns(1)};
  std::string line1;
  for (int i = 0; i < 1000; ++i) line1 += (i == 999 ? "end" : "abc") + std::string(" ");
  auto unit = testing::ReadingUnit(line1 + "\r\nxyz\r\nnext\r\n");
  std::vector<std::string> texts(1001, std::string(3, '?'));
  std::vector<ReadItem> items;
  for (auto& t : texts) items.emplace_back(std::span<char>(t));
  ReadFixed(*unit, {.head = {}, .group = kGroup, .repeat = 1000}, items);
  EXPECT_EQ(texts[0], "abc");
  EXPECT_EQ(texts[999], "end");
  EXPECT_EQ(texts[1000], "xyz");
  EXPECT_EQ(unit->lines(), 2);

  // A layout with a head starts again from its group, one without from its head.
  constexpr Field kHead[] = {TextField(2)};
  constexpr Field kPair[] = {IntegerField(2)};
  auto grouped = testing::ReadingUnit("hd 1 2\n 3 4\n");
  std::string head(2, '?');
  std::int32_t v[4] = {};
  const ReadItem five[] = {std::span<char>(head), &v[0], &v[1], &v[2], &v[3]};
  ReadFixed(*grouped, {.head = kHead, .group = kPair, .repeat = 2}, five);
  EXPECT_EQ(head, "hd");
  EXPECT_EQ((std::vector<std::int32_t>{v[0], v[1], v[2], v[3]}),
            (std::vector<std::int32_t>{1, 2, 3, 4}));

  auto plain = testing::ReadingUnit(" 5\n 6\n 7\n");
  const ReadItem three[] = {&v[0], &v[1], &v[2]};
  ReadFixed(*plain, {kPair}, three);
  EXPECT_EQ((std::vector<std::int32_t>{v[0], v[1], v[2]}), (std::vector<std::int32_t>{5, 6, 7}));
  EXPECT_EQ(plain->lines(), 3);
}

std::string Written(const FieldLayout& layout, const std::vector<WriteItem>& items) {
  StringSink sink;
  {
    auto unit = testing::WritingUnit(sink);
    WriteFixed(*unit, layout, items);
    unit->Close();
  }
  return sink.text();
}

TEST(WriteFixed, FieldsAlignRight) {
  using I = std::int64_t;
  using T = std::string_view;
  struct {
    Field field;
    WriteItem item;
    const char* expected;
  } cases[] = {
      // clang-format off
      {IntegerField(3), I{0}, "  0"}, {IntegerField(3), I{-1}, " -1"},
      {IntegerField(3), I{999}, "999"}, {IntegerField(3), I{-99}, "-99"},
      {IntegerField(3), I{1000}, "***"}, {IntegerField(3), I{-100}, "***"},
      {IntegerField(1), I{7}, "7"}, {IntegerField(1), I{-7}, "*"},
      {IntegerField(6), I{12}, "    12"}, {IntegerField(10), I{2147483647}, "2147483647"},
      {TextField(5), T{"Sus  "}, "Sus  "}, {TextField(5), T{"ab"}, "   ab"},
      {TextField(3), T{"abcdef"}, "abc"}, {TextField(2), T{""}, "  "},
      // clang-format on
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    const Field layout[] = {c.field, SkipColumns(1), IntegerField(2)};
    EXPECT_EQ(Written({layout}, {c.item, I{5}}), c.expected + std::string("  5\r\n"));
  }
}

TEST(WriteFixed, SkipsNeverEndALine) {
  constexpr Field kGroup[] = {IntegerField(3), SkipColumns(1)};
  const FieldLayout layout{.head = {}, .group = kGroup, .repeat = 1000};
  std::vector<WriteItem> items(1000, std::int64_t{7});
  std::string row;
  for (int i = 0; i < 1000; ++i) row += i == 0 ? "  7" : "   7";
  ASSERT_EQ(row.size(), 3999u);
  EXPECT_EQ(Written(layout, items), row + "\r\n");

  items.emplace_back(std::int64_t{-1});
  EXPECT_EQ(Written(layout, items), row + "\r\n -1\r\n");

  constexpr Field kHead[] = {TextField(2), SkipColumns(1)};
  EXPECT_EQ(Written({.head = kHead, .group = kGroup, .repeat = 2},
                    {std::string_view("hd"), std::int64_t{1}, std::int64_t{2}, std::int64_t{3}}),
            "hd   1   2\r\n  3\r\n");
  EXPECT_EQ(Written({kGroup}, {std::int64_t{1}}), "  1\r\n");
  EXPECT_EQ(Written({kGroup}, {}), "\r\n");
}

}  // namespace
}  // namespace ot
