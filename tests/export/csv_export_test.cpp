// The CSV export of `run --csv`: its values on a small survey worked out by
// hand, where it is written and what a failure leaves.
#include "export/csv_export.h"

#include <csv.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "base/exit_status.h"
#include "export/species_file_names.h"
#include "support/test_support.h"

namespace ot {
namespace {

namespace fs = std::filesystem;
using testing::Record;
using testing::RunCommandInProcess;
using testing::RunResult;
using testing::ScratchFolder;

// 2020-03-01 .. 03-14: 14 survey days, with 5-day occasions 1-5, 6-10 and
// 11-14 (the last one 4 days long). Ridge top operates every day (effort
// 5, 5, 4); "Creek, lower" on 4..8 (2 of 5 days: half operating, then 3,
// then none); Pond on 1..5 and 11..14 (5, none, 4). 28 camera-days.
// "Red fox" and "Red-Fox" are two species (a name selects the records it
// begins, case and all) whose file names meet.
const std::string kHandInput =
    "Hand-checked study\n3\n"
    "Ridge top\n1\n2020 3 1 2020 3 14\n"
    "Creek, lower\n1\n2020 3 4 2020 3 8\n"
    "Pond\n2\n2020 3 1 2020 3 5\n2020 3 11 2020 3 14\n"
    "3\nRed fox\nRed-Fox\nRoe deer \"buck\"\n";

// Red fox: at Ridge top eleven events of 99 an hour apart on day 2 (1089
// in occasion 1, which OccasionTallies.txt caps at 999) and 2 on day 12; at
// "Creek, lower" 3 on day 2, a day its camera was not operating, and 1 on
// day 5 (4 in occasion 1, where OccasionTallies.txt shows 4 less the 3 idle
// days); at Pond 2 on day 7, in an occasion without effort (NA). One picture
// at an unlisted location and one after the survey are skipped. Red-Fox: one
// event at Pond on day 12 raised from 1 to 3. Roe deer "buck": nothing.
std::string HandPictures() {
  std::string pictures;
  for (int hour = 0; hour <= 10; ++hour) {
    char when[32];
    std::snprintf(when, sizeof when, "2020  3  2 %2d  0  0 99", hour);
    pictures += Record("Ridge top", "Red fox", when);
  }
  return pictures + Record("Ridge top", "Red fox", "2020  3 12  5  0  0  2") +
         Record("Creek, lower", "Red fox", "2020  3  2 22  0  0  3") +
         Record("Creek, lower", "Red fox", "2020  3  5  6  0  0  1") +
         Record("Pond", "Red fox", "2020  3  7 12  0  0  2") +
         Record("Pond", "Red-Fox", "2020  3 12 20  0  0  1") +
         Record("Pond", "Red-Fox", "2020  3 12 20 10  0  3") +
         Record("Nowhere", "Red fox", "2020  3  3  1  0  0  1") +
         Record("Ridge top", "Red fox", "2020  4  1  1  0  0  1");
}

struct ExportRun {
  ScratchFolder survey;
  ScratchFolder out;
  RunResult result;

