#include "import/imported_survey.h"

#include <algorithm>
#include <numeric>

#include "import/import_failure.h"

namespace ot::import {

void ImportedSurvey::LeaveOut(std::string_view reason) {
  ListReason(reason);
  for (LeftOut& entry : left_out) {
    if (entry.reason == reason) ++entry.count;
  }
}

void ImportedSurvey::ListReason(std::string_view reason) {
  for (const LeftOut& entry : left_out) {
    if (entry.reason == reason) return;
  }
  left_out.push_back({std::string(reason), 0});
}

void ImportedSurvey::AddPicture(ImportedPicture picture, std::string_view key) {
  if (picture_keys.size() + key.size() > UINT32_MAX) FailImport("too many pictures to import");
  picture.key_begin = static_cast<std::uint32_t>(picture_keys.size());
  picture.key_size = static_cast<std::uint32_t>(key.size());
  picture_keys.append(key);
  pictures.push_back(picture);
}

std::string_view ImportedSurvey::KeyOf(const ImportedPicture& picture) const {
  return std::string_view(picture_keys).substr(picture.key_begin, picture.key_size);
}

std::int64_t ImportedSurvey::TotalLeftOut() const {
  std::int64_t total = 0;
  for (const LeftOut& entry : left_out) total += entry.count;
  return total;
}

void OrderSpecies(ImportedSurvey& survey, const std::vector<std::string>& preferred) {
  const std::size_t n = survey.species.size();
  std::vector<std::size_t> rank(n, preferred.size());
  for (std::size_t s = 0; s < n; ++s) {
    const auto it = std::find(preferred.begin(), preferred.end(), survey.species[s]);
    rank[s] = static_cast<std::size_t>(it - preferred.begin());
  }
  std::vector<std::size_t> order(n);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(),
                   [&rank](std::size_t a, std::size_t b) { return rank[a] < rank[b]; });
  std::vector<std::uint32_t> new_index(n);
  std::vector<std::string> species(n);
  for (std::size_t k = 0; k < n; ++k) {
    new_index[order[k]] = static_cast<std::uint32_t>(k);
    species[k] = std::move(survey.species[order[k]]);
  }
  survey.species = std::move(species);
  for (ImportedPicture& picture : survey.pictures) picture.species = new_index[picture.species];
}

void FinishSurvey(ImportedSurvey& survey) {
  for (ImportedLocation& location : survey.locations) {
    std::stable_sort(
        location.periods.begin(), location.periods.end(),
        [](const ImportedPeriod& a, const ImportedPeriod& b) { return a.begin < b.begin; });
  }
  std::sort(survey.pictures.begin(), survey.pictures.end(),
            [&survey](const ImportedPicture& a, const ImportedPicture& b) {
              if (a.location != b.location) return a.location < b.location;
              if (a.time != b.time) return a.time < b.time;
              const std::string_view key_a = survey.KeyOf(a);
              const std::string_view key_b = survey.KeyOf(b);
              if (key_a != key_b) return key_a < key_b;
              return a.sequence < b.sequence;
            });
  std::vector<std::string> location_names;
  for (const ImportedLocation& location : survey.locations) location_names.push_back(location.name);
  survey.location_names = FitNames(location_names);
  survey.species_names = FitNames(survey.species);
  survey.sharing = SpeciesSharingPictures(survey.species_names.names);
}

std::vector<std::int64_t> PicturesPerSpecies(const ImportedSurvey& survey) {
  std::vector<std::int64_t> counts(survey.species.size(), 0);
  for (const ImportedPicture& picture : survey.pictures) ++counts[picture.species];
  return counts;
}

}  // namespace ot::import
