// fit-speed [--species N] [--threads T] [--seed S]: the time and memory of
// fitting both models to N species (default 500) on 250 sites x 100
// occasions of 7 days with gaps in effort, as the benchmark survey has.
// Each species is drawn from the occupancy model (psi 0.05..0.95, p
// 0.005..0.2) or the Royle-Nichols model (lambda 0.05..3, r 0.005..0.1), in
// turn. The detections are made per cell and fed cell by cell to the
// statistics builder, as the program will feed them from its counts; that
// step and the fits are timed apart. Peak memory is the whole process's
// (getrusage), which includes the detection data of one species at a time.
//
//   build/bench/fit-speed            (or under /usr/bin/time -v for a second opinion)
#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <random>
#include <vector>

#include "fit/species_fit.h"
#include "fit_survey_simulator.h"

namespace {

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// CPU seconds of all the process's threads: on a shared machine the wall
// time also counts other programs' turns.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long PeakKiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  using namespace ot::fit;
  int species = 500;
  unsigned threads = 2;
  std::uint64_t seed = 20240612;
  for (int i = 1; i + 1 < argc; i += 2) {
    if (std::strcmp(argv[i], "--species") == 0) {
      species = std::atoi(argv[i + 1]);
    } else if (std::strcmp(argv[i], "--threads") == 0) {
      threads = static_cast<unsigned>(std::atoi(argv[i + 1]));
    } else if (std::strcmp(argv[i], "--seed") == 0) {
      seed = std::strtoull(argv[i + 1], nullptr, 10);
    } else {
      std::fprintf(stderr, "usage: fit-speed [--species N] [--threads T] [--seed S]\n");
      return 2;
    }
  }
  constexpr int kSites = 250, kOccasions = 100;
  constexpr std::int64_t kDays = 7;
  std::mt19937_64 rng(seed);
  const auto layout = simulation::EffortWithGaps(kSites, kOccasions, kDays, rng);
  std::uniform_real_distribution<double> unit(0, 1);

  std::vector<SpeciesStatistics> statistics;
  statistics.reserve(static_cast<std::size_t>(species));
  std::chrono::steady_clock::duration summarising{};
  for (int s = 0; s < species; ++s) {
    const std::string name = "species " + std::to_string(s + 1);
    const SpeciesOccasions data =
        s % 2 == 0 ? simulation::SimulateOccupancy(name, layout, 0.05 + 0.9 * unit(rng),
                                                   0.005 + 0.195 * unit(rng), rng)
                   : simulation::SimulateRoyleNichols(name, layout, 0.05 + 2.95 * unit(rng),
                                                      0.005 + 0.095 * unit(rng), rng);
    const auto start = std::chrono::steady_clock::now();
    SpeciesStatisticsBuilder builder(name, kDays);
    for (const auto& site : data.sites) {
      for (const Occasion& occasion : site) builder.Add(occasion.effort, occasion.detected);
      builder.EndSite();
    }
    statistics.push_back(builder.Finish());
    summarising += std::chrono::steady_clock::now() - start;
  }
  const long peak_before = PeakKiB();

  const auto start = std::chrono::steady_clock::now();
  const double cpu_start = CpuSeconds();
  const auto fits = FitAllSpecies(statistics, threads);
  const double fitting = Seconds(std::chrono::steady_clock::now() - start);
  const double fitting_cpu = CpuSeconds() - cpu_start;

  int statuses[2][4] = {};
  for (const SpeciesFit& fit : fits) {
    ++statuses[0][static_cast<int>(fit.occupancy.status)];
    ++statuses[1][static_cast<int>(fit.royle_nichols.status)];
  }
  std::printf("fit-speed: %d species, %d sites x %d occasions of %lld days, %u threads\n", species,
              kSites, kOccasions, static_cast<long long>(kDays), threads);
  std::printf("  statistics from %lld cells: %.3f s\n",
              static_cast<long long>(species) * kSites * kOccasions, Seconds(summarising));
  std::printf("  fitting both models: %.3f s wall, %.3f s CPU (%.2f ms CPU per species)\n", fitting,
              fitting_cpu, 1000 * fitting_cpu / species);
  for (int model = 0; model < 2; ++model) {
    std::printf("  %s: ok %d, boundary %d, not-converged %d, no-detection %d\n",
                model == 0 ? "occupancy" : "royle-nichols", statuses[model][0], statuses[model][2],
                statuses[model][3], statuses[model][1]);
  }
  std::printf("  peak resident memory: %.1f MiB before fitting, %.1f MiB after\n",
              peak_before / 1024.0, PeakKiB() / 1024.0);
  return 0;
}
