// The descriptor of a Camtrap DP package (datapackage.json), read through
// nlohmann-json: its title, its resources by name and its taxonomic list.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "import/csv_reader.h"

namespace ot::import {

// A resource's files in reading order, and its CSV delimiter.
struct PackageResource {
  std::vector<CsvInput> files;
  char delimiter = ',';
};

struct DataPackage {
  std::filesystem::path folder;        // where resource paths resolve
  std::string shown_folder;            // the folder as the user named it, for messages
  std::string descriptor;              // datapackage.json, as shown in messages
  std::string title;                   // project.title, else title, else the folder's name
  std::vector<std::string> taxonomic;  // scientificName of each listed taxon, in order
  std::vector<std::string> resource_names;
  std::vector<std::vector<std::string>> resource_paths;
  std::vector<char> resource_delimiters;
};

// Reads the descriptor of `package`, a package folder or its
// datapackage.json. Fails when it is missing or is not a JSON object with a
// list of resources.
DataPackage ReadDataPackage(const std::filesystem::path& package);

// The files of the resource named `name`, opened through zlib when read.
// Fails when the package has no such resource, or when a path is not a
// relative path inside the package (URLs, absolute paths and "..").
PackageResource FindResource(const DataPackage& package, std::string_view name);

}  // namespace ot::import
