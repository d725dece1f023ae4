// The two models' log-likelihoods: a worked example by hand, the grouped
// computation against the direct occasion-by-occasion one, and the
// analytic gradients against finite differences.
#include "fit/likelihood.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace ot::fit {
namespace {

double LogitOf(double probability) {
  return std::log(probability / (1 - probability));
}

// Three sites, DAYS = 3:
//   A: an occasion of 3 days with a detection, one of 2 days without;
//   B: occasions of 3 and 1 days, no detection (4 days of effort);
//   C: one occasion of 1 day with a detection;
// and a fourth location whose camera never ran in an occasion (not used).
SpeciesOccasions ThreeSites() {
  return {"Pine marten",
          {{{3, true}, {2, false}}, {{3, false}, {1, false}}, {{1, true}}, {{0, false}}}};
}

TEST(OccupancyLikelihood, ThreeSitesByHand) {
  // psi = 3/4, p = 1/2, so P(e) = 1 - 2^-e: P(3) = 7/8, P(2) = 3/4, P(1) = 1/2.
  //   A: psi P(3) (1 - P(2))      = 3/4 * 7/8 * 1/4   = 21/128
  //   B: psi (1 - p)^4 + 1 - psi  = 3/4 * 1/16 + 1/4  = 19/64
  //   C: psi P(1)                 = 3/4 * 1/2         = 3/8
  // log-likelihood = log(21/128 * 19/64 * 3/8) = log(1197 / 65536).
  const OccupancyLikelihood likelihood(Summarise(ThreeSites(), 3));
  EXPECT_NEAR(likelihood.Evaluate({LogitOf(0.75), LogitOf(0.5)}).value, std::log(1197.0 / 65536.0),
              1e-13);
}

TEST(RoyleNicholsLikelihood, ThreeSitesByHand) {
  // lambda = 3/2, r = 1/2, so given N animals P(e | N) = 1 - 2^-(e N). With
  // E[z^N] = exp(-lambda (1 - z)) for N ~ Poisson(lambda):
  //   A: E[(1 - 2^-3N) 2^-2N] = E[(1/4)^N] - E[(1/32)^N]
  //                           = exp(-3/2 * 3/4) - exp(-3/2 * 31/32)
  //   B: E[2^-4N]             = exp(-3/2 * 15/16)
  //   C: E[1 - 2^-N]          = 1 - exp(-3/2 * 1/2)
  const double a = std::exp(-1.125) - std::exp(-1.453125);
  const double b = std::exp(-1.40625);
  const double c = 1 - std::exp(-0.75);
  RoyleNicholsLikelihood likelihood(Summarise(ThreeSites(), 3));
  EXPECT_NEAR(likelihood.Evaluate({std::log(1.5), LogitOf(0.5)}).value,
              std::log(a) + std::log(b) + std::log(c), 1e-12);
}

// The models written out occasion by occasion, as plainly as possible,
// given the daily probabilities of missing the species (q = 1 - p) or an
// animal (1 - r), so that a miss is never computed as 1 - (1 - tiny).
double DirectOccupancy(const SpeciesOccasions& data, double psi, double q) {
  double total = 0;
  for (const auto& site : data.sites) {
    double seen = 1;
    bool detected = false, used = false;
    for (const Occasion& occasion : site) {
      if (occasion.effort == 0) continue;
      used = true;
      const double miss = std::pow(q, static_cast<double>(occasion.effort));
      seen *= occasion.detected ? 1 - miss : miss;
      detected = detected || occasion.detected;
    }
    if (used) total += std::log(psi * seen + (detected ? 0 : 1 - psi));
  }
  return total;
}

double DirectRoyleNichols(const SpeciesOccasions& data, double lambda, double r_miss) {
  double total = 0;
  for (const auto& site : data.sites) {
    double sum = 0;
    bool used = false;
    for (int n = 0; n < 400; ++n) {
      double term = std::exp(-lambda + n * std::log(lambda) - std::lgamma(n + 1.0));
      for (const Occasion& occasion : site) {
        if (occasion.effort == 0) continue;
        used = true;
        const double miss = std::pow(r_miss, static_cast<double>(occasion.effort * n));
        term *= occasion.detected ? 1 - miss : miss;
      }
      sum += term;
    }
    if (used) total += std::log(sum);
  }
  return total;
}

// Random surveys: 1..15 sites of 1..12 occasions, efforts 0..days (0 is
// no occasion), some sites repeated so that equal sites are merged.
SpeciesOccasions RandomSurvey(std::mt19937_64& rng, std::int64_t days) {
  std::uniform_int_distribution<int> sites(1, 15), occasions(1, 12);
  std::uniform_int_distribution<std::int64_t> effort(0, days);
  std::uniform_real_distribution<double> unit(0, 1);
  const double rate = unit(rng);
  SpeciesOccasions data{"random", {}};
  for (int i = sites(rng); i > 0; --i) {
    if (!data.sites.empty() && unit(rng) < 0.2) {
      data.sites.push_back(data.sites.back());
      continue;
    }
    std::vector<Occasion> site;
    const bool present = unit(rng) < 0.7;
    for (int k = occasions(rng); k > 0; --k)
      site.push_back({effort(rng), present && unit(rng) < rate});
    data.sites.push_back(std::move(site));
  }
  return data;
}

TEST(Likelihoods, GroupedEqualsOccasionByOccasionOnRandomSurveys) {
  std::mt19937_64 rng(7);
  std::uniform_real_distribution<double> logit(-4, 4), log_lambda(-3, 2.5);
  for (int trial = 0; trial < 300; ++trial) {
    SCOPED_TRACE(trial);
    const std::int64_t days = 1 + trial % 9;
    const SpeciesOccasions data = RandomSurvey(rng, days);
    const SpeciesStatistics statistics = Summarise(data, days);
    const double a = logit(rng), b = logit(rng), c = log_lambda(rng), d = logit(rng);
    const double occupancy = DirectOccupancy(data, Logistic(a), Logistic(-b));
    const double royle_nichols = DirectRoyleNichols(data, std::exp(c), Logistic(-d));
    EXPECT_NEAR(OccupancyLikelihood(statistics).Evaluate({a, b}).value, occupancy,
                1e-10 * (1 + std::abs(occupancy)));
    RoyleNicholsLikelihood grouped(statistics);
    EXPECT_NEAR(grouped.Evaluate({c, d}).value, royle_nichols,
                1e-10 * (1 + std::abs(royle_nichols)));
  }
}

TEST(Likelihoods, GradientsEqualCentralDifferences) {
  std::mt19937_64 rng(11);
  const struct { double low, high; } ranges[] = {{-1, 1}, {-4, 4}, {-9, 9}};
  for (const auto& range : ranges) {
    std::uniform_real_distribution<double> logit(range.low, range.high);
    std::uniform_real_distribution<double> log_lambda(std::max(range.low, -5.0),
                                                      std::min(range.high, 4.0));
    for (int trial = 0; trial < 100; ++trial) {
      SCOPED_TRACE(testing::Message() << "range " << range.high << " trial " << trial);
      const std::int64_t days = 1 + trial % 7;
      const SpeciesStatistics statistics = Summarise(RandomSurvey(rng, days), days);
      const OccupancyLikelihood occupancy(statistics);
      RoyleNicholsLikelihood royle_nichols(statistics);
      const std::array<double, 2> x_occupancy = {logit(rng), logit(rng)};
      const std::array<double, 2> x_royle_nichols = {log_lambda(rng), logit(rng)};
      for (std::size_t i = 0; i < 2; ++i) {
        constexpr double h = 1e-6;
        auto above = x_occupancy, below = x_occupancy;
        above[i] += h;
        below[i] -= h;
        const double occupancy_slope =
            (occupancy.Evaluate(above).value - occupancy.Evaluate(below).value) / (2 * h);
        EXPECT_NEAR(occupancy.Evaluate(x_occupancy).gradient[i], occupancy_slope,
                    1e-6 * (1 + std::abs(occupancy_slope)));
        above = below = x_royle_nichols;
        above[i] += h;
        below[i] -= h;
        const double royle_nichols_slope =
            (royle_nichols.Evaluate(above).value - royle_nichols.Evaluate(below).value) / (2 * h);
        EXPECT_NEAR(royle_nichols.Evaluate(x_royle_nichols).gradient[i], royle_nichols_slope,
                    1e-6 * (1 + std::abs(royle_nichols_slope)));
      }
    }
  }
}

TEST(Likelihoods, StayFiniteAtTheEdgesOfTheSearchBox) {
  // Every site detected on every occasion of 7 days: the log-likelihoods
  // must neither overflow nor lose the detections at extreme values.
  SpeciesOccasions data{"Wild boar", {{{7, true}, {1, true}}, {{7, false}, {3, false}}}};
  const SpeciesStatistics statistics = Summarise(data, 7);
  const OccupancyLikelihood occupancy(statistics);
  RoyleNicholsLikelihood royle_nichols(statistics);
  for (const double a : {-25.0, 0.0, 25.0}) {
    for (const double b : {-25.0, 0.0, 25.0}) {
      SCOPED_TRACE(testing::Message() << a << ", " << b);
      const LogLikelihood at = occupancy.Evaluate({a, b});
      EXPECT_TRUE(std::isfinite(at.value) && std::isfinite(at.gradient[0]) &&
                  std::isfinite(at.gradient[1]));
      for (const double c : {std::log(1e-6), 0.0, std::log(100.0)}) {
        const LogLikelihood rn = royle_nichols.Evaluate({c, b});
        EXPECT_TRUE(std::isfinite(rn.value) && std::isfinite(rn.gradient[0]) &&
                    std::isfinite(rn.gradient[1]));
      }
    }
  }
  EXPECT_EQ(occupancy.Evaluate({NAN, 0}).value, -INFINITY);
  EXPECT_EQ(royle_nichols.Evaluate({0, INFINITY}).value, -INFINITY);
}

TEST(RoyleNicholsLikelihood, SumsFarEnoughForTheRequestedTail) {
  // With lambda 20 the Poisson tail P(N > n) is 1.3e-12 at n = 58 and
  // 4.2e-13 at n = 59, so the sum must reach 59.
  SpeciesOccasions data{"Red deer", {{{5, true}, {5, true}}}};
  RoyleNicholsLikelihood likelihood(Summarise(data, 5));
  const double value = likelihood.Evaluate({std::log(20.0), LogitOf(0.3)}).value;
  EXPECT_GE(likelihood.last_largest_n(), 59);
  EXPECT_NEAR(value, DirectRoyleNichols(data, 20, 0.7), 1e-12);
}

}  // namespace
}  // namespace ot::fit
