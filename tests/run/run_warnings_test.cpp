// The run's warnings on standard error: each in its singular and plural form,
// their order, and the rule that tells a record out of the fixed columns.
#include <gtest/gtest.h>

#include <cerrno>
#include <sstream>
#include <string>
#include <string_view>

#include "base/failure.h"
#include "run/run_driver.h"
#include "run/survey_input.h"
#include "support/test_support.h"

namespace ot {
namespace {

using testing::Record;
using testing::RunInProcess;
using testing::ScratchFolder;

const std::string kWarning = "OccasionTallies: warning: ";

// One location operating 2020-01-01..01-10 and 01-20..01-31; the survey
// runs over all of January, so 11..19 January are idle days.
std::string SurveyOf(std::string_view species) {
  std::string input = "Warning study\n1\nRidge top\n2\n2020 1 1 2020 1 10\n2020 1 20 2020 1 31\n";
  std::size_t count = 0;
  std::string names;
  for (std::size_t start = 0; start < species.size(); ++count) {
    std::size_t end = std::min(species.find(';', start), species.size());
    names += std::string(species.substr(start, end - start)) + "\n";
    start = end + 1;
  }
  return input + std::to_string(count) + "\n" + names;
}

// A Ridge top record that is tallied on an operating day, with a bar in
// column 26 where a blank belongs: out of the fixed columns but read alike.
std::string Barred(std::string_view species, std::string_view when) {
  std::string record = Record("Ridge top", species, when);
  record[25] = '|';
  return record;
}

// Red fox: two of every kind. Records 3-4 fall on idle days, 5-6 each go
// back in time, 7 has hour 24 and 8 minute 60; 9-10 are barred.
const std::string kRedFoxTwice =
    Record("Oak ridge", "Red fox", "2020  1  2 10  0  0  1") +  // not in Input.txt
    Record("Ridge top", "Red fox", "2020 13  2 10  0  0  1") +  // month 13
    Record("Ridge top", "Red fox", "2020  1 12 10  0  0  1") +  // idle day
    Record("Ridge top", "Red fox", "2020  1 13 10  0  0  1") +  // idle day
    Record("Ridge top", "Red fox", "2020  1  2 10  0  0  1") +  // earlier
    Record("Ridge top", "Red fox", "2020  1  1 10  0  0  1") +  // earlier
    Record("Ridge top", "Red fox", "2020  1  3 24  0  0  1") +  // hour 24
    Record("Ridge top", "Red fox", "2020  1  5 10 60  0  1") +  // minute 60
    Barred("Red fox", "2020  1  6 10  0  0  1") + Barred("Red fox", "2020  1  7 10  0  0  1");

// Wild boar: one of every kind (line numbers follow kRedFoxTwice's ten).
const std::string kWildBoarOnce =
    Record("Oak ridge", "Wild boar", "2020  1  2 10  0  0  1") +  // not in Input.txt
    Record("Ridge top", "Wild boar", "2020  1 15 10  0  0  1") +  // idle day
    Record("Ridge top", "Wild boar", "2020  1  1 10  0  0  1") +  // earlier
    Record("Ridge top", "Wild boar", "2020  1  2 25  0  0  1") +  // hour 25
    Barred("Wild boar", "2020  1  8 10  0  0  1");

std::string RedFoxTwiceWarnings(std::string_view name = "Red fox") {
  const std::string head = kWarning + std::string(name) + ": ";
  return head +
         "2 pictures skipped (1 at locations not listed in Input.txt, 1 with a month outside "
         "1..12)\n" +
         head + "2 pictures on days their camera was not operating\n" + head +
         "2 pictures earlier than the picture before them at the same location (sort "
         "AllPictures.txt by location and time)\n" +
         head + "2 pictures with an impossible date or time (such as 31 April or hour 24)\n";
}

const std::string kWildBoarOnceWarnings =
    kWarning +
    "Wild boar: 1 picture skipped (1 at locations not listed in Input.txt, 0 with a month "
    "outside 1..12)\n" +
    kWarning + "Wild boar: 1 picture on a day its camera was not operating\n" + kWarning +
    "Wild boar: 1 picture earlier than the picture before it at the same location (sort "
    "AllPictures.txt by location and time)\n" +
    kWarning +
    "Wild boar: 1 picture with an impossible date or time (such as 31 April or hour 24)\n";

TEST(RunWarnings, SingularAndPluralInTheirOrder) {
  struct {
    const char* what;
    std::string species;  // separated by ';'
    std::string pictures;
    std::string err;
  } cases[] = {
      {"plural", "Red fox", kRedFoxTwice,
       RedFoxTwiceWarnings() + kWarning +
           "2 of 10 records in AllPictures.txt are not in the fixed columns (first at line 9)\n"},
      {"singular", "Wild boar", kWildBoarOnce,
       kWildBoarOnceWarnings + kWarning +
           "1 of 5 records in AllPictures.txt is not in the fixed columns (line 5)\n"},
      {"each species after its own turn, the fixed columns once after the last",
       "Red fox;Wild boar", kRedFoxTwice + kWildBoarOnce,
       RedFoxTwiceWarnings() + kWildBoarOnceWarnings + kWarning +
           "3 of 15 records in AllPictures.txt are not in the fixed columns (first at line 9)\n"},
      // Red fox cub's record is Red fox's too: both turns select it, but it
      // is counted once.
      {"a record selected by two species", "Red fox;Red fox cub",
       kRedFoxTwice + Barred("Red fox cub", "2020  1  9 10  0  0  1"),
       RedFoxTwiceWarnings() + kWarning +
           "3 of 11 records in AllPictures.txt are not in the fixed columns (first at line 9)\n"},
      // The first line out of the fixed columns is found in the second turn.
      {"first line found by a later species", "Wild boar;Red fox",
       Barred("Red fox", "2020  1  9 10  0  0  1") + kWildBoarOnce,
       kWildBoarOnceWarnings + kWarning +
           "2 of 6 records in AllPictures.txt are not in the fixed columns (first at line 1)\n"},
      {"nothing to warn of", "Red fox;Wild boar",
       Record("Ridge top", "Red fox", "2020  1  2 10  0  0  1") +
           Record("Ridge top", "Wild boar", "2020  1 21 23 59 59  9"),
       ""},
      // A record out of the fixed columns that only an unlisted species'
      // name would select; listing a subset of the species is normal.
      {"a record no listed species selects", "Red fox",
       Record("Ridge top", "Red fox", "2020  1  2 10  0  0  1") +
           Barred("Wild boar", "2020  1  2 10  0  0  1"),
       ""},
      {"no species listed", "", kRedFoxTwice, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    folder.Write("Input.txt", SurveyOf(c.species));
    folder.Write("AllPictures.txt", c.pictures);
    const testing::RunResult result = RunInProcess(folder, "30\n7\n\n");
    EXPECT_EQ(result.status, 0);
    EXPECT_EQ(result.err, c.err);
  }
}

// The warning about the fixed columns, or "" when the run gave none.
std::string FixedColumnsWarning(const std::string& err) {
  const std::size_t at = err.find(" not in the fixed columns");
  if (at == std::string::npos) return "";
  const std::size_t begin = err.rfind('\n', at) == std::string::npos ? 0 : err.rfind('\n', at) + 1;
  return err.substr(begin, err.find('\n', at) + 1 - begin);
}

// A record with every field in place: "Black moor clearing north" fills
// the location's 25 columns.
const std::string kLong = "Black moor clearing north";
const std::string kWhen = "2020  1  2 10  0  0  1";
const std::string kRedFox = "Red fox                  ";  // its 25 columns

TEST(FixedColumns, WhichRecordsAreOutOfThem) {
  const std::string good = Record(kLong, "Red fox", kWhen);
  const std::string bare = good.substr(0, good.size() - 1);  // without its line end
  const std::string bom = "\xEF\xBB\xBF";
  // "Forêt" has a 2-byte letter: padded to 25 characters it takes 26 bytes.
  const std::string foret = "For\xC3\xAAt de Chaux           ";
  const std::string squirrel =
      "\xC3\x89"
      "cureuil roux            ";
  struct {
    const char* what;
    std::string line;     // without its line end
    bool out_of_columns;  // by the rule alone
    bool warned;          // by a run listing Red fox and Écureuil roux
  } cases[] = {
      {"in the fixed columns", bare, false, false},
      {"comma-separated", kLong + ",Red fox,2020,1,2,10,0,0,1", true, true},
      {"tab-separated", kLong + "\tRed fox\t2020\t1\t2\t10\t0\t0\t1", true, true},
      {"a tab after the species", kLong + " Red fox\t" + bare.substr(34), true, true},
      {"a tab in column 72", bare.substr(0, 71) + "\t" + bare.substr(72), true, true},
      // The mark moves every column 3 to the right, so the species field
      // begins with "th " and no species selects the record.
      {"byte-order mark", bom + bare, true, false},
      // The location takes 26 bytes, so the species field begins with a
      // blank and no species selects the record.
      {"location padded by characters", foret + " " + bare.substr(26), true, false},
      {"species padded by characters", kLong + " " + squirrel + " " + kWhen, true, true},
      {"one blank too few after the species", kLong + " " + kRedFox + kWhen, true, true},
      {"one blank too few in the date", kLong + " " + kRedFox + " " + "2020 1  2 10  0  0  1", true,
       true},
      // Numbers are right-aligned, so a lost blank may move no digit into a
      // separating column: the record reads as it should.
      {"one blank too few before the seconds",
       kLong + " " + kRedFox + " " + "2020  1  2 10  0 0  1", false, false},
      {"5-digit year", kLong + " " + kRedFox + " " + "20020  1  2 10  0  0  1", true, true},
      {"blank", "", false, false},
      {"blanks only", std::string(80, ' '), false, false},
      {"short heading", "Pictures", false, false},
      {"heading without a digit",
       "Location                  Species                   Year Mo Dy Hr Mi Se Ct", false, false},
      {"remark with a digit only after column 74", std::string(74, '-') + " 2020", false, false},
      {"comment after column 74", bare + "  ;seen twice, 1 of 2", false, false},
      {"short line with a digit before the first separating column", "Ridge top 2020", false,
       false},
      // The species field is empty, so no species selects the record.
      {"a line ending in column 26", kLong + "2", true, false},
      {"a line ending before column 26", "Black moor clearing no 12", false, false},
      {"bar in column 72", bare.substr(0, 71) + "|" + bare.substr(72), true, true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    EXPECT_EQ(MisalignedRecords::IsMisaligned(c.line), c.out_of_columns);

    ScratchFolder folder;
    folder.Write("Input.txt", "Columns\n1\n" + kLong + "\n1\n2020 1 1 2020 1 31\n2\nRed fox\n" +
                                  squirrel + "\n");
    // The record is line 2 of 3, the last line without its line end.
    folder.Write("AllPictures.txt", good + c.line + "\n" + bare);
    const testing::RunResult result = RunInProcess(folder, "30\n7\n\n");
    EXPECT_EQ(result.status, 0) << result.err;
    EXPECT_EQ(FixedColumnsWarning(result.err),
              c.warned ? kWarning +
                             "1 of 3 records in AllPictures.txt is not in the fixed columns "
                             "(line 2)\n"
                       : "");
  }
}

TEST(FixedColumns, EveryLineCountsInTheTotal) {
  const std::string barred = Barred("Red fox", kWhen);
  const std::string bare_barred = barred.substr(0, barred.size() - 1);
  const std::string good = Record("Ridge top", "Red fox", kWhen);
  struct {
    const char* what;
    std::string pictures;
    std::string warning;
  } cases[] = {
      {"last line with its line end", good + barred, "1 of 2 records"},
      {"last line without a line feed", good + bare_barred, "1 of 2 records"},
      {"CRLF line ends", "heading\r\n" + bare_barred + "\r\n" + bare_barred, "2 of 3 records"},
      {"blank and heading lines count", "\n\nLocation Species\n" + barred + "\n", "1 of 5 records"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    folder.Write("Input.txt", SurveyOf("Red fox"));
    folder.Write("AllPictures.txt", c.pictures);
    const std::string err = RunInProcess(folder, "30\n7\n\n").err;
    const std::string line = FixedColumnsWarning(err);
    EXPECT_EQ(line.substr(0, kWarning.size() + c.warning.size()), kWarning + c.warning) << err;
  }
}

// Console output that takes `good_lines` lines, then fails with EPIPE.
class BreakingSink : public ByteSink {
 public:
  explicit BreakingSink(int good_lines) : good_lines_(good_lines) {}
  int Write(std::string_view) override { return good_lines_-- > 0 ? 0 : EPIPE; }

 private:
  int good_lines_;
};

TEST(FixedColumns, NeverWarnedOfByARunThatFails) {
  const std::string barred = Barred("Red fox", kWhen);
  const std::string bad_count = Record("Ridge top", "Wild boar", "2020  1  2 10  0  0  x");
  const std::string kConversion =
      "OccasionTallies: run-time error 231 in fixed-width read on unit 1";
  struct {
    const char* what;
    std::string species;
    std::string pictures;
    int console_lines;
    std::string err_begins;  // the diagnostic's first line
  } cases[] = {
      {"failure in a later species' turn", "Red fox;Wild boar", barred + bad_count, 1000,
       kConversion},
      // Banner, two prompts and one "Processing" line; the final line fails.
      {"console gone at the final line", "Red fox", barred, 4, "OccasionTallies: Broken pipe\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    folder.Write("Input.txt", SurveyOf(c.species));
    folder.Write("AllPictures.txt", c.pictures);
    DiskFolder disk(folder.path());
    StringSource in("30\n7\n\n");
    BreakingSink out(c.console_lines);
    std::ostringstream err;
    EXPECT_THROW(
        {
          try {
            RunOccasionTallies({disk, in, out, err});
          } catch (const RunFailure& failure) {
            EXPECT_EQ(std::string(failure.what()).substr(0, c.err_begins.size()), c.err_begins);
            throw;
          }
        },
        RunFailure);
    EXPECT_EQ(FixedColumnsWarning(err.str()), "");
  }
}

}  // namespace
}  // namespace ot
