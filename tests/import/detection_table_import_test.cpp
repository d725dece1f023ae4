// Importing detection tables: which columns are found by their headers,
// whole imports with their summary, times in other formats and offsets,
// and each bad table with its message.
#include <gtest/gtest.h>

#include <fstream>

#include "base/exit_status.h"
#include "base/failure.h"
#include "import/import_test_support.h"
#include "import/table_columns.h"

namespace ot {
namespace {

namespace fs = std::filesystem;
using import::ColumnNames;
using testing::CommandResult;
using testing::RunCommand;
using testing::ScratchFolder;

// The chosen columns as "location species time count", time being one
// column or "date+time", and "-" for no count.
std::string Chosen(const std::vector<std::string>& header, const ColumnNames& names) {
  try {
    const import::PictureColumns c = import::ChoosePictureColumns(header, names, "p.csv");
    const std::string time =
        c.datetime ? header[*c.datetime] : header[*c.date] + "+" + header[*c.time];
    return header[c.location] + " " + header[c.species] + " " + time + " " +
           (c.count ? header[*c.count] : "-");
  } catch (const RunFailure& failure) {
    return failure.what();
  }
}

TEST(DetectionTableImport, FindsColumnsByTheirCommonNames) {
  ColumnNames named;
  named.location = "cam";
  named.species = "what";
  named.datetime = "when";
  ColumnNames separate;
  separate.date = "day";
  separate.time = "clock";
  ColumnNames missing;
  missing.count = "n";
  const struct {
    std::vector<std::string> header;
    ColumnNames names;
    std::string chosen;
  } cases[] = {
      {{"File", "DateTimeOriginal", "Station", "Species", "Count"},
       {},
       "Station Species DateTimeOriginal Count"},
      {{"deployment_id", "timestamp", "scientificName", "number_of_objects"},
       {},
       "deployment_id scientificName timestamp number_of_objects"},
      {{"placename", "common_name", "date", "time", "individuals"},
       {},
       "placename common_name date+time individuals"},
      {{"site", "species", "date", "time", "date_time"}, {}, "site species date_time -"},
      {{"station", "location", "SPECIES", "DATETIME"}, {}, "location SPECIES DATETIME -"},
      {{"cam", "what", "when", "station", "species", "datetime"}, named, "cam what when -"},
      {{"site", "species", "day", "clock", "datetime"}, separate, "site species day+clock -"},
      {{"station", "datetime"},
       {},
       "OccasionTallies: p.csv: line 1: expected a column for the species (species, "
       "scientificName, common_name, or name it with --species-column), found none\n"},
      {{"station", "species", "date"},
       {},
       "OccasionTallies: p.csv: line 1: expected a column for the date and time (datetime, "
       "timestamp, DateTimeOriginal, date_time, or date and time; or name them with "
       "--datetime-column, or --date-column and --time-column), found a date column but no time "
       "column\n"},
      {{"station", "species", "datetime"},
       missing,
       "OccasionTallies: p.csv: line 1: expected the column n named by --count-column in the "
       "header line, found none\n"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.chosen);
    EXPECT_EQ(Chosen(c.header, c.names), c.chosen);
  }
}

void Lay(const ScratchFolder& folder, const std::string& pictures, const std::string& deployments) {
  folder.Write("pictures.csv", pictures);
  folder.Write("deployments.csv", deployments);
}

CommandResult ImportTable(const ScratchFolder& folder, std::vector<std::string> more = {}) {
  std::vector<std::string> args = {"import",
                                   "table",
                                   (folder.path() / "pictures.csv").string(),
                                   "--deployments",
                                   (folder.path() / "deployments.csv").string(),
                                   "--into",
                                   (folder.path() / "survey").string()};
  args.insert(args.end(), more.begin(), more.end());
  return RunCommand(args, folder);
}

std::string Written(const ScratchFolder& folder, const std::string& name) {
  return fs::exists(folder.path() / "survey" / name) ? folder.Read("survey/" + name) : "(none)";
}

TEST(DetectionTableImport, ImportsATaggingExportWithItsSummary) {
  ScratchFolder folder;
  // Semicolons, camera date forms, rows out of time order, a blank count,
  // a count of 120 and one of 0, an unknown station, an empty species.
  Lay(folder,
      "RelativePath;File;DateTimeOriginal;Station;Species;Count;Notes\n"
      "R1;IMG_0001.JPG;2023:03:20 19:05:12;Ridge top;Red fox;2;\n"
      "R1;IMG_0002.JPG;2023:03:20 19:07:00;Ridge top;Red fox;;\n"
      "C2;IMG_0003.JPG;2023:03:22 06:00:00;Creek crossing;Empty;;\n"
      "C2;IMG_0004.JPG;2023:03:21 12:00:00;Creek crossing;Grey heron;1;\"wading; fishing\"\n"
      "R1;IMG_0005.JPG;2023:03:26 10:00:00;Ridge top;Red fox;1;camera was off\n"
      "H3;IMG_0006.JPG;2023:03:23 08:00:00;Hill;Red fox;1;\n"
      "C2;IMG_0007.JPG;2023:03:24 08:00:00;Creek crossing;;1;\n"
      "C2;IMG_0008.JPG;2023:03:24 09:00:00;Creek crossing;Starling;120;flock\n"
      "C2;IMG_0009.JPG;2023:03:19 23:00:00;Creek crossing;Red fox;0;\n",
      "Station;Camera;Setup_date;Retrieval_date\n"
      "Ridge top;C1;2023-03-20;2023-03-25\n"
      "Creek crossing;C2;2023-03-20;2023-04-02\n"
      "Ridge top;C1;2023-03-27;2023-04-02\n");
  const CommandResult result = ImportTable(folder, {"--skip-species", "empty"});
  EXPECT_EQ(result.status, kExitOk);
  EXPECT_EQ(result.err, "");
  EXPECT_EQ(result.out,
            "Imported detection table <dir>/pictures.csv with deployments <dir>/deployments.csv\n"
            "  deployment columns: location \"Station\", begin \"Setup_date\", end "
            "\"Retrieval_date\"\n"
            "  picture columns: location \"Station\", species \"Species\", time "
            "\"DateTimeOriginal\", count \"Count\"\n"
            "  deployments: 3\n"
            "  locations: 2, with 3 operating periods from 2023-03-20 to 2023-04-02\n"
            "  species: 3\n"
            "    Red fox                    3 pictures\n"
            "    Grey heron                 1 picture\n"
            "    Starling                   1 picture\n"
            "  pictures written: 5\n"
            "  left out: 4\n"
            "    1 without a species\n"
            "    1 at a location not in deployments.csv\n"
            "    1 of a species left out by --skip-species\n"
            "    1 with a count of 0\n"
            "  counts missing, written as 1: 1\n"
            "  counts above 99, written as 99: 1\n"
            "  names changed to fit 25 bytes: 0\n"
            "  species sharing pictures: 0\n"
            "  pictures outside their deployment's operating dates: 1\n"
            "Wrote <dir>/survey/Input.txt and AllPictures.txt (LF line ends).\n"
            "Next: run occasion-tallies in <dir>/survey (or occasion-tallies run -C <dir>/survey "
            "-p MINUTES -d DAYS).\n");
  EXPECT_EQ(Written(folder, "Input.txt"),
            "Detection table pictures.csv\n2\nRidge top\n2\n2023 3 20 2023 3 25\n"
            "2023 3 27 2023 4 2\nCreek crossing\n1\n2023 3 20 2023 4 2\n3\nRed fox\nGrey heron\n"
            "Starling\n");
  EXPECT_EQ(Written(folder, "AllPictures.txt"),
            "Ridge top                 Red fox                   2023  3 20 19  5 12  2\n"
            "Ridge top                 Red fox                   2023  3 20 19  7  0  1\n"
            "Ridge top                 Red fox                   2023  3 26 10  0  0  1\n"
            "Creek crossing            Grey heron                2023  3 21 12  0  0  1\n"
            "Creek crossing            Starling                  2023  3 24  9  0  0 99\n");
}

TEST(DetectionTableImport, ReadsTimesInTheFormsGiven) {
  const std::string kDeployments = "location,start,end\nA,2023-03-20,2023-03-25\n";
  const struct {
    const char* what;
    std::string pictures;
    std::string deployments;
    std::vector<std::string> options;
    std::string record;  // columns 53-74 of the one record written
  } cases[] = {
      {"ISO with a blank",
       "location,species,datetime\nA,Fox,2023-03-21 23:40\n",
       kDeployments,
       {},
       "2023  3 21 23 40  0  1"},
      {"date and time apart",
       "location,species,date,time\nA,Fox,2023-03-21,23:40:09\n",
       kDeployments,
       {},
       "2023  3 21 23 40  9  1"},
      {"UTC moved to the deployment's +01:00",
       "location,species,timestamp\nA,Fox,2023-03-21T23:40:00Z\n",
       "location,start,end\nA,2023-03-20T10:00+01:00,2023-03-25T10:00+01:00\n",
       {},
       "2023  3 22  0 40  0  1"},
      {"formats and named columns",
       "site,taxon,day,clock,n\nA,Fox,21/03/2023,23:40,3\n",
       "site,from,to\nA,20/03/2023,25/03/2023\n",
       {"--location-column", "site", "--species-column", "taxon", "--date-column", "day",
        "--time-column", "clock", "--count-column", "n", "--begin-column", "from", "--end-column",
        "to", "--time-format", "%d/%m/%Y %H:%M", "--date-format", "%d/%m/%Y"},
       "2023  3 21 23 40  0  3"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    Lay(folder, c.pictures, c.deployments);
    const CommandResult result = ImportTable(folder, c.options);
    EXPECT_EQ(result.err, "");
    const std::string pictures = Written(folder, "AllPictures.txt");
    EXPECT_EQ(pictures.substr(std::min<std::size_t>(52, pictures.size())), c.record + "\n");
  }
}

TEST(DetectionTableImport, BadTablesFailWithOneLineAndWriteNothing) {
  const std::string kPictures = "location,species,datetime,count\nA,Fox,2023-03-21T23:40,2\n";
  const std::string kDeployments = "location,start,end\nA,2023-03-20,2023-03-25\n";
  const struct {
    const char* what;
    std::string pictures;
    std::string deployments;
    std::string message;
  } cases[] = {
      {"an hour 25", "location,species,datetime\nA,Fox,2023-03-21 25:40\n", kDeployments,
       "<dir>/pictures.csv: line 2, column datetime: expected a date and time such as "
       "2023-03-20T18:05:00, found \"2023-03-21 25:40\""},
      {"a date alone", "location,species,datetime\nA,Fox,2023-03-21\n", kDeployments,
       "<dir>/pictures.csv: line 2, column datetime: expected a date and time such as "
       "2023-03-20T18:05:00, found \"2023-03-21\""},
      {"a time apart that is none", "location,species,date,time\nA,Fox,2023-03-21,late\n",
       kDeployments,
       "<dir>/pictures.csv: line 2, column time: expected a time of day such as 18:05:00, found "
       "\"late\""},
      {"a negative count", "location,species,datetime,count\nA,Fox,2023-03-21T23:40,-1\n",
       kDeployments,
       "<dir>/pictures.csv: line 2, column count: expected a whole number of individuals, found "
       "\"-1\""},
      {"a deployment without end", kPictures, "location,start,end\nA,2023-03-20,\n",
       "<dir>/deployments.csv: line 2, column end: expected a date such as 2023-03-20, found "
       "nothing"},
      {"a deployment ending before it begins", kPictures,
       "location,start,end\nA,2023-03-20,2023-03-19\n",
       "<dir>/deployments.csv: line 2, column end: expected a date no earlier than the begin's, "
       "found \"2023-03-19\""},
      {"no deployments", kPictures, "location,start,end\n",
       "<dir>/deployments.csv: expected deployments, found none"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ScratchFolder folder;
    Lay(folder, c.pictures, c.deployments);
    const CommandResult result = ImportTable(folder);
    EXPECT_EQ(result.status, kExitToolFailed);
    EXPECT_EQ(result.out, "");
    EXPECT_EQ(result.err, "OccasionTallies: " + c.message + "\n");
    EXPECT_FALSE(fs::exists(folder.path() / "survey"));
  }
}

}  // namespace
}  // namespace ot