  ExportRun(const std::string& input, const std::string& pictures, const std::string& days) {
    survey.Write("Input.txt", input);
    survey.Write("AllPictures.txt", pictures);
    result = Run(days);
  }
  RunResult Run(const std::string& days) const {
    return RunCommandInProcess({"occasion-tallies", "run", "-p", "30", "-d", days, "-C",
                                survey.path().string(), "--csv", out.path().string()});
  }
  std::string Read(const std::string& name) const { return out.Read(name); }
};

const std::string kHandWarnings =
    "OccasionTallies: warning: Red fox: 1 picture skipped (1 at locations not listed in "
    "Input.txt, 0 with a month outside 1..12)\n"
    "OccasionTallies: warning: Red fox: 2 pictures on days their camera was not operating\n";

TEST(CsvExport, ValuesOfTheHandCheckedSurvey) {
  const ExportRun run(kHandInput, HandPictures(), "5");
  ASSERT_EQ(run.result.status, kExitOk) << run.result.err;
  EXPECT_EQ(run.result.err, kHandWarnings);
  const struct {
    const char* file;
    std::string content;
  } files[] = {
      {"occasions.csv",
       "occasion,first_date,last_date,days\n"
       "1,2020-03-01,2020-03-05,5\n2,2020-03-06,2020-03-10,5\n3,2020-03-11,2020-03-14,4\n"},
      {"effort.csv",
       "site,effort.1,effort.2,effort.3\n"
       "Ridge top,5,5,4\n\"Creek, lower\",2,3,0\nPond,5,0,4\n"},
      {"counts/red-fox.csv",
       "site,y.1,y.2,y.3,effort.1,effort.2,effort.3\n"
       "Ridge top,1089,0,2,5,5,4\n\"Creek, lower\",4,0,NA,2,3,0\nPond,0,NA,0,5,0,4\n"},
      {"counts/red-fox-2.csv",
       "site,y.1,y.2,y.3,effort.1,effort.2,effort.3\n"
       "Ridge top,0,0,0,5,5,4\n\"Creek, lower\",0,0,NA,2,3,0\nPond,0,NA,3,5,0,4\n"},
      {"counts/roe-deer-buck.csv",
       "site,y.1,y.2,y.3,effort.1,effort.2,effort.3\n"
       "Ridge top,0,0,0,5,5,4\n\"Creek, lower\",0,0,NA,2,3,0\nPond,0,NA,0,5,0,4\n"},
      {"summary.csv",
       "species,pictures,pictures_skipped,events,individuals,sites_detected,sites_operating,"
       "naive_occupancy,trap_days\n"
       // Pond's 2 fell where it had no effort: Pond is not detected.
       "Red fox,15,2,15,1097,2,3,0.6666666666666666,28\n"
       "Red-Fox,2,0,1,3,1,3,0.3333333333333333,28\n"
       "\"Roe deer \"\"buck\"\"\",0,0,0,0,0,3,0,28\n"},
  };
  for (const auto& f : files) {
    SCOPED_TRACE(f.file);
    EXPECT_EQ(run.Read(f.file), f.content);
  }
  // The long layout: the same numbers, species by site by occasion.
  const std::string header = "species,site,occasion,first_date,last_date,effort_days,count\n";
  std::string rows;
  const char* dates[] = {"2020-03-01,2020-03-05", "2020-03-06,2020-03-10", "2020-03-11,2020-03-14"};
  const char* species[] = {"Red fox", "Red-Fox", "\"Roe deer \"\"buck\"\"\""};
  const char* sites[] = {"Ridge top", "\"Creek, lower\"", "Pond"};
  const char* cells[3][3][3] = {
      {{"5,1089", "5,0", "4,2"}, {"2,4", "3,0", "0,NA"}, {"5,0", "0,NA", "4,0"}},
      {{"5,0", "5,0", "4,0"}, {"2,0", "3,0", "0,NA"}, {"5,0", "0,NA", "4,3"}},
      {{"5,0", "5,0", "4,0"}, {"2,0", "3,0", "0,NA"}, {"5,0", "0,NA", "4,0"}},
  };
  for (int s = 0; s < 3; ++s) {
    for (int i = 0; i < 3; ++i) {
      for (int k = 0; k < 3; ++k) {
        rows += std::string(species[s]) + "," + sites[i] + "," + std::to_string(k + 1) + "," +
                dates[k] + "," + cells[s][i][k] + "\n";
      }
    }
  }
  EXPECT_EQ(run.Read("long.csv"), header + rows);
  // The same cells in OccasionTallies.txt: 1089 capped at 999, the half
  // operating occasion 4 - 3 idle days, no effort " - ".
  const std::string tallies = run.survey.Read("OccasionTallies.txt");
  EXPECT_NE(tallies.find("Red fox                  \r\n"
                         "999   0   2 999\r\n"
                         "  1  -   -    1\r\n"
                         "  0  -    0   0\r\n"),
            std::string::npos)
      << tallies;
  EXPECT_EQ(run.out.Listing(), "counts effort.csv long.csv occasions.csv summary.csv");
}

// A survey whose Input.txt breaks off after the locations.
const std::string kBrokenInput = "Broken study\n1\nRidge top\n1\n2020 3 1 2020 3 14\n";

TEST(CsvExport, AFailedRunWritesNone) {
  const ExportRun run(kBrokenInput, HandPictures(), "5");
  EXPECT_EQ(run.result.status, kExitRunFailed);
  EXPECT_EQ(run.out.Listing(), "");
}

// A second export into a folder, nested two deep when first made, replaces
// the files of the first and leaves others alone.
TEST(CsvExport, ReplacesItsOwnFilesAndLeavesOthers) {
  ExportRun run(kHandInput, HandPictures(), "5");
  const fs::path nested = run.out.path() / "a" / "b";
  const RunResult first =
      RunCommandInProcess({"occasion-tallies", "run", "-p", "30", "-d", "5", "-C",
                           run.survey.path().string(), "--csv", nested.string()});
  ASSERT_EQ(first.status, kExitOk) << first.err;
  ASSERT_TRUE(fs::is_regular_file(nested / "counts" / "red-fox.csv"));
  run.out.Write("a/b/notes.txt", "mine");
  run.out.Write("a/b/counts/old-species.csv", "from an earlier export");
  const RunResult second =
      RunCommandInProcess({"occasion-tallies", "run", "-p", "30", "-d", "7", "-C",
                           run.survey.path().string(), "--csv", nested.string()});
  ASSERT_EQ(second.status, kExitOk) << second.err;
  EXPECT_EQ(run.Read("a/b/occasions.csv"),
            "occasion,first_date,last_date,days\n"
            "1,2020-03-01,2020-03-07,7\n2,2020-03-08,2020-03-14,7\n");
  EXPECT_EQ(run.Read("a/b/notes.txt"), "mine");
  EXPECT_EQ(run.Read("a/b/counts/old-species.csv"), "from an earlier export");
}

// Every failure is one line with status 1 after a run that ended normally,
// and no file of the export is replaced or left half written.
TEST(CsvExport, FailuresReplaceNothing) {
  const struct {
    const char* what;
    void (*prepare)(const ScratchFolder& out);
    std::string folder;  // under the scratch folder
    std::string message;
  } cases[] = {
      {"the folder is a file", [](const ScratchFolder& out) { out.Write("file", "x"); }, "file",
       "cannot create folder <out>/file: Not a directory"},
      {"counts is a file", [](const ScratchFolder& out) { out.Write("counts", "x"); }, "",
       "cannot create folder <out>/counts: Not a directory"},
      {"summary.csv is a folder",
       [](const ScratchFolder& out) {
         fs::create_directories(out.path() / "summary.csv" / "inside");
       },
       "", "cannot replace <out>/summary.csv: Is a directory"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder survey;
    survey.Write("Input.txt", kHandInput);
    survey.Write("AllPictures.txt", HandPictures());
    ScratchFolder out;
    out.Write("occasions.csv", "from an earlier export");
    c.prepare(out);
    const std::string listing = out.Listing();
    const fs::path folder = c.folder.empty() ? out.path() : out.path() / c.folder;
    const RunResult r = RunCommandInProcess({"occasion-tallies", "run", "-p", "30", "-d", "5", "-C",
                                             survey.path().string(), "--csv", folder.string()});
    EXPECT_EQ(r.status, kExitToolFailed);
    // The run itself ended normally and says so.
    EXPECT_NE(r.out.find("TERMINATING NORMALLY"), std::string::npos);
    std::string err = r.err;
    const std::string place = out.path().string();
    for (std::size_t at; (at = err.find(place)) != std::string::npos;) {
      err.replace(at, place.size(), "<out>");
    }
    EXPECT_EQ(err, kHandWarnings + "OccasionTallies: CSV export failed: " + c.message + "\n");
    EXPECT_EQ(out.Read("occasions.csv"), "from an earlier export");
    // Only the folders made on the way; no temporary file stays behind.
    const std::string after = out.Listing();
    EXPECT_TRUE(after == listing || after == "counts " + listing) << after;
    if (fs::is_directory(out.path() / "counts")) {
      EXPECT_TRUE(fs::is_empty(out.path() / "counts"));
    }
  }
}

// ---------------------------------------------------------------------------
// The export and OccasionTallies.txt on generated surveys.

using Table = std::vector<std::vector<std::string>>;

// Reads CSV text back with libcsv's parser, strictly.
Table ReadCsv(const std::string& text) {
  struct Reading {
    Table rows{1};
  } reading;
  csv_parser parser;
  csv_init(&parser, CSV_STRICT | CSV_STRICT_FINI);
  auto field = [](void* bytes, std::size_t size, void* data) {
    static_cast<Reading*>(data)->rows.back().emplace_back(static_cast<char*>(bytes), size);
  };
  auto row_end = [](int, void* data) { static_cast<Reading*>(data)->rows.emplace_back(); };
  const std::size_t parsed = csv_parse(&parser, text.data(), text.size(), field, row_end, &reading);
  EXPECT_EQ(parsed, text.size()) << csv_strerror(csv_error(&parser));
  EXPECT_EQ(csv_fini(&parser, field, row_end, &reading), 0);
  csv_free(&parser);
  reading.rows.pop_back();
  return reading.rows;
}

// One species' rows of OccasionTallies.txt: per location the 3-character
// field of each occasion and the total, however many lines a row takes.
Table TalliesOf(const std::string& tallies, const std::string& species, std::size_t sites,
                std::size_t fields) {
  std::istringstream lines(tallies);
  std::string line;
  std::string padded = species;
  padded.resize(25, ' ');
  while (std::getline(lines, line) && line != padded + "\r") {
  }
  Table rows(sites);
  for (auto& row : rows) {
    while (row.size() < fields && std::getline(lines, line)) {
      for (std::size_t at = 0; at + 3 <= line.size() && row.size() < fields; at += 4) {
        row.push_back(line.substr(at, 3));
      }
    }
  }
  return rows;
}

// The pictures of AllPictures.txt as "location|species field|YYYY-MM-DD".
std::vector<std::string> PictureDays(const std::string& pictures) {
  std::vector<std::string> days;
  std::istringstream lines(pictures);
  for (std::string line; std::getline(lines, line);) {
    if (line.size() < 62 || line.compare(52, 4, "Year") == 0) continue;
    auto number = [&](std::size_t at, std::size_t width) {
      std::string digits = line.substr(at, width);
      for (char& c : digits) c = c == ' ' ? '0' : c;
      return digits;
    };
    std::string location = line.substr(0, 25);
    location.erase(location.find_last_not_of(' ') + 1);
    days.push_back(location + "|" + line.substr(26, 25) + "|" + number(52, 4) + "-" +
                   number(57, 2) + "-" + number(60, 2));
  }
  return days;
}

bool AnyPictureIn(const std::vector<std::string>& pictures, const std::string& site,
                  const std::string& species, const std::string& first, const std::string& last) {
  for (const std::string& p : pictures) {
    const std::size_t bar = p.find('|');
    if (p.compare(0, bar, site) != 0 || bar != site.size()) continue;
    if (p.compare(bar + 1, species.size(), species) != 0) continue;  // selected as a prefix
    const std::string day = p.substr(p.size() - 10);
    if (day >= first && day <= last) return true;
  }
  return false;
}

struct CellsSeen {
  int full_effort = 0;
  int no_effort_no_picture = 0;
  int partial_effort = 0;
};

// Wherever an occasion has full effort its count is the uncapped cell of
// OccasionTallies.txt; wherever its effort is 0 the count is NA, and with no
// picture on it the cell is " - ". The long table holds the wide tables'
// numbers.
void CheckAgainstTallies(const ScratchFolder& survey, const ScratchFolder& out, CellsSeen& seen) {
  const Table occasions = ReadCsv(out.Read("occasions.csv"));
  const Table summary = ReadCsv(out.Read("summary.csv"));
  const Table long_rows = ReadCsv(out.Read("long.csv"));
  const std::string tallies = survey.Read("OccasionTallies.txt");
  const std::vector<std::string> pictures = PictureDays(survey.Read("AllPictures.txt"));
  const std::size_t n = occasions.size() - 1;
  std::vector<std::string> species;
  for (std::size_t s = 1; s < summary.size(); ++s) species.push_back(summary[s][0]);
  const std::vector<std::string> files = SpeciesFileNames(species);
  std::size_t long_row = 1;
  for (std::size_t s = 0; s < species.size(); ++s) {
    SCOPED_TRACE(species[s]);
    const Table counts = ReadCsv(out.Read("counts/" + files[s] + ".csv"));
    const Table cells = TalliesOf(tallies, species[s], counts.size() - 1, n + 1);
    for (std::size_t i = 1; i < counts.size(); ++i) {
      for (std::size_t k = 1; k <= n; ++k) {
        SCOPED_TRACE(counts[i][0] + ", occasion " + std::to_string(k));
        const std::string& y = counts[i][k];
        const std::string& effort = counts[i][n + k];
        const std::string& cell = cells[i - 1][k - 1];
        ASSERT_EQ(long_rows.at(long_row),
                  (std::vector<std::string>{species[s], counts[i][0], std::to_string(k),
                                            occasions[k][1], occasions[k][2], effort, y}));
        ++long_row;
        if (effort == occasions[k][3]) {
          ++seen.full_effort;
          const std::string uncapped = std::stoll(y) > 999 ? "999" : y;
          EXPECT_EQ(cell, std::string(3 - uncapped.size(), ' ') + uncapped);
        } else if (effort == "0") {
          EXPECT_EQ(y, "NA");
          if (!AnyPictureIn(pictures, counts[i][0], species[s], occasions[k][1], occasions[k][2])) {
            ++seen.no_effort_no_picture;
            EXPECT_EQ(cell, " - ");
          }
        } else {
          ++seen.partial_effort;
          EXPECT_NE(y, "NA");
        }
      }
    }
  }
  EXPECT_EQ(long_row, long_rows.size());
}

TEST(CsvExport, AgreesWithOccasionTalliesOnGeneratedSurveys) {
  const struct {
    const char* generator;
    const char* days;
  } cases[] = {
      {"--locations 6 --species 5 --pictures 4000 --seed 21", "7"},
      {"--locations 8 --species 7 --pictures 6000 --seed 22 --heading --remarks", "14"},
      // Over 1000 occasions: rows of OccasionTallies.txt go on over two lines.
      {"--locations 4 --species 3 --pictures 3000 --seed 23", "1"},
      {"--locations 5 --species 12 --pictures 5000 --seed 24 --days 400", "30"},
  };
  CellsSeen seen;
  for (const auto& c : cases) {
    SCOPED_TRACE(c.generator);
    ScratchFolder survey;
    const std::string command = std::string("'") + OT_SURVEY_GENERATOR + "' " + c.generator +
                                " --out '" + survey.path().string() + "' > /dev/null";
    ASSERT_EQ(std::system(command.c_str()), 0);
    ScratchFolder out;
    const RunResult r =
        RunCommandInProcess({"occasion-tallies", "run", "-p", "30", "-d", c.days, "-C",
                             survey.path().string(), "--csv", out.path().string()});
    ASSERT_EQ(r.status, kExitOk) << r.err;
    CheckAgainstTallies(survey, out, seen);
  }
  // Each kind of cell was met often.
  EXPECT_GT(seen.full_effort, 10000);
  EXPECT_GT(seen.no_effort_no_picture, 1000);
  EXPECT_GT(seen.partial_effort, 200);
}

}  // namespace
}  // namespace ot
