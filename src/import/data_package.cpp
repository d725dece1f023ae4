#include "import/data_package.h"

#include <fstream>
#include <nlohmann/json.hpp>
#include <sstream>

#include "import/data_file.h"
#include "import/import_failure.h"

namespace ot::import {
namespace {

namespace fs = std::filesystem;
using nlohmann::json;

constexpr std::string_view kDescriptorName = "datapackage.json";

std::string Shown(const std::string& folder, const std::string& name) {
  return folder.empty() ? name : (fs::path(folder) / name).string();
}

// The text of a string member, or empty.
std::string StringMember(const json& object, const char* key) {
  if (!object.is_object()) return {};
  const auto it = object.find(key);
  return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

std::string FolderName(const fs::path& folder) {
  const fs::path full = fs::absolute(folder).lexically_normal();
  const fs::path name = full.filename().empty() ? full.parent_path().filename() : full.filename();
  return name.string();
}

json ParseDescriptor(const fs::path& path, const std::string& shown) {
  std::ifstream file(path, std::ios::binary);
  if (!file) FailImport(shown + ": cannot open");
  std::ostringstream text;
  text << file.rdbuf();
  json descriptor;
  try {
    descriptor = json::parse(text.str());
  } catch (const json::parse_error& error) {
    // The library's message names the line and column; its tag is dropped.
    const std::string what = error.what();
    const std::size_t detail = what.find("] ");
    FailImport(shown + ": expected JSON: " +
               (detail == std::string::npos ? what : what.substr(detail + 2)));
  }
  if (!descriptor.is_object() || !descriptor.contains("resources") ||
      !descriptor["resources"].is_array()) {
    FailImport(shown + ": expected a JSON object with a list of \"resources\"");
  }
  return descriptor;
}

// A resource's "path" as a list, empty when it is neither a string nor a
// list of strings.
std::vector<std::string> PathsOf(const json& resource) {
  std::vector<std::string> paths;
  const auto it = resource.find("path");
  if (it == resource.end()) return paths;
  if (it->is_string()) paths.push_back(it->get<std::string>());
  if (it->is_array()) {
    for (const json& path : *it) {
      if (!path.is_string()) return {};
      paths.push_back(path.get<std::string>());
    }
  }
  return paths;
}

char DelimiterOf(const json& resource) {
  const auto dialect = resource.find("dialect");
  if (dialect == resource.end()) return ',';
  const std::string delimiter = StringMember(*dialect, "delimiter");
  return delimiter.size() == 1 ? delimiter[0] : ',';
}

bool InsidePackage(const std::string& path) {
  if (path.empty() || path.find("://") != std::string::npos) return false;
  const fs::path relative(path);
  if (relative.is_absolute()) return false;
  for (const fs::path& part : relative) {
    if (part == "..") return false;
  }
  return true;
}

}  // namespace

DataPackage ReadDataPackage(const fs::path& package) {
  DataPackage result;
  std::error_code error;
  const bool is_folder = fs::is_directory(package, error);
  if (!is_folder && !fs::exists(package, error)) {
    FailImport(package.string() + ": no such package folder or datapackage.json");
  }
  const fs::path descriptor_path = is_folder ? package / kDescriptorName : package;
  result.folder = is_folder ? package : package.parent_path();
  if (result.folder.empty()) result.folder = ".";
  result.shown_folder = is_folder ? package.string() : package.parent_path().string();
  result.descriptor =
      is_folder ? Shown(result.shown_folder, std::string(kDescriptorName)) : package.string();
  if (is_folder && !fs::exists(descriptor_path, error)) {
    FailImport(result.descriptor +
               ": not found (a Camtrap DP package has its datapackage.json "
               "in its folder)");
  }
  const json descriptor = ParseDescriptor(descriptor_path, result.descriptor);

  result.title = StringMember(descriptor.value("project", json::object()), "title");
  if (result.title.empty()) result.title = StringMember(descriptor, "title");
  if (result.title.empty()) result.title = FolderName(result.folder);

  const auto taxonomic = descriptor.find("taxonomic");
  if (taxonomic != descriptor.end() && taxonomic->is_array()) {
    for (const json& taxon : *taxonomic) {
      const std::string name = StringMember(taxon, "scientificName");
      if (!name.empty()) result.taxonomic.push_back(name);
    }
  }
  for (const json& resource : descriptor["resources"]) {
    const std::string name = StringMember(resource, "name");
    if (name.empty()) continue;
    result.resource_names.push_back(name);
    result.resource_paths.push_back(PathsOf(resource));
    result.resource_delimiters.push_back(DelimiterOf(resource));
  }
  return result;
}

PackageResource FindResource(const DataPackage& package, std::string_view name) {
  std::size_t index = 0;
  while (index < package.resource_names.size() && package.resource_names[index] != name) ++index;
  if (index == package.resource_names.size()) {
    FailImport(package.descriptor + ": expected a resource named \"" + std::string(name) +
               "\", found none");
  }
  const std::vector<std::string>& paths = package.resource_paths[index];
  if (paths.empty()) {
    FailImport(package.descriptor + ": resource \"" + std::string(name) +
               "\": expected a \"path\" naming its file or a list of its files");
  }
  PackageResource resource;
  resource.delimiter = package.resource_delimiters[index];
  for (const std::string& path : paths) {
    if (!InsidePackage(path)) {
      FailImport(package.descriptor + ": resource \"" + std::string(name) +
                 "\": expected a path inside the package folder, found " + QuotedValue(path));
    }
    const fs::path full = package.folder / path;
    const std::string shown = Shown(package.shown_folder, path);
    resource.files.push_back(
        {shown, [full, shown] { return std::make_unique<DataFile>(full, shown); }});
  }
  return resource;
}

}  // namespace ot::import
