#include "import/detection_table_import.h"

#include <algorithm>
#include <chrono>
#include <optional>

#include "base/strings.h"
#include "import/csv_reader.h"
#include "import/data_file.h"
#include "import/import_failure.h"
#include "import/name_index.h"
#include "import/picture_count.h"
#include "import/timestamp.h"

namespace ot::import {
namespace {

// A deployment as the pictures need it: when its clock started and at what
// offset from UTC, if the table says.
struct Clock {
  date::local_seconds start;
  std::optional<std::chrono::minutes> offset;
};

struct DeploymentTable {
  NameIndex locations;
  std::vector<std::vector<Clock>> clocks;  // per location, in table order
  std::string shown;
};

CsvReader OpenTable(const std::filesystem::path& path) {
  const std::string shown = path.string();
  return CsvReader({{shown, [path, shown] { return std::make_unique<DataFile>(path, shown); }}}, 0);
}

// The user's formats, each readied once.
struct Formats {
  std::optional<TimeFormat> time;
  std::optional<TimeFormat> date;
  explicit Formats(const DetectionTableOptions& options) {
    if (!options.time_format.empty()) time.emplace(options.time_format);
    if (!options.date_format.empty()) date.emplace(options.date_format);
  }
};

// A deployment's begin or end: by the date format, then the time format,
// then as ISO 8601.
std::optional<Timestamp> ReadDeploymentTime(std::string_view text, const Formats& formats) {
  for (const std::optional<TimeFormat>* format : {&formats.date, &formats.time}) {
    if (!*format) continue;
    if (std::optional<Timestamp> stamp = ReadFormattedTimestamp(text, **format)) return stamp;
  }
  return ReadIsoTimestamp(text);
}

std::string DeploymentTimeExpected(const DetectionTableOptions& options) {
  std::string expected = "a date such as 2023-03-20";
  if (!options.date_format.empty()) expected += " or as --date-format " + options.date_format;
  if (!options.time_format.empty()) expected += " or as --time-format " + options.time_format;
  return expected;
}

DeploymentTable ReadDeployments(const DetectionTableOptions& options, const Formats& formats,
                                ImportedSurvey& survey) {
  CsvReader csv = OpenTable(options.deployments);
  const DeploymentColumns columns =
      ChooseDeploymentColumns(csv.header(), options.columns, csv.shown());
  survey.source_lines.push_back(
      "deployment columns: location " + Quote(csv.header()[columns.location]) + ", begin " +
      Quote(csv.header()[columns.begin]) + ", end " + Quote(csv.header()[columns.end]));
  const std::string expected = DeploymentTimeExpected(options);
  DeploymentTable table;
  table.shown = std::filesystem::path(csv.shown()).filename().string();
  while (csv.Next()) {
    const std::string_view name = csv.Value(columns.location);
    if (CleanName(name).empty()) csv.Fail(columns.location, "a location");
    const std::optional<Timestamp> begin = ReadDeploymentTime(csv.Value(columns.begin), formats);
    if (!begin) csv.Fail(columns.begin, expected);
    const std::optional<Timestamp> end = ReadDeploymentTime(csv.Value(columns.end), formats);
    if (!end) csv.Fail(columns.end, expected);
    const ImportedPeriod period{DateOf(begin->local), DateOf(end->local)};
    if (period.end < period.begin) csv.Fail(columns.end, "a date no earlier than the begin's");
    bool added = false;
    const std::uint32_t location = table.locations.Add(name, added);
    if (added) {
      survey.locations.push_back({std::string(name), {}});
      table.clocks.emplace_back();
    }
    survey.locations[location].periods.push_back(period);
    table.clocks[location].push_back({begin->local, begin->offset});
    ++survey.deployments;
  }
  if (survey.deployments == 0) FailImport(csv.shown() + ": expected deployments, found none");
  return table;
}

// The offset of the clock that took a picture written as `written`: that of
// the location's latest deployment begun by then, else its first.
std::optional<std::chrono::minutes> ClockOffset(const std::vector<Clock>& clocks,
                                                date::local_seconds written) {
  const Clock* chosen = &clocks.front();
  for (const Clock& clock : clocks) {
    if (clock.start <= written && clock.start >= chosen->start) chosen = &clock;
  }
  return chosen->offset;
}

bool WithinPeriods(const ImportedLocation& location, date::local_days day) {
  return std::any_of(location.periods.begin(), location.periods.end(),
                     [day](const ImportedPeriod& p) { return day >= p.begin && day <= p.end; });
}

bool Skipped(std::string_view species, const std::vector<std::string>& skip) {
  return std::any_of(skip.begin(), skip.end(), [species](const std::string& name) {
    return EqualsIgnoreCase(CleanName(name), species);
  });
}

class PictureReader {
 public:
  PictureReader(const DetectionTableOptions& options, const Formats& formats,
                const DeploymentTable& deployments, ImportedSurvey& survey)
      : options_(options),
        formats_(formats),
        deployments_(deployments),
        survey_(survey),
        csv_(OpenTable(options.pictures)),
        columns_(ChoosePictureColumns(csv_.header(), options.columns, csv_.shown())),
        no_location_("at a location not in " + deployments.shown) {
    DescribeColumns();
    for (const char* reason : {"without a location", "without a species"}) {
      survey_.ListReason(reason);
    }
    survey_.ListReason(no_location_);
  }

