#include "import/table_columns.h"

#include <span>
#include <string_view>

#include "base/strings.h"
#include "import/csv_reader.h"
#include "import/import_failure.h"

namespace ot::import {
namespace {

using Names = std::span<const std::string_view>;

constexpr std::string_view kLocationNames[] = {"location",  "station",      "site",
                                               "placename", "locationName", "deployment_id"};
constexpr std::string_view kSpeciesNames[] = {"species", "scientificName", "common_name"};
constexpr std::string_view kDateTimeNames[] = {"datetime", "timestamp", "DateTimeOriginal",
                                               "date_time"};
constexpr std::string_view kDateNames[] = {"date"};
constexpr std::string_view kTimeNames[] = {"time"};
constexpr std::string_view kCountNames[] = {"count", "individuals", "number_of_objects"};
constexpr std::string_view kBeginNames[] = {"start", "setup_date", "start_date", "deploymentStart"};
constexpr std::string_view kEndNames[] = {"end", "retrieval_date", "end_date", "deploymentEnd"};

std::optional<std::size_t> Find(const std::vector<std::string>& header, std::string_view name) {
  for (std::size_t i = 0; i < header.size(); ++i) {
    if (EqualsIgnoreCase(header[i], name)) return i;
  }
  return std::nullopt;
}

// The column the user named, which must be there, else the first column
// with one of `common` names.
std::optional<std::size_t> Choose(const std::vector<std::string>& header, const std::string& named,
                                  Names common, std::string_view option, const std::string& file) {
  if (!named.empty()) {
    const std::optional<std::size_t> column = Find(header, named);
    if (!column) {
      FailImport(file + ": line 1: expected the column " + named + " named by " +
                 std::string(option) + " in the header line, found none");
    }
    return column;
  }
  for (std::string_view name : common) {
    if (const std::optional<std::size_t> column = Find(header, name)) return column;
  }
  return std::nullopt;
}

std::string Listed(Names names) {
  std::string text;
  for (std::string_view name : names) text.append(text.empty() ? "" : ", ").append(name);
  return text;
}

[[noreturn]] void FailMissing(const std::string& file, std::string_view what, Names common,
                              std::string_view option) {
  FailImport(file + ": line 1: expected a column for the " + std::string(what) + " (" +
             Listed(common) + ", or name it with " + std::string(option) + "), found none");
}

std::size_t Required(const std::vector<std::string>& header, const std::string& named, Names common,
                     std::string_view what, std::string_view option, const std::string& file) {
  const std::optional<std::size_t> column = Choose(header, named, common, option, file);
  if (!column) FailMissing(file, what, common, option);
  return *column;
}

}  // namespace

PictureColumns ChoosePictureColumns(const std::vector<std::string>& header,
                                    const ColumnNames& names, const std::string& file) {
  PictureColumns columns;
  columns.location =
      Required(header, names.location, kLocationNames, "location", "--location-column", file);
  columns.species =
      Required(header, names.species, kSpeciesNames, "species", "--species-column", file);
  columns.count = Choose(header, names.count, kCountNames, "--count-column", file);
  const bool separate = !names.date.empty() || !names.time.empty();
  if (!separate) {
    columns.datetime = Choose(header, names.datetime, kDateTimeNames, "--datetime-column", file);
    if (columns.datetime) return columns;
  }
  columns.date = Choose(header, names.date, kDateNames, "--date-column", file);
  columns.time = Choose(header, names.time, kTimeNames, "--time-column", file);
  if (!columns.date || !columns.time) {
    FailImport(file + ": line 1: expected a column for the date and time (" +
               Listed(kDateTimeNames) +
               ", or date and time; or name them with --datetime-column, or --date-column and "
               "--time-column), found " +
               (columns.date   ? "a date column but no time column"
                : columns.time ? "a time column but no date column"
                               : "none"));
  }
  return columns;
}

DeploymentColumns ChooseDeploymentColumns(const std::vector<std::string>& header,
                                          const ColumnNames& names, const std::string& file) {
  DeploymentColumns columns;
  const bool own = !names.deployment_location.empty();
  columns.location =
      Required(header, own ? names.deployment_location : names.location, kLocationNames, "location",
               own ? "--deployment-location-column" : "--location-column", file);
  columns.begin =
      Required(header, names.begin, kBeginNames, "deployment's begin", "--begin-column", file);
  columns.end = Required(header, names.end, kEndNames, "deployment's end", "--end-column", file);
  return columns;
}

}  // namespace ot::import
