// fit-data-sets: prints, as JSON, detection data sets with the fits of both
// models to each, for tests/fit/independent_fit.py to refit from the model
// formulas alone and compare. Every occasion is listed as [effort,
// detected], effort 0 included (no occasion); the fits give per parameter
// its estimate, se, lcl and ucl (null for NA), the log-likelihood and the
// status.
#include <cmath>
#include <cstdio>
#include <nlohmann/json.hpp>
#include <random>
#include <string>
#include <vector>

#include "fit/species_fit.h"
#include "fit_survey_simulator.h"

namespace {

using namespace ot::fit;
using nlohmann::json;

json Value(const std::optional<double>& value) {
  return value ? json(*value) : json(nullptr);
}

json Parameter(const Estimate& estimate) {
  return {{"estimate", Value(estimate.value)},
          {"se", Value(estimate.se)},
          {"lcl", Value(estimate.lower)},
          {"ucl", Value(estimate.upper)}};
}

json Model(const ModelFit& fit) {
  return {{"status", std::string(StatusText(fit.status))},
          {"reason", fit.reason},
          {"loglik", Value(fit.log_likelihood)},
          {"aic", Value(fit.aic)}};
}

json DataSet(const std::string& name, const SpeciesOccasions& data, std::int64_t days) {
  json sites = json::array();
  for (const auto& site : data.sites) {
    json occasions = json::array();
    for (const Occasion& occasion : site)
      occasions.push_back({occasion.effort, occasion.detected ? 1 : 0});
    sites.push_back(std::move(occasions));
  }
  const SpeciesFit fit = FitSpecies(Summarise(data, days));
  json occupancy = Model(fit.occupancy);
  occupancy["psi"] = Parameter(fit.occupancy.psi);
  occupancy["p_daily"] = Parameter(fit.occupancy.p_daily);
  occupancy["p_occasion"] = Parameter(fit.occupancy.p_occasion);
  json royle_nichols = Model(fit.royle_nichols);
  royle_nichols["lambda"] = Parameter(fit.royle_nichols.lambda);
  royle_nichols["r_daily"] = Parameter(fit.royle_nichols.r_daily);
  royle_nichols["psi"] = Parameter(fit.royle_nichols.psi);
  return {{"name", name},
          {"days", days},
          {"sites", std::move(sites)},
          {"occupancy", std::move(occupancy)},
          {"royle_nichols", std::move(royle_nichols)}};
}

// `sites` x `occasions` occasions of `days` days, detected where `seen` says.
template <class Seen>
SpeciesOccasions Pattern(int sites, int occasions, std::int64_t days, Seen seen) {
  SpeciesOccasions data{"pattern", {}};
  for (int i = 0; i < sites; ++i) {
    data.sites.emplace_back();
    for (int k = 0; k < occasions; ++k) data.sites.back().push_back({days, seen(i, k)});
  }
  return data;
}

}  // namespace

int main() {
  std::mt19937_64 rng(20240613);
  json sets = json::array();
  {
    const auto layout = simulation::EffortWithGaps(60, 10, 7, rng);
    sets.push_back(DataSet("occupancy data, 60 sites, 10 occasions of 7 days with gaps",
                           simulation::SimulateOccupancy("a", layout, 0.6, 0.08, rng), 7));
    sets.push_back(DataSet("Royle-Nichols data, 60 sites, 10 occasions of 7 days with gaps",
                           simulation::SimulateRoyleNichols("b", layout, 1.2, 0.05, rng), 7));
  }
  {
    // Many short and missing occasions.
    const auto layout = simulation::EffortWithGaps(40, 15, 5, rng, 0.4, 0.2);
    sets.push_back(DataSet("heavy effort gaps, occasions of 5 days",
                           simulation::SimulateOccupancy("c", layout, 0.4, 0.15, rng), 5));
  }
  {
    const auto layout = simulation::EffortWithGaps(50, 20, 1, rng);
    sets.push_back(DataSet("occasions of 1 day",
                           simulation::SimulateOccupancy("d", layout, 0.5, 0.3, rng), 1));
  }
  {
    const auto layout = simulation::EffortWithGaps(80, 12, 7, rng);
    sets.push_back(
        DataSet("rare species", simulation::SimulateOccupancy("e", layout, 0.25, 0.03, rng), 7));
    sets.push_back(DataSet("abundant species",
                           simulation::SimulateRoyleNichols("f", layout, 3, 0.03, rng), 7));
  }
  {
    const auto layout = simulation::EffortWithGaps(100, 30, 14, rng);
    sets.push_back(DataSet("long occasions, 100 sites x 30 occasions of 14 days",
                           simulation::SimulateRoyleNichols("g", layout, 0.8, 0.02, rng), 14));
  }
  sets.push_back(DataSet("boundary: every site detected alike",
                         Pattern(30, 10, 7, [](int i, int k) { return (i + k) % 2 == 0; }), 7));
  sets.push_back(DataSet("boundary: detected sites detected on every occasion",
                         Pattern(30, 10, 7, [](int i, int) { return i < 12; }), 7));
  sets.push_back(DataSet(
      "every site detected, unevenly",
      Pattern(30, 10, 7, [](int i, int k) { return i % 3 == 0 ? k < 9 : k == i % 10; }), 7));
  sets.push_back(DataSet("no detection", Pattern(10, 5, 7, [](int, int) { return false; }), 7));
  std::printf("%s\n", json{{"data_sets", std::move(sets)}}.dump(1).c_str());
  return 0;
}