  void ReadAll() {
    std::int64_t sequence = 0;
    while (csv_.Next()) ReadRow(++sequence);
  }

 private:
  void DescribeColumns() {
    const auto& header = csv_.header();
    std::string line = "picture columns: location " + Quote(header[columns_.location]) +
                       ", species " + Quote(header[columns_.species]) + ", time ";
    line += columns_.datetime
                ? Quote(header[*columns_.datetime])
                : Quote(header[*columns_.date]) + " and " + Quote(header[*columns_.time]);
    line += ", count ";
    line += columns_.count ? Quote(header[*columns_.count]) : "(none: every count 1)";
    survey_.source_lines.push_back(line);
  }

  void ReadRow(std::int64_t sequence) {
    const std::string_view location_name = csv_.Value(columns_.location);
    const std::string_view species = csv_.Value(columns_.species);
    if (CleanName(location_name).empty()) return survey_.LeaveOut("without a location");
    if (CleanName(species).empty()) return survey_.LeaveOut("without a species");
    if (Skipped(species, options_.skip_species)) {
      return survey_.LeaveOut("of a species left out by --skip-species");
    }
    const std::optional<std::uint32_t> location = deployments_.locations.Find(location_name);
    if (!location) return survey_.LeaveOut(no_location_);
    const Timestamp stamp = ReadTime();
    const date::local_seconds local =
        InLocalTime(stamp, ClockOffset(deployments_.clocks[*location], stamp.local));
    if (!YearFitsRecord(local)) {
      csv_.Fail(columns_.datetime ? *columns_.datetime : *columns_.date,
                "a time whose local year lies in 1..9999");
    }
    std::int32_t count = 0;
    if (!TakePictureCount(csv_, columns_.count, survey_, count)) {
      return survey_.LeaveOut("with a count of 0");
    }
    if (!WithinPeriods(survey_.locations[*location], DateOf(local))) {
      ++survey_.outside_operating_dates;
    }
    bool added = false;
    const std::uint32_t species_index = species_.Add(species, added);
    if (added) survey_.species.emplace_back(species);
    ImportedPicture picture;
    picture.location = *location;
    picture.species = species_index;
    picture.count = count;
    picture.time = local;
    picture.sequence = sequence;
    survey_.AddPicture(picture, {});
  }

  // The picture's time, from one column or from a date and a time column.
  Timestamp ReadTime() {
    const std::optional<TimeFormat>& format = formats_.time;
    std::optional<Timestamp> stamp;
    std::size_t blamed = 0;
    if (columns_.datetime) {
      blamed = *columns_.datetime;
      const std::string_view text = csv_.Value(blamed);
      stamp = format ? ReadFormattedTimestamp(text, *format) : ReadIsoTimestamp(text);
    } else {
      const std::string_view date = csv_.Value(*columns_.date);
      blamed = *columns_.date;
      if (!format) {
        const std::optional<Timestamp> day = ReadIsoTimestamp(date);
        if (!day || day->has_time) csv_.Fail(blamed, "a date such as 2023-03-20");
        blamed = *columns_.time;
      }
      joined_.assign(date).append(" ").append(csv_.Value(*columns_.time));
      stamp = format ? ReadFormattedTimestamp(joined_, *format) : ReadIsoTimestamp(joined_);
    }
    if (!stamp || !stamp->has_time) csv_.Fail(blamed, TimeExpected());
    return *stamp;
  }

  std::string TimeExpected() const {
    if (!options_.time_format.empty()) {
      return "a date and time as --time-format " + options_.time_format + " reads them" +
             (columns_.datetime ? "" : " (the date and the time joined by a blank)");
    }
    return columns_.datetime ? "a date and time such as 2023-03-20T18:05:00"
                             : "a time of day such as 18:05:00";
  }

  const DetectionTableOptions& options_;
  const Formats& formats_;
  const DeploymentTable& deployments_;
  ImportedSurvey& survey_;
  CsvReader csv_;
  PictureColumns columns_;
  std::string no_location_;
  NameIndex species_;
  std::string joined_;
};

}  // namespace

ImportedSurvey ImportDetectionTable(const DetectionTableOptions& options) {
  ImportedSurvey survey;
  survey.title = !options.title.empty() ? options.title
                                        : "Detection table " + options.pictures.filename().string();
  survey.source_lines.push_back("detection table " + options.pictures.string() +
                                " with deployments " + options.deployments.string());
  const Formats formats(options);
  const DeploymentTable deployments = ReadDeployments(options, formats, survey);
  PictureReader(options, formats, deployments, survey).ReadAll();
  return survey;
}

}  // namespace ot::import
