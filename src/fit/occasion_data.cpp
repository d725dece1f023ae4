#include "fit/occasion_data.h"

#include <algorithm>
#include <string>
#include <utility>

#include "base/failure.h"

namespace ot::fit {
namespace {

// Apart from Add, which stays small without the message.
[[noreturn, gnu::noinline]] void ReportEffortOutside(std::int64_t effort, std::int64_t days) {
  ReportRunFailure("fit: an occasion's effort of " + std::to_string(effort) +
                   " days is outside 0.." + std::to_string(days));
}

}  // namespace

std::span<const EffortGroup> SpeciesStatistics::Site(std::size_t site) const {
  const std::size_t begin = site == 0 ? 0 : site_ends_[site - 1];
  return std::span<const EffortGroup>(groups_).subspan(begin, site_ends_[site] - begin);
}

SpeciesStatisticsBuilder::SpeciesStatisticsBuilder(std::string species, std::int64_t days) {
  if (days < 1) {
    ReportRunFailure("fit: the occasion length must be 1 day or more, not " + std::to_string(days));
  }
  statistics_.species_ = std::move(species);
  statistics_.days_ = days;
  if (days <= kLargestIndexedDays) group_of_effort_.assign(static_cast<std::size_t>(days) + 1, 0);
}

void SpeciesStatisticsBuilder::Add(std::int64_t effort, bool detected) {
  if (static_cast<std::uint64_t>(effort) > static_cast<std::uint64_t>(statistics_.days_)) {
    ReportEffortOutside(effort, statistics_.days_);
  }
  if (effort == 0) return;
  auto& groups = statistics_.groups_;
  EffortGroup* group = nullptr;
  if (!group_of_effort_.empty()) {
    std::uint32_t& slot = group_of_effort_[static_cast<std::size_t>(effort)];
    if (slot == 0) {
      groups.push_back(EffortGroup{effort, 0, 0});
      slot = static_cast<std::uint32_t>(groups.size() - site_begin_);
    }
    group = &groups[site_begin_ + slot - 1];
  } else {
    // Long occasions: a linear search, whose cost is bounded by the number
    // of survey days (occasions x distinct efforts <= occasions x DAYS).
    const auto site = groups.begin() + static_cast<std::ptrdiff_t>(site_begin_);
    auto found = std::find_if(site, groups.end(),
                              [effort](const EffortGroup& g) { return g.effort == effort; });
    if (found == groups.end()) {
      groups.push_back(EffortGroup{effort, 0, 0});
      found = groups.end() - 1;
    }
    group = &*found;
  }
  ++group->occasions;
  group->detections += detected ? 1 : 0;
}

void SpeciesStatisticsBuilder::EndSite() {
  auto& groups = statistics_.groups_;
  if (groups.size() == site_begin_) return;
  const auto site = groups.begin() + static_cast<std::ptrdiff_t>(site_begin_);
  std::sort(site, groups.end(),
            [](const EffortGroup& a, const EffortGroup& b) { return a.effort < b.effort; });
  std::int64_t detections = 0;
  for (auto group = site; group != groups.end(); ++group) {
    if (!group_of_effort_.empty()) group_of_effort_[static_cast<std::size_t>(group->effort)] = 0;
    statistics_.occasions_ += group->occasions;
    detections += group->detections;
  }
  statistics_.detections_ += detections;
  statistics_.sites_detected_ += detections > 0 ? 1 : 0;
  statistics_.site_ends_.push_back(groups.size());
  site_begin_ = groups.size();
}

SpeciesStatistics SpeciesStatisticsBuilder::Finish() {
  EndSite();
  return std::move(statistics_);
}

SpeciesStatistics Summarise(const SpeciesOccasions& data, std::int64_t days) {
  SpeciesStatisticsBuilder builder(data.species, days);
  for (const auto& site : data.sites) {
    for (const Occasion& occasion : site) builder.Add(occasion.effort, occasion.detected);
    builder.EndSite();
  }
  return builder.Finish();
}

}  // namespace ot::fit
