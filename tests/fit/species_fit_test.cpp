// The fits: each status, the boundary rule, the derived values and their
// intervals, and the same results on any number of threads.
#include "fit/species_fit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "base/failure.h"
#include "fit/fit_output.h"

namespace ot::fit {
namespace {

// `sites` sites of `occasions` occasions of `days` days; site i is
// detected on the occasions that `detected(i, k)` names.
template <class Detected>
SpeciesStatistics Survey(int sites, int occasions, std::int64_t days, Detected detected) {
  SpeciesOccasions data{"Test species", {}};
  for (int i = 0; i < sites; ++i) {
    data.sites.emplace_back();
    for (int k = 0; k < occasions; ++k) data.sites.back().push_back({days, detected(i, k)});
  }
  return Summarise(data, days);
}

// Occupancy data (psi, p) on 60 sites of 10 occasions of 7 days, some
// occasions short or missing.
SpeciesStatistics SimulatedSurvey(std::uint64_t seed, double psi, double p) {
  std::mt19937_64 rng(seed);
  std::uniform_real_distribution<double> unit(0, 1);
  SpeciesOccasions data{"Simulated", {}};
  for (int i = 0; i < 60; ++i) {
    const bool occupied = unit(rng) < psi;
    data.sites.emplace_back();
    for (int k = 0; k < 10; ++k) {
      const std::int64_t effort = unit(rng) < 0.2 ? static_cast<std::int64_t>(unit(rng) * 7) : 7;
      const bool seen = occupied && unit(rng) < 1 - std::pow(1 - p, static_cast<double>(effort));
      data.sites.back().push_back({effort, seen});
    }
  }
  return Summarise(data, 7);
}

bool AllNa(const Estimate& e) {
  return !e.value && !e.se && !e.lower && !e.upper;
}
bool OnlyValue(const Estimate& e) {
  return e.value && !e.se && !e.lower && !e.upper;
}

TEST(FitSpecies, WithoutDetectionsEveryValueIsNa) {
  const struct {
    const char* name;
    SpeciesStatistics statistics;
    std::int64_t sites;
    bool naive;
  } cases[] = {
      {"sites without a detection", Survey(5, 4, 7, [](int, int) { return false; }), 5, true},
      {"no site with effort", Summarise({"Test species", {{{0, false}}, {}}}, 7), 0, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SpeciesFit fit = FitSpecies(c.statistics);
    EXPECT_EQ(fit.sites, c.sites);
    EXPECT_EQ(fit.naive_occupancy.has_value(), c.naive);
    EXPECT_EQ(fit.occupancy.status, FitStatus::kNoDetection);
    EXPECT_EQ(fit.royle_nichols.status, FitStatus::kNoDetection);
    for (const ModelFit* model : {static_cast<const ModelFit*>(&fit.occupancy),
                                  static_cast<const ModelFit*>(&fit.royle_nichols)}) {
      EXPECT_FALSE(model->log_likelihood || model->aic);
    }
    for (const Estimate* e :
         {&fit.occupancy.psi, &fit.occupancy.p_daily, &fit.occupancy.p_occasion,
          &fit.royle_nichols.lambda, &fit.royle_nichols.r_daily, &fit.royle_nichols.psi}) {
      EXPECT_TRUE(AllNa(*e));
    }
  }
}

TEST(FitSpecies, OkFitsGiveConsistentDerivedValuesAndIntervals) {
  const SpeciesFit fit = FitSpecies(SimulatedSurvey(3, 0.6, 0.08));
  ASSERT_EQ(fit.occupancy.status, FitStatus::kOk) << fit.occupancy.reason;
  ASSERT_EQ(fit.royle_nichols.status, FitStatus::kOk) << fit.royle_nichols.reason;
  const OccupancyFit& occupancy = fit.occupancy;
  const RoyleNicholsFit& royle_nichols = fit.royle_nichols;
  for (const Estimate* e : {&occupancy.psi, &occupancy.p_daily, &occupancy.p_occasion,
                            &royle_nichols.lambda, &royle_nichols.r_daily, &royle_nichols.psi}) {
    ASSERT_TRUE(e->value && e->se && e->lower && e->upper);
    EXPECT_LT(*e->lower, *e->value);
    EXPECT_LT(*e->value, *e->upper);
    EXPECT_GT(*e->se, 0);
  }
  EXPECT_GE(*occupancy.psi.value, *fit.naive_occupancy);
  EXPECT_EQ(*occupancy.aic, 4 - 2 * *occupancy.log_likelihood);
  EXPECT_EQ(*royle_nichols.aic, 4 - 2 * *royle_nichols.log_likelihood);

  // The derived values and their intervals follow their parameter's.
  const double p = *occupancy.p_daily.value;
  const auto occasion = [](double daily) { return 1 - std::pow(1 - daily, 7); };
  EXPECT_NEAR(*occupancy.p_occasion.value, occasion(p), 1e-12);
  EXPECT_NEAR(*occupancy.p_occasion.lower, occasion(*occupancy.p_daily.lower), 1e-12);
  EXPECT_NEAR(*occupancy.p_occasion.upper, occasion(*occupancy.p_daily.upper), 1e-12);
  EXPECT_NEAR(*occupancy.p_occasion.se, 7 * std::pow(1 - p, 6) * *occupancy.p_daily.se, 1e-12);
  const double lambda = *royle_nichols.lambda.value;
  const auto occupied = [](double mean) { return 1 - std::exp(-mean); };
  EXPECT_NEAR(*royle_nichols.psi.value, occupied(lambda), 1e-12);
  EXPECT_NEAR(*royle_nichols.psi.lower, occupied(*royle_nichols.lambda.lower), 1e-12);
  EXPECT_NEAR(*royle_nichols.psi.upper, occupied(*royle_nichols.lambda.upper), 1e-12);
  EXPECT_NEAR(*royle_nichols.psi.se, std::exp(-lambda) * *royle_nichols.lambda.se, 1e-12);

  // Intervals are symmetric on the link scale: logit for psi, log for lambda.
  const auto logit = [](double v) { return std::log(v / (1 - v)); };
  EXPECT_NEAR(logit(*occupancy.psi.upper) - logit(*occupancy.psi.value),
              logit(*occupancy.psi.value) - logit(*occupancy.psi.lower), 1e-9);
  EXPECT_NEAR(std::log(*royle_nichols.lambda.upper / lambda),
              std::log(lambda / *royle_nichols.lambda.lower), 1e-9);
  // and the natural-scale SE is the link SE times the slope (delta method).
  const double psi = *occupancy.psi.value;
  const double link_se = (logit(*occupancy.psi.upper) - logit(psi)) / 1.959963984540054;
  EXPECT_NEAR(*occupancy.psi.se, psi * (1 - psi) * link_se, 1e-9);
}

TEST(FitSpecies, MaximaOnTheEdgeAreBoundary) {
  const struct {
    const char* name;
    SpeciesStatistics statistics;
    FitStatus occupancy, royle_nichols;
  } cases[] = {
      // Every site detected on half its occasions: psi at 1; with no
      // heterogeneity among sites lambda has no finite estimate.
      {"every site detected alike",
       Survey(30, 10, 7, [](int i, int k) { return (i + k) % 2 == 0; }), FitStatus::kBoundary,
       FitStatus::kBoundary},
      // 12 of 30 sites detected on every occasion: p and r at 1.
      {"detected sites detected always", Survey(30, 10, 7, [](int i, int) { return i < 12; }),
       FitStatus::kBoundary, FitStatus::kBoundary},
      // Every site detected, but a third of them on nearly every occasion:
      // psi at 1, while Royle-Nichols explains it with few animals at most
      // sites.
      {"every site detected, unevenly",
       Survey(30, 10, 7, [](int i, int k) { return i % 3 == 0 ? k < 9 : k == i % 10; }),
       FitStatus::kBoundary, FitStatus::kOk},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    const SpeciesFit fit = FitSpecies(c.statistics);
    EXPECT_EQ(fit.occupancy.status, c.occupancy) << fit.occupancy.reason;
    EXPECT_EQ(fit.royle_nichols.status, c.royle_nichols) << fit.royle_nichols.reason;
    EXPECT_TRUE(fit.occupancy.log_likelihood && fit.royle_nichols.log_likelihood);
  }

  // Details: psi exactly 1 without SE, p with its SE from p alone.
  const SpeciesFit alike = FitSpecies(cases[0].statistics);
  EXPECT_TRUE(OnlyValue(alike.occupancy.psi));
  EXPECT_EQ(*alike.occupancy.psi.value, 1);
  EXPECT_NE(alike.occupancy.reason.find("psi is at 1"), std::string::npos);
  // With psi = 1 each occasion of 7 days detects with probability 1/2, and
  // the information about logit P is 300 occasions x P (1 - P).
  EXPECT_NEAR(*alike.occupancy.p_occasion.value, 0.5, 1e-6);
  EXPECT_NEAR(*alike.occupancy.p_occasion.se, std::sqrt(0.25 / 300), 1e-6);
  // lambda ran to the edge of the search: every SE and interval NA.
  EXPECT_NEAR(*alike.royle_nichols.lambda.value, kLambdaUpper, 1e-6);
  EXPECT_NE(alike.royle_nichols.reason.find("lambda has no finite estimate"), std::string::npos);
  for (const Estimate* e :
       {&alike.royle_nichols.lambda, &alike.royle_nichols.r_daily, &alike.royle_nichols.psi}) {
    EXPECT_TRUE(OnlyValue(*e));
  }

  // p and r at 1: psi is the share of detected sites, with the binomial SE,
  // and lambda the mean that leaves that share of sites empty.
  const SpeciesFit always = FitSpecies(cases[1].statistics);
  EXPECT_EQ(*always.occupancy.p_daily.value, 1);
  EXPECT_TRUE(OnlyValue(always.occupancy.p_daily) && OnlyValue(always.occupancy.p_occasion));
  EXPECT_NEAR(*always.occupancy.psi.value, 0.4, 1e-6);
  EXPECT_NEAR(*always.occupancy.psi.se, std::sqrt(0.4 * 0.6 / 30), 1e-6);
  EXPECT_EQ(*always.royle_nichols.r_daily.value, 1);
  EXPECT_NEAR(*always.royle_nichols.lambda.value, -std::log(0.6), 1e-6);
  EXPECT_NEAR(*always.royle_nichols.lambda.se, std::sqrt(0.4 * 0.6 / 30) / 0.6, 1e-6);
  EXPECT_NE(always.royle_nichols.reason.find("r is at 1"), std::string::npos);
}

TEST(FitSpecies, ASearchOutOfEvaluationsIsNotConvergedWithEveryValueNa) {
  const SpeciesFit fit = FitSpecies(SimulatedSurvey(5, 0.6, 0.08), FitOptions{3});
  for (const ModelFit* model : {static_cast<const ModelFit*>(&fit.occupancy),
                                static_cast<const ModelFit*>(&fit.royle_nichols)}) {
    EXPECT_EQ(model->status, FitStatus::kNotConverged);
    EXPECT_NE(model->reason.find("evaluation limit reached"), std::string::npos) << model->reason;
    EXPECT_FALSE(model->log_likelihood || model->aic);
  }
  EXPECT_TRUE(AllNa(fit.occupancy.psi) && AllNa(fit.royle_nichols.lambda));
  EXPECT_EQ(fit.sites, 60);  // the data summary stays
}

TEST(FitRoyleNichols, FindsTheHigherOfTwoMaxima) {
  // 30 sites, each detected on its first occasion and then on 27% of 50
  // occasions alike: the likelihood has a local maximum near lambda = 1.1
  // (log-likelihood -891.2), well below its values as lambda grows (-865.3
  // at the largest lambda searched, 50), which a search started near
  // lambda = 1 finds first.
  std::mt19937_64 rng(1);
  std::uniform_real_distribution<double> unit(0, 1);
  const SpeciesStatistics statistics =
      Survey(30, 50, 7, [&](int, int k) { return unit(rng) < 0.27 || k == 0; });
  OccupancyFit near_one;  // values that start the search at lambda = 1
  near_one.psi.value = 1 - std::exp(-1.0);
  near_one.p_daily.value = 1 - std::pow(1 - 0.27, 1.0 / 7);
  const RoyleNicholsFit fit = FitRoyleNichols(statistics, &near_one);
  ASSERT_TRUE(fit.log_likelihood);
  EXPECT_NEAR(*fit.log_likelihood, -865.29, 0.01);
  EXPECT_EQ(fit.status, FitStatus::kBoundary);
}

TEST(FitAllSpecies, GivesTheSameResultsInTheSameOrderOnAnyNumberOfThreads) {
  std::vector<SpeciesStatistics> species;
  for (std::uint64_t seed = 0; seed < 24; ++seed) {
    species.push_back(SimulatedSurvey(seed, 0.1 + 0.035 * static_cast<double>(seed), 0.05));
  }
  species.push_back(Survey(4, 3, 7, [](int, int) { return false; }));
  const auto rows = [](const std::vector<SpeciesFit>& fits) {
    std::vector<ModelsCsvRow> all;
    for (const SpeciesFit& fit : fits) {
      for (auto& row : ModelsCsvRows(fit)) all.push_back(std::move(row));
    }
    return all;
  };
  const auto one = rows(FitAllSpecies(species, 1));
  EXPECT_EQ(one.size(), species.size() * 6);
  for (const unsigned threads : {2u, 3u, 64u}) {
    SCOPED_TRACE(threads);
    EXPECT_EQ(rows(FitAllSpecies(species, threads)), one);
  }
  EXPECT_TRUE(FitAllSpecies({}, 2).empty());

  // Statistics made on demand by the fitting threads give the same.
  const auto on_demand = FitAllSpecies(
      species.size(), [&](std::size_t i) { return species[i]; }, 2);
  EXPECT_EQ(rows(on_demand), one);
}

TEST(FitAllSpecies, PassesOnAFailureWhileMakingStatistics) {
  const auto failing = [](std::size_t i) {
    if (i == 7) ReportRunFailure("fit: no statistics");
    return Survey(3, 3, 7, [](int i, int k) { return i == k; });
  };
  for (const unsigned threads : {1u, 2u}) {
    SCOPED_TRACE(threads);
    try {
      FitAllSpecies(20, failing, threads);
      ADD_FAILURE() << "no failure";
    } catch (const RunFailure& failure) {
      EXPECT_EQ(failure.diagnostic(), "OccasionTallies: fit: no statistics\n");
    }
  }
}

}  // namespace
}  // namespace ot::fit
