#include "import/camtrap_dp_import.h"

#include <chrono>
#include <optional>

#include "base/strings.h"
#include "import/csv_reader.h"
#include "import/data_package.h"
#include "import/import_failure.h"
#include "import/name_index.h"
#include "import/picture_count.h"
#include "import/timestamp.h"

namespace ot::import {
namespace {

constexpr std::string_view kTimestampExample = "a date and time such as 2023-03-20T18:05:00Z";

struct Deployment {
  std::uint32_t location = 0;
  std::optional<std::chrono::minutes> clock_offset;  // that of deploymentStart
  ImportedPeriod period;
};

struct Deployments {
  NameIndex ids;
  std::vector<Deployment> list;
  std::string shown;  // the deployments file's name, for the summary
};

CsvReader OpenTable(const DataPackage& package, std::string_view name) {
  PackageResource resource = FindResource(package, name);
  return CsvReader(std::move(resource.files), resource.delimiter);
}

Timestamp RequireTimestamp(const CsvReader& csv, std::size_t column, std::string_view expected) {
  const std::optional<Timestamp> stamp = ReadIsoTimestamp(csv.Value(column));
  if (!stamp || !stamp->has_time) csv.Fail(column, expected);
  return *stamp;
}

// The location of the current deployment row, added when new: keyed by
// locationID, else locationName, else deploymentID (each in a key space of
// its own), named by locationName, else that key.
std::uint32_t LocationOf(const CsvReader& csv, std::optional<std::size_t> id_column,
                         std::optional<std::size_t> name_column, std::string_view deployment_id,
                         NameIndex& keys, ImportedSurvey& survey) {
  const std::string_view id = id_column ? csv.Value(*id_column) : std::string_view();
  std::string_view name = name_column ? csv.Value(*name_column) : std::string_view();
  if (CleanName(name).empty()) name = {};
  std::string key;
  if (!id.empty()) {
    key.append("id:").append(id);
  } else if (!name.empty()) {
    key.append("name:").append(name);
  } else {
    key.append("deployment:").append(deployment_id);
  }
  bool added = false;
  const std::uint32_t location = keys.Add(key, added);
  if (added) {
    const std::string_view shown = !name.empty() ? name : !id.empty() ? id : deployment_id;
    survey.locations.push_back({std::string(shown), {}});
  }
  return location;
}

Deployments ReadDeployments(const DataPackage& package, ImportedSurvey& survey) {
  CsvReader csv = OpenTable(package, "deployments");
  const std::size_t id_column = csv.RequireColumn("deploymentID");
  const std::size_t start_column = csv.RequireColumn("deploymentStart");
  const std::size_t end_column = csv.RequireColumn("deploymentEnd");
  const std::optional<std::size_t> location_id = csv.FindColumn("locationID");
  const std::optional<std::size_t> location_name = csv.FindColumn("locationName");
  Deployments deployments;
  deployments.shown = std::filesystem::path(csv.shown()).filename().string();
  NameIndex location_keys;
  while (csv.Next()) {
    const std::string_view id = csv.Value(id_column);
    if (id.empty()) csv.Fail(id_column, "a deploymentID");
    bool added = false;
    deployments.ids.Add(id, added);
    if (!added) csv.Fail(id_column, "a deploymentID not used before");
    const Timestamp start = RequireTimestamp(csv, start_column, kTimestampExample);
    const Timestamp end = RequireTimestamp(csv, end_column, kTimestampExample);
    const ImportedPeriod period{DateOf(start.local), DateOf(end.local)};
    if (period.end < period.begin) csv.Fail(end_column, "a date no earlier than deploymentStart's");
    const std::uint32_t location =
        LocationOf(csv, location_id, location_name, id, location_keys, survey);
    survey.locations[location].periods.push_back(period);
    deployments.list.push_back({location, start.offset, period});
  }
  if (deployments.list.empty()) FailImport(csv.shown() + ": expected deployments, found none");
  survey.deployments = static_cast<std::int64_t>(deployments.list.size());
  return deployments;
}

bool HasEventLevelObservations(const DataPackage& package) {
  CsvReader csv = OpenTable(package, "observations");
  const std::size_t level = csv.RequireColumn("observationLevel");
  while (csv.Next()) {
    if (csv.Value(level) == "event") return true;
  }
  return false;
}

// The observations resource's columns that the import reads.
struct ObservationColumns {
  std::optional<std::size_t> id;
  std::size_t deployment;
  std::size_t level;
  std::size_t type;
  std::optional<std::size_t> setup;
  std::size_t name;
  std::size_t start;
  std::optional<std::size_t> count;

