// The CSV export of `run --csv`: its values on a small study worked out by
// hand, where it is written and what a failure leaves.
#include "export/csv_export.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "test_support.h"

namespace ot {
namespace {

namespace fs = std::filesystem;
using testing::Record;
using testing::RunCommandInProcess;
using testing::RunResult;
using testing::ScratchFolder;

// 2020-03-01 .. 03-14: 14 study days, with 5-day occasions 1-5, 6-10 and
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
// at an unlisted location and one after the study are skipped. Red-Fox: one
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

TEST(CsvExport, ValuesOfTheHandCheckedStudy) {
  const ExportRun run(kHandInput, HandPictures(), "5");
  ASSERT_EQ(run.result.status, 0) << run.result.err;
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
  EXPECT_EQ(run.result.status, 127);
  EXPECT_EQ(run.out.Listing(), "");
}

TEST(CsvExport, ReplacesItsOwnFilesAndLeavesOthers) {
  ExportRun run(kHandInput, HandPictures(), "5");
  ASSERT_EQ(run.result.status, 0);
  run.out.Write("notes.txt", "mine");
  run.out.Write("counts/old-species.csv", "from an earlier export");
  ASSERT_EQ(run.Run("7").status, 0);
  EXPECT_EQ(run.Read("occasions.csv"),
            "occasion,first_date,last_date,days\n"
            "1,2020-03-01,2020-03-07,7\n2,2020-03-08,2020-03-14,7\n");
  EXPECT_EQ(run.Read("notes.txt"), "mine");
  EXPECT_EQ(run.Read("counts/old-species.csv"), "from an earlier export");
}

TEST(CsvExport, CreatesMissingFolders) {
  ExportRun run(kHandInput, HandPictures(), "5");
  const fs::path nested = run.out.path() / "a" / "b";
  const RunResult r = RunCommandInProcess({"occasion-tallies", "run", "-p", "30", "-d", "5", "-C",
                                           run.survey.path().string(), "--csv", nested.string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(fs::is_regular_file(nested / "counts" / "red-fox.csv"));
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
    EXPECT_EQ(r.status, 1);
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

}  // namespace
}  // namespace ot
