#include "textio/free_form.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/failure.h"
#include "support/test_support.h"

namespace ot {
namespace {

using Items = std::vector<std::int32_t>;
constexpr std::int32_t kOld = 99;  // what every item holds before a read

Items Read(const std::string& text, std::size_t count) {
  auto unit = testing::ReadingUnit(text);
  Items items(count, kOld);
  ReadFreeForm(*unit, items);
  return items;
}

std::string FailureOf(const std::string& text, std::size_t count) {
  try {
    Read(text, count);
  } catch (const RunFailure& failure) {
    return testing::WithoutPlace(failure.what());
  }
  return "no failure";
}

std::string Diagnostic(int number, const std::string& message, int line) {
  return "OccasionTallies: run-time error " + std::to_string(number) +
         " in free-form read on unit 1: " + message +
         ".\n  File test.txt, formatted sequential, line " + std::to_string(line) +
         "\n  At <place>\n";
}

TEST(ReadFreeForm, FillsItems) {
  struct {
    const char* text;
    Items expected;
  } cases[] = {
      {"  42   remark\n", {42}},
      {"2021 4 1\n", {2021, 4, 1}},
      {"2021, 4, 1\n", {2021, 4, 1}},
      {"2021\t4\t,\t1", {2021, 4, 1}},
      {"2021,4 ,1\r\n", {2021, 4, 1}},
      // Empty values keep what the item held.
      {"5,,7\n", {5, kOld, 7}},
      {"5, \t ,7\n", {5, kOld, 7}},
      {",5\n", {kOld, 5}},
      {"  ,5\n", {kOld, 5}},
      {"5\n,7\n", {5, kOld, 7}},
      {"5,\n7\n", {5, 7}},
      {"5 , \n\n7\n", {5, 7}},
      // Repeats.
      {"3*0\n", {0, 0, 0}},
      {"2*7 1\n", {7, 7, 1}},
      {"2* 1\n", {kOld, kOld, 1}},
      {"2*,1\n", {kOld, kOld, 1}},
      {"2*\n1\n", {kOld, kOld, 1}},
      {"9*4\n", {4, 4}},
      {"2*-3 2*t\n", {-3, -3, -1, -1}},
      // The slash.
      {"1/4/2021\n", {1, kOld, kOld}},
      {"/ 5\n", {kOld}},
      {"1\n / 5\n", {1, kOld}},
      {"1,/\n", {1, kOld}},
      // Words beginning with t or f.
      {"t .t true T .True\n", {-1, -1, -1, -1, -1}},
      {"f .f false F .FALSE\n", {0, 0, 0, 0, 0}},
      {"tx,fy/5\n", {-1, 0, kOld}},
      // Decimal points and exponents, cut toward zero.
      {"7.5 -7.9 1e3 2d1\n", {7, -7, 1000, 20}},
      {"-0.5 .5 1.5E1 25e-1 +3 1.D+2 7.\n", {0, 0, 15, 2, 3, 100, 7}},
      {"0e999999999999 5e-99999999999\n", {0, 0}},
      {"2147483647 -2147483648 -00000000002147483648\n",
       {2147483647, -2147483647 - 1, -2147483647 - 1}},
      // Whatever follows the last value is passed over.
      {"12abc\n", {12}},
      {"1 2 three\n", {1, 2}},
      {"1 2\n3 4\n", {1, 2, 3}},
      // Reads span lines, empty and blank lines passed over.
      {"\n\n  \t\n1\n\n2 3\n", {1, 2, 3}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(Read(c.text, c.expected.size()), c.expected);
  }
}

TEST(ReadFreeForm, EveryReadStartsOnANewLine) {
  auto unit = testing::ReadingUnit("1 2 3\n4 5\n\n6");
  Items items(1, kOld);
  ReadFreeForm(*unit, items);
  EXPECT_EQ(items[0], 1);
  ReadFreeForm(*unit, items);
  EXPECT_EQ(items[0], 4);
  ReadFreeForm(*unit, {});  // no items: the empty line, not the rest of "4 5"
  ReadFreeForm(*unit, items);
  EXPECT_EQ(items[0], 6);
  EXPECT_EQ(unit->lines(), 4);
}

TEST(ReadFreeForm, Failures) {
  const std::string conversion = "error on data conversion";
  const std::string lexical = "lexical error-- unknown token type";
  const std::string end = "attempt to read past end of file";
  struct {
    const char* text;
    std::size_t count;
    std::string expected;
  } cases[] = {
      {"e5\n", 1, Diagnostic(231, conversion, 1)},
      {"E\n", 1, Diagnostic(231, conversion, 1)},
      {"d1\n", 1, Diagnostic(231, conversion, 1)},
      {"1 D\n", 2, Diagnostic(231, conversion, 1)},
      {"-\n", 1, Diagnostic(231, conversion, 1)},
      {"+ 5\n", 1, Diagnostic(231, conversion, 1)},
      {".\n", 1, Diagnostic(231, conversion, 1)},
      {".x\n", 1, Diagnostic(231, conversion, 1)},
      {"-t\n", 1, Diagnostic(231, conversion, 1)},
      {"2147483648\n", 1, Diagnostic(231, conversion, 1)},
      {"-2147483649\n", 1, Diagnostic(231, conversion, 1)},
      {"4294967296\n", 1, Diagnostic(231, conversion, 1)},
      {"4294967297\n", 1, Diagnostic(231, conversion, 1)},
      {"99999999999999999999\n", 1, Diagnostic(231, conversion, 1)},
      {"3e9\n", 1, Diagnostic(231, conversion, 1)},
      {"2.2e9\n", 1, Diagnostic(231, conversion, 1)},
      {"1e999999999999\n", 1, Diagnostic(231, conversion, 1)},
      {"3*2147483648\n", 1, Diagnostic(231, conversion, 1)},
      {"abc\n", 1, Diagnostic(225, lexical, 1)},
      {"x1\n", 1, Diagnostic(225, lexical, 1)},
      {"*5\n", 1, Diagnostic(225, lexical, 1)},
      {"#\n", 1, Diagnostic(225, lexical, 1)},
      {"1 ;\n", 2, Diagnostic(225, lexical, 1)},
      {"1\n\nabc\n", 2, Diagnostic(225, lexical, 3)},
      {"", 1, Diagnostic(217, end, 1)},
      {"\n\n", 1, Diagnostic(217, end, 3)},
      {"1 2\n", 3, Diagnostic(217, end, 2)},
      {"1,\n", 2, Diagnostic(217, end, 2)},
      {"1 2", 3, Diagnostic(217, end, 2)},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.text);
    EXPECT_EQ(FailureOf(c.text, c.count), c.expected);
  }
}

TEST(ReadFreeForm, WordAtTheConsolePromptNamesStdinAndLine1) {
  StringSource source("abc\n");
  TextUnit unit(kUnitConsoleIn, "stdin", source);
  std::int32_t value = 0;
  try {
    ReadFreeForm(unit, {&value, 1});
    FAIL() << "no failure";
  } catch (const RunFailure& failure) {
    EXPECT_EQ(testing::WithoutPlace(failure.what()),
              "OccasionTallies: run-time error 225 in free-form read on unit 5: lexical error-- "
              "unknown token type.\n  File stdin, formatted sequential, line 1\n  At <place>\n");
  }
}

TEST(SkipLine, ConsumesExactlyOneLine) {
  auto unit = testing::ReadingUnit("\n5\n1 2\n");
  SkipLine(*unit);  // the empty line only
  Items items(1, kOld);
  ReadFreeForm(*unit, items);
  EXPECT_EQ(items[0], 5);
  SkipLine(*unit);
  EXPECT_EQ(unit->lines(), 3);
  try {
    SkipLine(*unit);
    FAIL() << "no failure";
  } catch (const RunFailure& failure) {
    EXPECT_EQ(testing::WithoutPlace(failure.what()),
              Diagnostic(217, "attempt to read past end of file", 4));
  }
}

TEST(WriteFreeForm, WritesConsoleLines) {
  const std::string name = "Sus scrofa               ";  // 25 characters
  const std::string c40(40, 'a'), c38(38, 'b'), c39(39, 'c'), c79(79, 'd');
  struct {
    std::vector<std::string_view> texts;
    std::string expected;
  } cases[] = {
      {{}, "\n"},
      {{"Processing ", name}, " Processing Sus scrofa               \n"},
      {{"ab  ", "cd"}, " ab  cd\n"},
      {{""}, " \n"},
      {{c40, c38}, " " + c40 + c38 + "\n"},          // 79 characters
      {{c40, c39}, " " + c40 + "\n " + c39 + "\n"},  // 80 would be reached
      {{c79}, " " + c79 + "\n"},                     // a lone item is never moved
      {{c79, "x", "y"}, " " + c79 + "\n xy\n"},
      {{"x", c79}, " x\n " + c79 + "\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.expected);
    StringSink sink;
    TextUnit unit(kUnitConsoleOut, "stdout", sink);
    WriteFreeForm(unit, c.texts);
    EXPECT_EQ(sink.text(), c.expected);
  }
}

}  // namespace
}  // namespace ot
