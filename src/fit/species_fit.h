// Maximum-likelihood fits of the occupancy and Royle-Nichols models for
// each species, with standard errors, 95% intervals and AIC.
//
// The search works on the link scales: logit psi, logit p, logit r and
// log lambda, with NLopt's L-BFGS and the analytic gradient, inside the box
// |logit| <= kLogitLimit and kLambdaLower <= lambda <= kLambdaUpper.
// The covariance of the link-scale estimates is the inverse of the Hessian
// of the negative log-likelihood at the maximum; the Hessian is taken by
// central differences (step kHessianStep) of the analytic gradient. An
// interval is estimate +- 1.96 SE on the link scale (1.959964, the 97.5%
// normal quantile), transformed back; the SE of a natural-scale value comes
// from the delta method. Derived values: the detection probability of a
// whole occasion of DAYS days, 1 - (1 - p)^DAYS, and Royle-Nichols
// occupancy 1 - exp(-lambda), each with its parameter's interval
// transformed. AIC = 2 * 2 - 2 * log-likelihood.
//
// A search that ends near the edge (|logit| beyond kWatchLogit, lambda
// above kWatchLambda) goes on unscaled so that a maximum at infinity is
// carried far enough for the boundary rule (optimizer.h). The
// Royle-Nichols search also looks again from lambda = 20 when it ended on a
// maximum lower than the model's limit as lambda grows (the occupancy
// model with psi = 1).
//
// Status of a model (FitStatus):
// - kNoDetection: no used site or no detection: nothing to fit, every
//   value NA.
// - kNotConverged: the search did not reach a maximum (the projected
//   gradient where it ended is above GradientTolerance, optimizer.h, for
//   instance when the evaluation limit stopped it); every value NA and
//   `reason` gives NLopt's code and the gradient.
// - kBoundary: the maximum lies on the edge of the parameter space, where
//   the usual standard errors do not exist. Decided on the estimates:
//     * psi with |logit psi| > kBoundaryLogit (12): within 6.1e-6 of 0 or 1;
//     * p (and r) at 0: logit below -kBoundaryLogit; at 1: the shortest
//       occasion with effort in the data, of e days, misses with
//       probability (1 - p)^e below exp(-kBoundaryLogit), so that every
//       occasion detects with certainty and p is only bounded below;
//     * lambda above kBoundaryLambda: at the upper end of the search,
//       kLambdaUpper (unbounded, as when every site is detected about
//       equally often: the likelihood keeps rising towards the occupancy
//       model with psi = 1);
//     * or the Hessian over the remaining parameters is not positive
//       definite or its smallest eigenvalue is below kSmallestCurvature
//       times its largest (a flat ridge).
//   A probability at 0 or 1 is given as exactly 0 or 1 with NA for its SE
//   and interval (p_occasion with p); the other parameter keeps the SE and
//   interval from the Hessian over it alone (the boundary value held
//   fixed). With lambda unbounded the estimates are those at kLambdaUpper
//   and every SE and interval of the model is NA, as on a flat ridge. The
//   log-likelihood and AIC are those at the estimates (a probability at 0
//   or 1 taken at logit -+kLogitLimit). `reason` names the cause.
// - kOk: every value given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "fit/occasion_data.h"

namespace ot::fit {

inline constexpr double kLogitLimit = 25;
inline constexpr double kBoundaryLogit = 12;
inline constexpr double kLambdaLower = 1e-6;
inline constexpr double kLambdaUpper = 50;
inline constexpr double kBoundaryLambda = 49.5;
inline constexpr double kSmallestCurvature = 1e-10;
// Where a search that ended nearer the edge than this goes on unscaled
// (optimizer.h): |logit| beyond kWatchLogit, lambda above kWatchLambda.
inline constexpr double kWatchLogit = 6;
inline constexpr double kWatchLambda = 10;
inline constexpr double kHessianStep = 1e-4;

enum class FitStatus { kOk, kNoDetection, kBoundary, kNotConverged };

// "ok", "no-detection", "boundary", "not-converged".
std::string_view StatusText(FitStatus status);

// A natural-scale value with its standard error and 95% interval; NA
// (nullopt) where undefined.
struct Estimate {
  std::optional<double> value;
  std::optional<double> se;
  std::optional<double> lower;
  std::optional<double> upper;
};

// What both models share.
struct ModelFit {
  FitStatus status = FitStatus::kNoDetection;
  // Why the status is boundary or not-converged (for standard error);
  // empty otherwise.
  std::string reason;
  std::optional<double> log_likelihood;
  std::optional<double> aic;
};

struct OccupancyFit : ModelFit {
  Estimate psi;         // occupancy
  Estimate p_daily;     // daily detection probability
  Estimate p_occasion;  // 1 - (1 - p)^DAYS
};

struct RoyleNicholsFit : ModelFit {
  Estimate lambda;   // mean animals per site
  Estimate r_daily;  // daily detection probability of one animal
  Estimate psi;      // 1 - exp(-lambda)
};

// One species' data summary and both fits.
struct SpeciesFit {
  std::string species;
  std::int64_t days = 0;                  // DAYS
  std::int64_t sites = 0;                 // used sites
  std::int64_t sites_detected = 0;        // of those, with a detection
  std::optional<double> naive_occupancy;  // sites_detected / sites; NA without sites
  std::int64_t occasions = 0;             // (site, occasion) cells with effort
  std::int64_t detections = 0;            // of those, with a detection
  OccupancyFit occupancy;
  RoyleNicholsFit royle_nichols;
};

struct FitOptions {
  // Evaluations allowed to one search (a model may search twice, from a
  // second start when the first fails).
  int max_evaluations = 1000;
};

// The occupancy fit alone.
OccupancyFit FitOccupancy(const SpeciesStatistics& statistics, const FitOptions& options = {});

// The Royle-Nichols fit alone. Its search starts from values implied by
// `occupancy` when that fit has estimates, else from the data.
RoyleNicholsFit FitRoyleNichols(const SpeciesStatistics& statistics,
                                const OccupancyFit* occupancy = nullptr,
                                const FitOptions& options = {});

// Both fits and the data summary of one species.
SpeciesFit FitSpecies(const SpeciesStatistics& statistics, const FitOptions& options = {});

// FitSpecies for every species, in their order, on up to `threads` threads
// (each species on one thread; the result does not depend on `threads`).
std::vector<SpeciesFit> FitAllSpecies(std::span<const SpeciesStatistics> species,
                                      unsigned threads = 2, const FitOptions& options = {});

// The same for `count` species whose statistics are made on demand, on the
// thread that fits them: `statistics_of(i)` for i = 0..count-1, called once
// each, concurrently from several threads (so it may only read shared
// data). Only the statistics of the species being fitted are held at once.
// An exception from it stops the fits and is rethrown here.
std::vector<SpeciesFit> FitAllSpecies(
    std::size_t count, const std::function<SpeciesStatistics(std::size_t)>& statistics_of,
    unsigned threads = 2, const FitOptions& options = {});

}  // namespace ot::fit
