// Simulated detection data for the model fits: an effort layout with the
// gaps real cameras have, and species drawn from the occupancy or the
// Royle-Nichols model on it. Shared by the fit benchmarks and the data
// sets of the independent comparison (tests/fit).
#pragma once

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

#include "fit/occasion_data.h"

namespace ot::fit::simulation {

// Operating days per site and occasion (0..days).
struct EffortLayout {
  std::int64_t days = 1;
  std::vector<std::vector<std::int64_t>> effort;
};

// `sites` x `occasions` occasions of `days` days. Gaps: a site may start
// up to two occasions late and stop up to two early (each with probability
// 0.3); any other occasion loses a random number of days with probability
// `partial` and is missed entirely with probability `missing`.
inline EffortLayout EffortWithGaps(int sites, int occasions, std::int64_t days,
                                   std::mt19937_64& rng, double partial = 0.15,
                                   double missing = 0.05) {
  EffortLayout layout;
  layout.days = days;
  std::uniform_real_distribution<double> unit(0, 1);
  std::uniform_int_distribution<int> shift(1, 2);
  for (int i = 0; i < sites; ++i) {
    std::vector<std::int64_t> row(static_cast<std::size_t>(occasions), days);
    const int first = unit(rng) < 0.3 ? shift(rng) : 0;
    const int last = occasions - (unit(rng) < 0.3 ? shift(rng) : 0);
    for (int k = 0; k < occasions; ++k) {
      auto& effort = row[static_cast<std::size_t>(k)];
      if (k < first || k >= last) {
        effort = 0;
      } else if (const double u = unit(rng); u < missing) {
        effort = 0;
      } else if (u < missing + partial && days > 1) {
        effort = std::uniform_int_distribution<std::int64_t>(1, days - 1)(rng);
      }
    }
    layout.effort.push_back(std::move(row));
  }
  return layout;
}

// Detection with probability 1 - (1 - daily)^(effort x animals).
inline bool Seen(double daily, std::int64_t exposure, std::mt19937_64& rng) {
  const double miss = std::pow(1 - daily, static_cast<double>(exposure));
  return std::uniform_real_distribution<double>(0, 1)(rng) >= miss;
}

// Occupancy: a site is occupied with probability psi; an occupied site's
// occasion of e days detects with probability 1 - (1 - p)^e.
inline SpeciesOccasions SimulateOccupancy(std::string name, const EffortLayout& layout, double psi,
                                          double p, std::mt19937_64& rng) {
  SpeciesOccasions data{std::move(name), {}};
  std::uniform_real_distribution<double> unit(0, 1);
  for (const auto& row : layout.effort) {
    const bool occupied = unit(rng) < psi;
    std::vector<Occasion> site;
    for (std::int64_t effort : row) {
      if (effort > 0) site.push_back({effort, occupied && Seen(p, effort, rng)});
    }
    data.sites.push_back(std::move(site));
  }
  return data;
}

// Royle-Nichols: N ~ Poisson(lambda) animals per site, each seen on a day
// with probability r.
inline SpeciesOccasions SimulateRoyleNichols(std::string name, const EffortLayout& layout,
                                             double lambda, double r, std::mt19937_64& rng) {
  SpeciesOccasions data{std::move(name), {}};
  std::poisson_distribution<std::int64_t> animals(lambda);
  for (const auto& row : layout.effort) {
    const std::int64_t n = animals(rng);
    std::vector<Occasion> site;
    for (std::int64_t effort : row) {
      if (effort > 0) site.push_back({effort, n > 0 && Seen(r, effort * n, rng)});
    }
    data.sites.push_back(std::move(site));
  }
  return data;
}

}  // namespace ot::fit::simulation
