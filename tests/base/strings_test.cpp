// The string helpers on the inputs where a plausible mistake shows: a tab
// taken for a blank, a case rule that is not ASCII's, an escape that leaves
// a control byte or takes a printable one, an off-by-one in a prefix.
#include "base/strings.h"

#include <gtest/gtest.h>

#include <string>

namespace ot {
namespace {

std::string Bool(bool value) {
  return value ? "true" : "false";
}

TEST(Strings, EachHelperOnItsEdges) {
  const std::string nul_inside("Ri\0dge", 6);
  const struct {
    const char* what;
    std::string got;
    std::string expected;
  } cases[] = {
      // A survey name keeps its tabs and its leading blanks.
      {"trailing spaces", std::string(StripTrailingSpaces(" Red fox \t  ")), " Red fox \t"},
      {"trailing spaces, all blank", std::string(StripTrailingSpaces("   ")), ""},
      {"spaces at both ends", std::string(StripSpaces("  a b  ")), "a b"},
      {"spaces at both ends, tab stays", std::string(StripSpaces("\ta ")), "\ta"},
      {"spaces and tabs", std::string(StripSpacesAndTabs(" \t12:00 \t")), "12:00"},
      {"spaces and tabs, line ends stay", std::string(StripSpacesAndTabs("\r12\n")), "\r12\n"},
      {"spaces and tabs, nothing else", std::string(StripSpacesAndTabs(" \t ")), ""},

      {"starts with", Bool(StartsWith("Red fox", "Red")), "true"},
      {"starts with the whole", Bool(StartsWith("Red", "Red")), "true"},
      {"starts with nothing", Bool(StartsWith("", "")), "true"},
      {"longer prefix", Bool(StartsWith("Red", "Red ")), "false"},
      {"differs in the last byte", Bool(StartsWith("Rex fox", "Red")), "false"},
      {"differs in the first byte", Bool(StartsWith("Xed fox", "Red")), "false"},
      {"differs in a middle byte", Bool(StartsWith("Rxd fox", "Red")), "false"},
      {"differs after a NUL", Bool(StartsWith(nul_inside, std::string("Ri\0x", 4))), "false"},

      {"equal but for case", Bool(EqualsIgnoreCase("Red FOX", "red fox")), "true"},
      {"@ is not the upper case of `", Bool(EqualsIgnoreCase("@", "`")), "false"},
      {"[ is not the upper case of {", Bool(EqualsIgnoreCase("[", "{")), "false"},
      {"UTF-8 letters are compared as bytes", Bool(EqualsIgnoreCase("\xC3\xA9", "\xC3\x89")),
       "false"},
      {"a prefix is not equal", Bool(EqualsIgnoreCase("fox", "fo")), "false"},
      {"starts with, case apart", Bool(StartsWithIgnoreCase("Red fox", "RED")), "true"},
      {"starts with, shorter text", Bool(StartsWithIgnoreCase("Re", "RED")), "false"},

      {"every control byte escaped", EscapeControlBytes(std::string("a\tb\n\x01\x1F\x7F", 7)),
       "a\\x09b\\x0A\\x01\\x1F\\x7F"},
      {"a NUL escaped, not an end", EscapeControlBytes(nul_inside), "Ri\\x00dge"},
      {"printable bytes and UTF-8 stay", EscapeControlBytes(" ~\xC3\xA9\x80\xFF"),
       " ~\xC3\xA9\x80\xFF"},
      {"quoted as it stands", Quote("say \"hi\"\t"), "\"say \"hi\"\t\""},
      {"quoted nothing", Quote(""), "\"\""},

      {"one", Pluralize(1, "picture", "pictures"), "1 picture"},
      {"none", Pluralize(0, "picture", "pictures"), "0 pictures"},
      {"minus one", Pluralize(-1, "picture", "pictures"), "-1 pictures"},
      {"eleven", Pluralize(11, "day", "days"), "11 days"},
      {"large", Pluralize(10'000'000'000, "day", "days"), "10000000000 days"},
      {"the word alone", std::string(SingularOrPlural(1, "is", "are")), "is"},

      {"a date", FormatIsoDate({2019, 11, 20}), "2019-11-20"},
      {"an early year", FormatIsoDate({999, 1, 2}), "0999-01-02"},
      {"values that fit no calendar", FormatIsoDate({20019, 13, 0}), "20019-13-00"},
      {"negative values", FormatIsoDate({-5, -1, 1}), "-5--1-01"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(c.got, c.expected);
  }
}

}  // namespace
}  // namespace ot