  explicit ObservationColumns(const CsvReader& csv)
      : id(csv.FindColumn("observationID")),
        deployment(csv.RequireColumn("deploymentID")),
        level(csv.RequireColumn("observationLevel")),
        type(csv.RequireColumn("observationType")),
        setup(csv.FindColumn("cameraSetupType")),
        name(csv.RequireColumn("scientificName")),
        start(csv.RequireColumn("eventStart")),
        count(csv.FindColumn("count")) {}
};

// The reasons an observation is left out, in the order they are checked.
struct Reasons {
  std::string other_level;
  std::string no_deployment;
  std::string setup = "with a cameraSetupType (camera setup or calibration)";
  std::string no_name = "of type animal without a scientificName";

  Reasons(std::string_view level, std::string_view other, const std::string& deployments_file)
      : other_level("at " + std::string(other) + " level (" + std::string(level) +
                    " level imported)"),
        no_deployment("naming a deployment not in " + deployments_file) {}
};

// Whether the current observation becomes a picture; if not, it is counted
// under its reason.
bool IsPicture(const CsvReader& csv, const ObservationColumns& columns, std::string_view level,
               std::string_view other_level, const Deployments& deployments, const Reasons& reasons,
               ImportedSurvey& survey) {
  const std::string_view observed_level = csv.Value(columns.level);
  if (observed_level != level) {
    if (observed_level != other_level) csv.Fail(columns.level, "event or media");
    survey.LeaveOut(reasons.other_level);
    return false;
  }
  if (!deployments.ids.Find(csv.Value(columns.deployment))) {
    survey.LeaveOut(reasons.no_deployment);
    return false;
  }
  if (columns.setup && !csv.Value(*columns.setup).empty()) {
    survey.LeaveOut(reasons.setup);
    return false;
  }
  const std::string_view type = csv.Value(columns.type);
  if (type != "animal") {
    survey.LeaveOut(type.empty() ? std::string("without an observationType")
                                 : "of type " + EscapeControlBytes(type));
    return false;
  }
  if (CleanName(csv.Value(columns.name)).empty()) {
    survey.LeaveOut(reasons.no_name);
    return false;
  }
  return true;
}

void ReadObservations(const DataPackage& package, std::string_view level,
                      std::string_view other_level, const Deployments& deployments,
                      ImportedSurvey& survey) {
  CsvReader csv = OpenTable(package, "observations");
  const ObservationColumns columns(csv);
  const Reasons reasons(level, other_level, deployments.shown);
  for (const std::string* reason : {&reasons.other_level, &reasons.no_deployment, &reasons.setup}) {
    survey.ListReason(*reason);
  }
  NameIndex species;
  std::int64_t sequence = 0;
  while (csv.Next()) {
    ++sequence;
    if (!IsPicture(csv, columns, level, other_level, deployments, reasons, survey)) continue;
    const Deployment& deployment =
        deployments.list[*deployments.ids.Find(csv.Value(columns.deployment))];
    const Timestamp start = RequireTimestamp(csv, columns.start, kTimestampExample);
    const date::local_seconds local = InLocalTime(start, deployment.clock_offset);
    if (!YearFitsRecord(local)) csv.Fail(columns.start, "a time whose local year lies in 1..9999");
    std::int32_t count = 0;
    if (!TakePictureCount(csv, columns.count, survey, count)) {
      survey.LeaveOut("with a count of 0");
      continue;
    }
    const date::local_days day = DateOf(local);
    if (day < deployment.period.begin || day > deployment.period.end) {
      ++survey.outside_operating_dates;
    }
    bool added = false;
    const std::string_view name = csv.Value(columns.name);
    const std::uint32_t species_index = species.Add(name, added);
    if (added) survey.species.emplace_back(name);
    ImportedPicture picture;
    picture.location = deployment.location;
    picture.species = species_index;
    picture.count = count;
    picture.time = local;
    picture.sequence = sequence;
    survey.AddPicture(picture, columns.id ? csv.Value(*columns.id) : std::string_view());
  }
}

}  // namespace

ImportedSurvey ImportCamtrapDp(const std::filesystem::path& package_path, ObservationLevel level) {
  const DataPackage package = ReadDataPackage(package_path);
  ImportedSurvey survey;
  survey.title = package.title;
  survey.source_lines.push_back("Camtrap DP package " +
                                (package.shown_folder.empty() ? "." : package.shown_folder));
  const Deployments deployments = ReadDeployments(package, survey);
  const bool event =
      level == ObservationLevel::kEvent ||
      (level == ObservationLevel::kChosenByPackage && HasEventLevelObservations(package));
  const std::string_view chosen = event ? "event" : "media";
  const std::string_view other = event ? "media" : "event";
  survey.source_lines.push_back("observation level: " + std::string(chosen) +
                                (level != ObservationLevel::kChosenByPackage ? " (as --level asks)"
                                 : event ? " (the package has event-level observations)"
                                         : " (the package has no event-level observations)"));
  ReadObservations(package, chosen, other, deployments, survey);
  OrderSpecies(survey, package.taxonomic);
  return survey;
}

}  // namespace ot::import
