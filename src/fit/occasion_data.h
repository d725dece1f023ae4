// What one species gives the models, and the sufficient statistics the
// likelihoods work from. A site's likelihood under either model depends on
// its occasions only through how many occasions of each effort it has and
// how many of those detected the species, so each site is reduced to one
// (effort, occasions, detections) group per distinct effort.
#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

namespace ot::fit {

// One occasion of a site: the camera's operating days in it (1..DAYS; 0
// means no effort, and the occasion is left out) and whether the species
// was seen in it (its count above 0).
struct Occasion {
  std::int64_t effort = 0;
  bool detected = false;
};

// One species' detection data, per site its occasions in any order. A site
// with no occasion of positive effort is not used.
struct SpeciesOccasions {
  std::string species;
  std::vector<std::vector<Occasion>> sites;
};

// The occasions of one site that have one effort.
struct EffortGroup {
  std::int64_t effort = 0;
  std::int64_t occasions = 0;
  std::int64_t detections = 0;  // 0..occasions
};

// Per used site its effort groups, sorted by effort; and the totals the
// results report. Built by SpeciesStatisticsBuilder or Summarise.
class SpeciesStatistics {
 public:
  const std::string& species() const { return species_; }
  // The occasion length DAYS, the largest possible effort.
  std::int64_t days() const { return days_; }
  // Sites with at least one occasion of positive effort.
  std::size_t sites() const { return site_ends_.size(); }
  // Groups of site `site` (0-based, in the order the sites were given,
  // skipping unused ones).
  std::span<const EffortGroup> Site(std::size_t site) const;
  // Sites with at least one detection.
  std::int64_t sites_detected() const { return sites_detected_; }
  // (site, occasion) cells with effort, and those with a detection.
  std::int64_t occasions() const { return occasions_; }
  std::int64_t detections() const { return detections_; }

 private:
  friend class SpeciesStatisticsBuilder;

  std::string species_;
  std::int64_t days_ = 1;
  std::vector<EffortGroup> groups_;     // every site's groups, site after site
  std::vector<std::size_t> site_ends_;  // end of each site's groups in groups_
  std::int64_t sites_detected_ = 0;
  std::int64_t occasions_ = 0;
  std::int64_t detections_ = 0;
};

// Gathers the statistics occasion by occasion, site after site, without
// keeping the occasions: Add the occasions of a site, then EndSite.
class SpeciesStatisticsBuilder {
 public:
  // `days` (1 or more) is the occasion length; a RunFailure otherwise.
  SpeciesStatisticsBuilder(std::string species, std::int64_t days);

  // Adds an occasion to the current site. Effort 0 is no occasion; an
  // effort outside 0..days throws a RunFailure.
  void Add(std::int64_t effort, bool detected);
  // Closes the current site; one without an occasion is not a used site.
  void EndSite();
  // The statistics (closing an open site first). The builder is then
  // empty, ready for nothing but destruction.
  SpeciesStatistics Finish();

 private:
  // Efforts up to this many days find their group through group_of_effort_.
  static constexpr std::int64_t kLargestIndexedDays = 4096;

  SpeciesStatistics statistics_;
  std::size_t site_begin_ = 0;  // first group of the current site
  // Per effort, 1 + its group's place in the current site, or 0.
  std::vector<std::uint32_t> group_of_effort_;
};

// The statistics of `data` for occasions of `days` days (RunFailure on an
// effort outside 0..days or days below 1).
SpeciesStatistics Summarise(const SpeciesOccasions& data, std::int64_t days);

}  // namespace ot::fit
