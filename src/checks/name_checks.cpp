#include "checks/name_checks.h"

#include <algorithm>
#include <numeric>
#include <string>
#include <unordered_set>

#include "base/strings.h"
#include "checks/survey_text.h"

namespace ot::checks {
namespace {

// " (OTHER has "NAME")" for the first of `names` that `likely` finds like
// `name`, else "".
template <typename Names, typename Likely>
std::string LikelyMeant(std::string_view other, const Names& names, std::string_view name,
                        Likely likely) {
  for (const auto& candidate : names) {
    const std::string_view text = StripTrailingSpaces(candidate);
    if (likely(text, name)) {
      return " (" + std::string(other) + " has " + Quote(EscapeControlBytes(text)) + ")";
    }
  }
  return "";
}

std::string OtherSpecies(const InputListing& listing, std::size_t s) {
  return Entry("species", s + 1, listing.survey.species[s]);
}

// Names that begin with another listed name, are listed again, or are
// empty.
void CheckSpeciesOverlaps(const InputListing& listing, const LogCounts& counts,
                          ProblemList& problems) {
  const auto& species = listing.survey.species;
  std::vector<std::string_view> names;
  for (const std::string& name : species) names.push_back(StripTrailingSpaces(name));
  std::vector<std::size_t> sorted(names.size());
  std::iota(sorted.begin(), sorted.end(), 0);
  std::stable_sort(sorted.begin(), sorted.end(),
                   [&](std::size_t a, std::size_t b) { return names[a] < names[b]; });
  const auto by_name = [&](std::size_t a, std::string_view b) { return names[a] < b; };
  for (std::size_t s = 0; s < names.size(); ++s) {
    const std::int64_t line = listing.species_lines[s];
    const auto same = std::lower_bound(sorted.begin(), sorted.end(), names[s], by_name);
    if (names[s].empty()) {
      problems.Add(ProblemKind::kSpeciesOverlap, SurveyFile::kInput, line, [&] {
        return "species " + std::to_string(s + 1) + " has an empty name, which takes every " +
               "picture (" + std::to_string(counts.species_pictures[s]) + ")";
      });
    } else if (*same != s) {
      problems.Add(ProblemKind::kSpeciesOverlap, SurveyFile::kInput, line, [&] {
        return OtherSpecies(listing, s) + " is listed twice: " + OtherSpecies(listing, *same) +
               " (line " + std::to_string(listing.species_lines[*same]) +
               ") takes the same pictures";
      });
    } else {
      const auto longer =
          std::find_if(same, sorted.end(), [&](std::size_t b) { return names[b] != names[s]; });
      const auto end = std::find_if(longer, sorted.end(),
                                    [&](std::size_t b) { return !names[b].starts_with(names[s]); });
      if (longer == end) continue;
      const auto more = end - longer - 1;
      problems.Add(ProblemKind::kSpeciesOverlap, SurveyFile::kInput, line, [&] {
        return OtherSpecies(listing, s) + " also counts the pictures of " +
               OtherSpecies(listing, *longer) +
               (more > 0 ? " and " + std::to_string(more) + " more species" : "") + ", whose name" +
               (more > 0 ? "s begin" : " begins") + " with " + Quote(EscapeControlBytes(names[s])) +
               " (" + Pluralize(counts.species_shared[s], "picture", "pictures") + ")";
      });
    }
  }
}

void CheckSpeciesPictures(const InputListing& listing, const LogCounts& counts,
                          ProblemList& problems) {
  const auto& species = listing.survey.species;
  for (std::size_t s = 0; s < species.size(); ++s) {
    if (counts.species_pictures[s] > 0) continue;
    problems.Add(ProblemKind::kSpeciesWithoutPicture, SurveyFile::kInput, listing.species_lines[s],
                 [&] {
                   std::vector<std::string_view> log_names;
                   for (const NameCount& n : counts.log_species.names())
                     log_names.push_back(n.name);
                   return OtherSpecies(listing, s) + " selects no picture" +
                          LikelyMeant("AllPictures.txt", log_names, StripTrailingSpaces(species[s]),
                                      BeginsButForCaseAndBlanks);
                 });
  }
}

void CheckLocationPictures(const InputListing& listing, const LogCounts& counts,
                           ProblemList& problems) {
  const auto& locations = listing.survey.locations;
  std::vector<std::string_view> unlisted;
  for (const NameCount& n : counts.unlisted_locations.names()) unlisted.push_back(n.name);
  std::unordered_set<std::string_view> seen;
  for (std::size_t i = 0; i < locations.size(); ++i) {
    if (!seen.insert(locations[i].name).second || counts.location_pictures[i] > 0) continue;
    problems.Add(
        ProblemKind::kLocationWithoutPicture, SurveyFile::kInput, listing.location_lines[i], [&] {
          return Entry("location", i + 1, locations[i].name) + " has no picture" +
                 LikelyMeant("AllPictures.txt", unlisted, StripTrailingSpaces(locations[i].name),
                             SameButForCaseAndBlanks);
        });
  }
  std::vector<std::string_view> listed;
  for (const Location& location : locations) listed.push_back(location.name);
  for (const NameCount& n : counts.unlisted_locations.names()) {
    problems.Add(ProblemKind::kLocationNotListed, SurveyFile::kPictures, n.first_line, [&] {
      return Quote(EscapeControlBytes(n.name)) +
             " is not in Input.txt: " + Pluralize(n.pictures, "picture", "pictures") +
             ", the first on this line" +
             LikelyMeant("Input.txt", listed, n.name, SameButForCaseAndBlanks);
    });
  }
}

}  // namespace

void CheckNames(const InputListing& listing, const LogCounts& counts, ProblemList& problems) {
  CheckSpeciesOverlaps(listing, counts, problems);
  CheckSpeciesPictures(listing, counts, problems);
  CheckLocationPictures(listing, counts, problems);
}

}  // namespace ot::checks
