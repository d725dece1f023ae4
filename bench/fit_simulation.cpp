// fit-simulation [--simulations N] [--seed S]: how well the model fits
// recover known values. Simulates N surveys of 60 sites and 10 occasions of
// 7 days with gaps in effort (bench/fit_survey_simulator.h), from the
// occupancy model (psi 0.6, p 0.08) and from the Royle-Nichols model
// (lambda 1.2, r 0.05), fits each with its model and prints per parameter
// the mean estimate, its relative bias, and how often the 95% interval
// covers the truth (target 93-97%), with the count of each status.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <vector>

#include "fit/species_fit.h"
#include "fit_survey_simulator.h"

namespace {

using namespace ot::fit;

struct Parameter {
  const char* name;
  double truth;
  std::function<const Estimate&(const SpeciesFit&)> estimate;
};

void Report(const char* title, const std::vector<SpeciesFit>& fits,
            std::function<const ModelFit&(const SpeciesFit&)> model,
            const std::vector<Parameter>& parameters) {
  int statuses[4] = {};
  for (const SpeciesFit& fit : fits) ++statuses[static_cast<int>(model(fit).status)];
  std::printf("%s\n  %zu simulations: ok %d, boundary %d, not-converged %d, no-detection %d\n",
              title, fits.size(), statuses[0], statuses[2], statuses[3], statuses[1]);
  std::printf("  %-10s %8s %10s %9s %10s %9s\n", "parameter", "truth", "mean", "rel.bias",
              "coverage", "intervals");
  for (const Parameter& parameter : parameters) {
    double sum = 0;
    int estimates = 0, intervals = 0, covered = 0;
    for (const SpeciesFit& fit : fits) {
      const Estimate& estimate = parameter.estimate(fit);
      if (!estimate.value) continue;
      sum += *estimate.value;
      ++estimates;
      if (estimate.lower && estimate.upper) {
        ++intervals;
        covered += *estimate.lower <= parameter.truth && parameter.truth <= *estimate.upper;
      }
    }
    const double mean = sum / estimates;
    std::printf("  %-10s %8.4f %10.4f %+8.2f%% %9.1f%% %9d\n", parameter.name, parameter.truth,
                mean, 100 * (mean / parameter.truth - 1), 100.0 * covered / intervals, intervals);
  }
}

}  // namespace

int main(int argc, char** argv) {
  int simulations = 500;
  std::uint64_t seed = 20240611;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--simulations") == 0) {
      simulations = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: fit-simulation [--simulations N] [--seed S]\n");
      return 2;
    }
  }
  std::mt19937_64 rng(seed);
  constexpr double kPsi = 0.6, kP = 0.08, kLambda = 1.2, kR = 0.05;
  std::vector<SpeciesStatistics> occupancy_data, abundance_data;
  for (int s = 0; s < simulations; ++s) {
    // A new effort layout for every survey, so the gaps vary too.
    const auto layout = simulation::EffortWithGaps(60, 10, 7, rng);
    occupancy_data.push_back(
        Summarise(simulation::SimulateOccupancy("occupancy", layout, kPsi, kP, rng), 7));
    abundance_data.push_back(
        Summarise(simulation::SimulateRoyleNichols("abundance", layout, kLambda, kR, rng), 7));
  }
  const auto occupancy_fits = FitAllSpecies(occupancy_data, 2);
  const auto abundance_fits = FitAllSpecies(abundance_data, 2);
  std::printf("fit-simulation: seed %llu; 60 sites, 10 occasions of 7 days with gaps\n",
              static_cast<unsigned long long>(seed));
  Report(
      "occupancy model, data from psi 0.6, p 0.08", occupancy_fits,
      [](const SpeciesFit& f) -> const ModelFit& { return f.occupancy; },
      {{"psi", kPsi, [](const SpeciesFit& f) -> const Estimate& { return f.occupancy.psi; }},
       {"p_daily", kP, [](const SpeciesFit& f) -> const Estimate& { return f.occupancy.p_daily; }},
       {"p_occasion", 1 - std::pow(1 - kP, 7),
        [](const SpeciesFit& f) -> const Estimate& { return f.occupancy.p_occasion; }}});
  Report("Royle-Nichols model, data from lambda 1.2, r 0.05", abundance_fits,
         [](const SpeciesFit& f) -> const ModelFit& { return f.royle_nichols; },
         {{"lambda", kLambda,
           [](const SpeciesFit& f) -> const Estimate& { return f.royle_nichols.lambda; }},
          {"r_daily", kR,
           [](const SpeciesFit& f) -> const Estimate& { return f.royle_nichols.r_daily; }},
          {"psi", 1 - std::exp(-kLambda),
           [](const SpeciesFit& f) -> const Estimate& { return f.royle_nichols.psi; }}});
  return 0;
}
