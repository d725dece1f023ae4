// CSV tables through libcsv and zlib: quoting, line ends, byte-order marks,
// missing values, tables over several files, and each malformed table with
// its message.
#include "import/csv_reader.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include "base/exit_status.h"
#include "base/failure.h"
#include "import/data_file.h"
#include "support/test_support.h"

namespace ot::import {
namespace {

using testing::ScratchFolder;

CsvInput InMemory(std::string name, std::string text, std::size_t chunk) {
  return {std::move(name),
          [text = std::move(text), chunk] { return std::make_unique<StringChunks>(text, chunk); }};
}

// The header, then each row as "LINE:value|value", separated by ";".
std::string ReadAll(CsvReader& csv) {
  std::string shown;
  for (const std::string& name : csv.header()) shown += (shown.empty() ? "" : "|") + name;
  while (csv.Next()) {
    const std::size_t last = csv.header().size() - 1;
    shown.append(";").append(std::to_string(csv.Line(last))).append(":");
    for (std::size_t i = 0; i <= last; ++i) shown.append(i ? "|" : "").append(csv.Value(i));
  }
  return shown;
}

// The diagnostic of reading `text` whole, or "" when it reads.
std::string FailureOf(const std::function<void()>& read) {
  try {
    read();
  } catch (const RunFailure& failure) {
    EXPECT_EQ(failure.exit_status(), kExitToolFailed);
    return failure.what();
  }
  return "";
}

TEST(CsvReader, ReadsQuotedFieldsLineEndsAndMissingValues) {
  const struct {
    const char* what;
    std::string text;
    char delimiter;
    const char* rows;
  } cases[] = {
      {"LF", "a,b\n1,2\n3,4\n", ',', "a|b;2:1|2;3:3|4"},
      {"CRLF, no final line end", "a,b\r\n1,2\r\n3,4", ',', "a|b;2:1|2;3:3|4"},
      {"byte-order mark",
       "\xEF\xBB\xBF"
       "a,b\n1,2\n",
       ',', "a|b;2:1|2"},
      {"quoted comma, doubled quotes, a line break in a field",
       "name,note\n\"B\xC3\xA4renbach, Moorweg\",\"a \"\"fox\"\"\"\nx,\"two\nlines\"\ny,z\n", ',',
       "name|note;2:B\xC3\xA4renbach, Moorweg|a \"fox\";4:x|two\nlines;5:y|z"},
      {"missing values", "a,b,c,d,e\nNA,NaN,nan,,x\n", ',', "a|b|c|d|e;2:||||x"},
      {"blank lines and empty rows passed over", "a,b\n\n1,2\n,\n3,4\n", ',', "a|b;3:1|2;5:3|4"},
      {"blanks around values", " a , b \n  1 ,\" 2 \"\n", ',', "a|b;2:1|2"},
      {"semicolons found in the header", "a;b;c\n1,5;2;3\n", 0, "a|b|c;2:1,5|2|3"},
      {"tabs found in the header", "a\tb\n1\t \"2\"\n", 0, "a|b;2:1|2"},
  };
  for (const auto& c : cases) {
    for (const std::size_t chunk : {std::size_t{1}, std::size_t{3}, std::size_t{1} << 16}) {
      SCOPED_TRACE(std::string(c.what) + ", chunk " + std::to_string(chunk));
      CsvReader csv({InMemory("t.csv", c.text, chunk)}, c.delimiter);
      EXPECT_EQ(ReadAll(csv), c.rows);
    }
  }
}

TEST(CsvReader, ReadsATableOverSeveralFiles) {
  CsvReader csv({InMemory("one.csv", "a,b\n1,2\n", 4), InMemory("two.csv", "A,B\n3,4\n", 4),
                 InMemory("three.csv", "5,6\n", 4)});
  std::string files;
  EXPECT_EQ(ReadAll(csv), "a|b;2:1|2;2:3|4;1:5|6");
  CsvReader again({InMemory("one.csv", "a,b\n1,2\n", 4), InMemory("two.csv", "a,b\n3,4\n", 4)});
  while (again.Next()) files += again.RowFile() + " ";
  EXPECT_EQ(files, "one.csv two.csv ");
}

TEST(CsvReader, NamesFileLineAndColumnOfEachFault) {
  const struct {
    const char* what;
    std::string text;
    const char* message;
  } cases[] = {
      {"empty file", "", "t.csv: expected a header line, found an empty file"},
      {"a field too many", "a,when\n1,2\n1,2,3\n",
       "t.csv: line 3: expected 2 fields as in the header line, found 3"},
      {"a quote inside a field", "a,when\n1,x\"y\n",
       "t.csv: line 2: expected a delimiter or the line end after a closing double quote, and no "
       "double quote inside a field that does not begin with one"},
      {"a quote never closed", "a,when\n1,\"open\n2,3\n",
       "t.csv: line 3: expected a closing double quote before the end of the file"},
      {"a value the caller refuses", "a,when\n1,2023-13-01\n",
       "t.csv: line 2, column when: expected a date, found \"2023-13-01\""},
      {"a column the caller needs", "a,b\n",
       "t.csv: line 1: expected a column named when in the header line, found none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    const std::string message = FailureOf([&c] {
      CsvReader csv({InMemory("t.csv", c.text, 5)});
      const std::size_t when = csv.RequireColumn("when");
      while (csv.Next()) {
        if (csv.Value(when).starts_with("2023-13")) csv.Fail(when, "a date");
      }
    });
    EXPECT_EQ(message, std::string("OccasionTallies: ") + c.message + "\n");
  }
}

TEST(CsvReader, ReadsGzipFilesThroughZlib) {
  ScratchFolder folder;
  const std::string text = "a,b\n1,\"x, y\"\n";
  gzFile gz = gzopen((folder.path() / "t.csv.gz").c_str(), "wb");
  gzwrite(gz, text.data(), static_cast<unsigned>(text.size()));
  gzclose(gz);
  folder.Write("plain.csv.gz", text);
  const auto file = [&folder](const std::string& name) {
    const std::filesystem::path path = folder.path() / name;
    return CsvInput{name, [path, name] { return std::make_unique<DataFile>(path, name); }};
  };
  CsvReader csv({file("t.csv.gz")});
  EXPECT_EQ(ReadAll(csv), "a|b;2:1|x, y");
  const struct {
    const char* name;
    const char* message;
  } faults[] = {
      {"plain.csv.gz", "plain.csv.gz: expected gzip-compressed data, as the name ends in .gz"},
      {"missing.csv", "missing.csv: cannot open: No such file or directory"},
      {".", ".: cannot open: Is a directory"},
  };
  for (const auto& fault : faults) {
    SCOPED_TRACE(fault.name);
    EXPECT_EQ(FailureOf([&] { CsvReader reader({file(fault.name)}); }),
              std::string("OccasionTallies: ") + fault.message + "\n");
  }
}

}  // namespace
}  // namespace ot::import
