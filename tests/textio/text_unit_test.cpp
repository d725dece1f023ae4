#include "textio/text_unit.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <string>
#include <vector>

#include "support/test_support.h"
#include "textio/fixed_width.h"
#include "textio/free_form.h"

namespace ot {
namespace {

using Lines = std::vector<std::string>;

Lines AllLines(TextUnit& unit) {
  Lines lines;
  std::string_view line;
  while (unit.NextLine(IoOperation::kFixedRead, line)) lines.emplace_back(line);
  return lines;
}

// The diagnostic of `action`, which is expected to fail.
template <typename Action>
std::string FailureOf(Action action) {
  try {
    action();
  } catch (const RunFailure& failure) {
    return testing::WithoutPlace(failure.what());
  }
  return "no failure";
}

TEST(TextUnit, LineEnds) {
  struct {
    std::string text;
    Lines expected;
  } cases[] = {
      {"a\nbc\n", {"a", "bc"}},
      {"a\r\nbc\r\n", {"a", "bc"}},
      {"a\r\nbc\n", {"a", "bc"}},
      {"a\rb\n", {"a\rb"}},  // a lone carriage return is an ordinary character
      {"a\r\r\n", {"a\r"}},
      {"\rx\r", {"\rx\r"}},
      {"a\nbc", {"a", "bc"}},  // the last line without line end is a line
      {"a\n", {"a"}},          // the empty remainder is not
      {"", {}},
      {"\n", {""}},
      {"\r\n\n\r\n", {"", "", ""}},
      {"first line\n\nthird line, longer than the chunks\r\n",
       {"first line", "", "third line, longer than the chunks"}},
  };
  for (const auto& c : cases) {
    for (std::size_t chunk : {1, 2, 3, 4, 5, 6, 7, 1 << 16}) {
      SCOPED_TRACE(::testing::PrintToString(c.text) + " in chunks of " + std::to_string(chunk));
      auto file = testing::ReadingUnit(c.text, chunk);
      EXPECT_EQ(AllLines(*file), c.expected);
      EXPECT_EQ(file->lines(), static_cast<std::int64_t>(c.expected.size()));
      StringSource source(c.text, chunk);
      TextUnit console(kUnitConsoleIn, "stdin", source);
      EXPECT_EQ(AllLines(console), c.expected);
    }
  }
}

TEST(TextUnit, LinesLongerThanTheBufferAreReadWhole) {
  const std::string huge(3'000'000, 'x');
  auto file = testing::ReadingUnit(huge + "y\r\nshort\n" + huge, 999'983);
  const Lines lines = AllLines(*file);  // compared as a whole to keep failures short
  ASSERT_EQ(lines.size(), 3u);
  EXPECT_EQ(lines[0].size(), huge.size() + 1);
  EXPECT_TRUE(lines[0] == huge + "y" && lines[1] == "short" && lines[2] == huge);

  const std::string wide(10'000, 'w');  // beyond the console buffer
  StringSource source(wide + "\n" + wide + "\n", 7);
  TextUnit console(kUnitConsoleIn, "stdin", source);
  EXPECT_EQ(AllLines(console), (Lines{wide, wide}));
}

TEST(TextUnit, FilesEndLinesWithCrLfAndTheConsoleWithLf) {
  constexpr Field kLayout[] = {TextField(2)};
  const std::string_view texts[] = {"hi"};
  const WriteItem items[] = {std::string_view("ab")};
  StringSink file_sink, console_sink;
  {
    auto file = testing::WritingUnit(file_sink);
    TextUnit console(kUnitConsoleOut, "stdout", console_sink);
    for (TextUnit* unit : {file.get(), &console}) {
      WriteFixed(*unit, {kLayout}, items);
      WriteFreeForm(*unit, texts);
      WriteFreeForm(*unit, {});
      EXPECT_EQ(unit->lines(), 3);
    }
    EXPECT_EQ(console_sink.text(), "ab\n hi\n\n");  // handed on at once
    file->Close();
  }
  EXPECT_EQ(file_sink.text(), "ab\r\n hi\r\n\r\n");
}

TEST(TextUnit, ConsoleWriteFailureIsTheSystemFailure) {
  StringSink sink;
  TextUnit console(kUnitConsoleOut, "stdout", sink);
  const std::string_view texts[] = {"Processing"};
  WriteFreeForm(console, texts);
  sink.fail_errno = EPIPE;
  EXPECT_EQ(FailureOf([&] { WriteFreeForm(console, texts); }),
            "OccasionTallies: Broken pipe\n"
            "OccasionTallies: run-time error in free-form write on unit 6: error code returned by "
            "host stdio - 32.\n  File stdout, formatted sequential, line 2\n  At <place>\n");
  constexpr Field kLayout[] = {IntegerField(1)};
  const WriteItem items[] = {std::int64_t{1}};
  TextUnit fresh(kUnitConsoleOut, "stdout", sink);
  EXPECT_EQ(FailureOf([&] { WriteFixed(fresh, {kLayout}, items); }),
            "OccasionTallies: Broken pipe\n"
            "OccasionTallies: run-time error in fixed-width write on unit 6: error code returned "
            "by host stdio - 32.\n  File stdout, formatted sequential, line 1\n  At <place>\n");
}

class NamedFiles : public ::testing::Test {
 protected:
  testing::ScratchFolder scratch;
  DiskFolder disk{scratch.path()};
  StringSource console_in{""};
  StringSink console_out;
  UnitTable units{disk, console_in, console_out};
};

std::string OpenFailure(int unit, const std::string& name, const std::string& error_text,
                        int error) {
  return "OccasionTallies: " + error_text + "\nOccasionTallies: run-time error in open on unit " +
         std::to_string(unit) + ": error code returned by host stdio - " + std::to_string(error) +
         ".\n  File " + name + "\n  At <place>\n";
}

TEST_F(NamedFiles, ReadingAMissingFileFailsAtOpenAndCreatesNothing) {
  EXPECT_EQ(FailureOf([&] { OpenTextFile(units, 1, "  Input.txt ", FileAccess::kRead); }),
            OpenFailure(1, "Input.txt", "No such file or directory", 2));
  EXPECT_EQ(scratch.Listing(), "");
}

TEST_F(NamedFiles, ADirectoryInPlaceOfTheFileFailsAtOpen) {
  std::filesystem::create_directory(scratch.path() / "temp.txt");
  EXPECT_EQ(FailureOf([&] { OpenTextFile(units, 1, "temp.txt", FileAccess::kRead); }),
            OpenFailure(1, "temp.txt", "Is a directory", 21));
  EXPECT_EQ(FailureOf([&] { OpenTextFile(units, kUnitTemp, "temp.txt", FileAccess::kWrite); }),
            OpenFailure(15, "temp.txt", "Is a directory", 21));
}

TEST_F(NamedFiles, WritingReplacesTheContentAndReadingItBack) {
  scratch.Write("out.txt", "old 1\r\nold 2\r\nold 3\r\n");
  OpenTextFile(units, kUnitOutput, " out.txt  ", FileAccess::kWrite);
  constexpr Field kLayout[] = {TextField(3), SkipColumns(1), IntegerField(3)};
  const WriteItem items[] = {std::string_view("new"), std::int64_t{42}};
  WriteFixed(units[kUnitOutput], {kLayout}, items);
  CloseTextFile(units, kUnitOutput);
  EXPECT_EQ(scratch.Read("out.txt"), "new  42\r\n");
  EXPECT_EQ(scratch.Listing(), "out.txt");

  OpenTextFile(units, 1, "out.txt", FileAccess::kRead);
  std::int32_t value = 0;
  const ReadItem read[] = {&value};
  constexpr Field kSkipText[] = {SkipColumns(4), IntegerField(3)};
  EXPECT_TRUE(ReadFixedOrEnd(units[1], {kSkipText}, read));
  EXPECT_EQ(value, 42);
  EXPECT_EQ(units[1].name(), "out.txt");
  EXPECT_EQ(FailureOf([&] {
              ReadFreeForm(units[1], {&value, 1});
            }),
            "OccasionTallies: run-time error 217 in free-form read on unit 1: attempt to read past "
            "end of file.\n  File out.txt, formatted sequential, line 2\n  At <place>\n");
  CloseTextFile(units, 1);
  EXPECT_EQ(scratch.Read("out.txt"), "new  42\r\n");
}

TEST_F(NamedFiles, DelCommandRemovesTheFile) {
  scratch.Write("x.txt", "1\r\n");
  struct {
    const char* command;
    bool remains;
  } cases[] = {
      {"dir", true},        {"echo del x.txt", true},    {"rm x.txt", true},
      {"del", true},        {"del missing.txt  ", true}, {"del x.txt  ", false},
      {"del x.txt", false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.command);
    RunShellCommand(disk, c.command);
    EXPECT_EQ(scratch.Exists("x.txt"), c.remains);
    scratch.Write("x.txt", "1\r\n");
  }
  EXPECT_EQ(console_out.text(), "");
}

}  // namespace
}  // namespace ot
