// Which columns of a detection table and of its deployments table hold what:
// found by header name (ignoring case) from the names common tagging and
// spreadsheet exports use, or named by the user.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace ot::import {

// Column names the user gave; an empty one is found by its common names.
struct ColumnNames {
  std::string location;             // in both tables, unless deployment_location is given
  std::string deployment_location;  // in the deployments table
  std::string species;
  std::string datetime;  // one column with date and time
  std::string date;      // or a date column ...
  std::string time;      // ... and a time-of-day column
  std::string count;
  std::string begin;
  std::string end;
};

struct PictureColumns {
  std::size_t location = 0;
  std::size_t species = 0;
  std::optional<std::size_t> datetime;  // set, or else date and time are
  std::optional<std::size_t> date;
  std::optional<std::size_t> time;
  std::optional<std::size_t> count;  // none: every count is missing
};

struct DeploymentColumns {
  std::size_t location = 0;
  std::size_t begin = 0;
  std::size_t end = 0;
};

// Chooses the detection table's columns in `header`. A named column must
// be there; otherwise the first common name present is taken, and a single
// date-and-time column before separate date and time columns. Fails naming
// `file` when a needed column is not found.
PictureColumns ChoosePictureColumns(const std::vector<std::string>& header,
                                    const ColumnNames& names, const std::string& file);

// Chooses the deployments table's columns in `header`, failing likewise.
DeploymentColumns ChooseDeploymentColumns(const std::vector<std::string>& header,
                                          const ColumnNames& names, const std::string& file);

}  // namespace ot::import
