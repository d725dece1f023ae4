// A survey as an importer hands it on: locations with their operating
// periods, species and pictures, with what was left out or changed on the
// way, ready for Input.txt and AllPictures.txt.
#pragma once

#include <date/date.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "import/name_fitting.h"

namespace ot::import {

struct ImportedPeriod {
  date::local_days begin;
  date::local_days end;
};

struct ImportedLocation {
  std::string name;  // as the source names it
  std::vector<ImportedPeriod> periods;
};

struct ImportedPicture {
  std::uint32_t location = 0;  // index into the locations
  std::uint32_t species = 0;   // index into the species
  std::int32_t count = 0;      // 1..99
  date::local_seconds time;    // the camera's local time
  // The source's key for equal times (an observationID), a slice of
  // ImportedSurvey::picture_keys, then the source's order.
  std::uint32_t key_begin = 0;
  std::uint32_t key_size = 0;
  std::int64_t sequence = 0;
};

// Observations or rows left out for one reason.
struct LeftOut {
  std::string reason;
  std::int64_t count = 0;
};

struct ImportedSurvey {
  std::string title;
  std::vector<std::string> source_lines;  // what was read, for the summary
  std::int64_t deployments = 0;
  std::vector<ImportedLocation> locations;
  std::vector<std::string> species;  // as the source names them
  std::vector<ImportedPicture> pictures;
  std::string picture_keys;
  std::vector<LeftOut> left_out;  // reasons in the order they were first met
  std::int64_t counts_missing = 0;
  std::int64_t counts_capped = 0;
  std::int64_t outside_operating_dates = 0;

  // Set by FinishSurvey.
  FittedNames location_names;
  FittedNames species_names;
  std::vector<SharedPictures> sharing;

  // Counts one more left out for `reason`.
  void LeaveOut(std::string_view reason);
  // Counts nothing, but fixes where `reason` stands among the reasons.
  void ListReason(std::string_view reason);
  // Adds a picture, keeping `key` for the order of equal times.
  void AddPicture(ImportedPicture picture, std::string_view key);
  std::string_view KeyOf(const ImportedPicture& picture) const;
  std::int64_t TotalLeftOut() const;
};

// The largest count a picture record holds (its field has 2 columns).
inline constexpr std::int64_t kLargestCount = 99;

// Puts the species listed in `preferred` first, in its order, the others
// after them in their order, and renumbers the pictures.
void OrderSpecies(ImportedSurvey& survey, const std::vector<std::string>& preferred);

// Readies the survey for writing: each location's periods by begin, the
// pictures by location, time, key and sequence; fits the names and finds
// the species that share pictures.
void FinishSurvey(ImportedSurvey& survey);

// Pictures written per species, in species order.
std::vector<std::int64_t> PicturesPerSpecies(const ImportedSurvey& survey);

}  // namespace ot::import
