// A detection table made into a survey: one row per picture or detection,
// and a deployments table with one row per camera deployment. Locations come
// from the deployments table, one operating period per row.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "import/imported_survey.h"
#include "import/table_columns.h"

namespace ot::import {

struct DetectionTableOptions {
  std::filesystem::path pictures;
  std::filesystem::path deployments;
  ColumnNames columns;
  // strftime-style formats (date::parse's); empty for ISO 8601. The time
  // format reads the pictures' times (date and time joined by a blank when
  // in two columns) and then the deployments' begin and end, which the date
  // format reads first.
  std::string time_format;
  std::string date_format;
  std::vector<std::string> skip_species;  // left out, ignoring ASCII case
  std::string title;                      // empty: named after the table
};

// Reads both tables. Fails on a missing file or column and on an unreadable
// date, time or count, naming the file, line and column.
ImportedSurvey ImportDetectionTable(const DetectionTableOptions& options);

}  // namespace ot::import
