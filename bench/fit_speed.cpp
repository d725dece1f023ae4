// fit-speed [--species N] [--threads T] [--seed S] [--everywhere]: the time
// and memory of fitting both models to N species (default 500) on 250 sites
// x 100 occasions of 7 days with gaps in effort.
//
// Each species is drawn from the occupancy model (psi 0.05..0.95, p
// 0.005..0.2) or the Royle-Nichols model (lambda 0.05..3, r 0.005..0.1), in
// turn; with --everywhere every species occupies every site (psi 1, p
// 0.005..0.105), the costly case where most Royle-Nichols fits run to the
// largest lambda. The detections are kept as one bit per cell beside the
// shared effort table, as a run keeps its counts, and each fitting thread
// builds a species' statistics cell by cell (SpeciesStatisticsBuilder)
// just before fitting it, as the program will. Timed: that whole step (wall
// and CPU seconds; on a shared machine the CPU time is the steadier), and,
// apart, building the statistics alone. Peak memory is the whole process's.
//
//   build/bench/fit-speed                   (or: make fit-bench)
//   /usr/bin/time -v build/bench/fit-speed  (a second opinion on the peak)
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

using namespace ot::fit;

double Seconds(std::chrono::steady_clock::duration duration) {
  return std::chrono::duration<double>(duration).count();
}

// CPU seconds of all the process's threads.
double CpuSeconds() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

double PeakMiB() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_maxrss) / 1024;
}

constexpr int kSites = 250, kOccasions = 100;
constexpr std::int64_t kDays = 7;

struct Survey {
  simulation::EffortLayout layout;
  std::vector<std::vector<bool>> detected;  // per species, site x occasion
};

SpeciesStatistics Statistics(const Survey& survey, std::size_t species) {
  SpeciesStatisticsBuilder builder("species " + std::to_string(species + 1), kDays);
  const std::vector<bool>& detected = survey.detected[species];
  for (int i = 0; i < kSites; ++i) {
    const auto& effort = survey.layout.effort[static_cast<std::size_t>(i)];
    for (int k = 0; k < kOccasions; ++k) {
      builder.Add(effort[static_cast<std::size_t>(k)],
                  detected[static_cast<std::size_t>(i * kOccasions + k)]);
    }
    builder.EndSite();
  }
  return builder.Finish();
}

}  // namespace

int main(int argc, char** argv) {
  int species = 500;
  unsigned threads = 2;
  std::uint64_t seed = 20240612;
  bool everywhere = false;
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "--everywhere") == 0) {
      everywhere = true;
    } else if (i + 1 < argc && std::strcmp(argv[i], "--species") == 0) {
      species = std::atoi(argv[++i]);
    } else if (i + 1 < argc && std::strcmp(argv[i], "--threads") == 0) {
      threads = static_cast<unsigned>(std::atoi(argv[++i]));
    } else if (i + 1 < argc && std::strcmp(argv[i], "--seed") == 0) {
      seed = std::strtoull(argv[++i], nullptr, 10);
    } else {
      std::fprintf(stderr,
                   "usage: fit-speed [--species N] [--threads T] [--seed S] [--everywhere]\n");
      return 2;
    }
  }
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  Survey survey{simulation::EffortWithGaps(kSites, kOccasions, kDays, rng), {}};
  for (int s = 0; s < species; ++s) {
    const SpeciesOccasions data =
        everywhere
            ? simulation::SimulateOccupancy("", survey.layout, 1, 0.005 + 0.1 * unit(rng), rng)
        : s % 2 == 0 ? simulation::SimulateOccupancy("", survey.layout, 0.05 + 0.9 * unit(rng),
                                                     0.005 + 0.195 * unit(rng), rng)
                     : simulation::SimulateRoyleNichols("", survey.layout, 0.05 + 2.95 * unit(rng),
                                                        0.005 + 0.095 * unit(rng), rng);
    // The simulator lists only occasions with effort; spread them back.
    std::vector<bool> bits(static_cast<std::size_t>(kSites * kOccasions));
    for (int i = 0; i < kSites; ++i) {
      std::size_t next = 0;
      for (int k = 0; k < kOccasions; ++k) {
        if (survey.layout.effort[static_cast<std::size_t>(i)][static_cast<std::size_t>(k)] == 0)
          continue;
        bits[static_cast<std::size_t>(i * kOccasions + k)] =
            data.sites[static_cast<std::size_t>(i)][next++].detected;
      }
    }
    survey.detected.push_back(std::move(bits));
  }
  const auto count = static_cast<std::size_t>(species);
  const double peak_before = PeakMiB();

  auto start = std::chrono::steady_clock::now();
  double cpu_start = CpuSeconds();
  std::size_t groups = 0;
  for (std::size_t s = 0; s < count; ++s) groups += Statistics(survey, s).sites();
  const double building = Seconds(std::chrono::steady_clock::now() - start);
  const double building_cpu = CpuSeconds() - cpu_start;

  start = std::chrono::steady_clock::now();
  cpu_start = CpuSeconds();
  const auto fits = FitAllSpecies(
      count, [&survey](std::size_t s) { return Statistics(survey, s); }, threads);
  const double fitting = Seconds(std::chrono::steady_clock::now() - start);
  const double fitting_cpu = CpuSeconds() - cpu_start;

  int statuses[2][4] = {};
  for (const SpeciesFit& fit : fits) {
    ++statuses[0][static_cast<int>(fit.occupancy.status)];
    ++statuses[1][static_cast<int>(fit.royle_nichols.status)];
  }
  std::printf("fit-speed: %d species%s, %d sites x %d occasions of %lld days, %u threads\n",
              species, everywhere ? " at every site" : "", kSites, kOccasions,
              static_cast<long long>(kDays), threads);
  std::printf("  statistics alone, one thread: %.3f s wall, %.3f s CPU (%zu sites)\n", building,
              building_cpu, groups);
  std::printf("  statistics and both fits: %.3f s wall, %.3f s CPU (%.2f ms CPU per species)\n",
              fitting, fitting_cpu, 1000 * fitting_cpu / species);
  for (int model = 0; model < 2; ++model) {
    std::printf("  %s: ok %d, boundary %d, not-converged %d, no-detection %d\n",
                model == 0 ? "occupancy" : "royle-nichols", statuses[model][0], statuses[model][2],
                statuses[model][3], statuses[model][1]);
  }
  std::printf("  peak resident memory: %.1f MiB with the data, %.1f MiB after fitting\n",
              peak_before, PeakMiB());
  return 0;
}
