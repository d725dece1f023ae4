#include "fit/species_fit.h"

#include <Eigen/Dense>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <exception>
#include <functional>
#include <mutex>
#include <system_error>
#include <thread>

#include "fit/likelihood.h"
#include "fit/number_text.h"
#include "fit/optimizer.h"

namespace ot::fit {
namespace {

constexpr double kZ95 = 1.959963984540054;  // the 97.5% normal quantile

double Logit(double probability) {
  return std::log(probability / (1 - probability));
}

// Link-scale values of a fit: the estimate and its SE (NA where the
// boundary rule leaves it out).
struct LinkEstimate {
  double value = 0;
  std::optional<double> se;
};

// What the Hessian and the boundary rule make of a maximum.
struct MaximumAnalysis {
  FitStatus status = FitStatus::kOk;
  std::string reason;
  std::array<LinkEstimate, 2> link;
};

// What the starting values need from a species' data.
struct DataTotals {
  double sites = 0, sites_detected = 0;
  double effort_days = 0;           // over all sites
  double detected_occasions = 0;    // at detected sites
  double detected_effort_days = 0;  // at detected sites
  double detections = 0;
};

DataTotals Totals(const SpeciesStatistics& statistics) {
  DataTotals totals;
  totals.sites = static_cast<double>(statistics.sites());
  totals.sites_detected = static_cast<double>(statistics.sites_detected());
  totals.detections = static_cast<double>(statistics.detections());
  for (std::size_t i = 0; i < statistics.sites(); ++i) {
    double occasions = 0, days = 0, detections = 0;
    for (const EffortGroup& group : statistics.Site(i)) {
      occasions += static_cast<double>(group.occasions);
      days += static_cast<double>(group.occasions * group.effort);
      detections += static_cast<double>(group.detections);
    }
    totals.effort_days += days;
    if (detections > 0) {
      totals.detected_occasions += occasions;
      totals.detected_effort_days += days;
    }
  }
  return totals;
}

// Moment-like values: the daily rate that gives the share of occasions
// with a detection at detected sites, and the occupancy that, with it,
// gives the naive occupancy.
std::array<double, 2> StartingProbabilities(const DataTotals& totals) {
  const double occasion_rate =
      std::clamp(totals.detections / totals.detected_occasions, 0.02, 0.98);
  const double mean_effort = totals.detected_effort_days / totals.detected_occasions;
  const double p = std::clamp(-std::expm1(std::log1p(-occasion_rate) / mean_effort), 1e-4, 0.99);
  const double site_detection = -std::expm1(totals.effort_days / totals.sites * std::log1p(-p));
  const double naive = totals.sites_detected / totals.sites;
  const double psi = std::clamp(naive / std::max(site_detection, 1e-3), 0.01, 0.99);
  return {psi, p};
}

// Royle-Nichols values implied by occupancy psi and daily detection p: the
// lambda with that occupancy, and the r that gives p to the mean number of
// animals at an occupied site.
LinkPoint RoyleNicholsStart(double psi, double p) {
  psi = std::clamp(psi, 0.01, 0.99);
  const double lambda = std::max(-std::log1p(-psi), 0.01);
  const double occupied_mean = lambda / psi;
  const double r = std::clamp(-std::expm1(std::log1p(-p) / occupied_mean), 1e-4, 0.99);
  return {std::log(lambda), Logit(r)};
}

// Searches from each start in turn until one converges; the failure of the
// first start is the one reported when none does.
SearchEnd Search(const std::function<LogLikelihood(LinkPoint)>& log_likelihood,
                 std::span<const LinkPoint> starts, LinkPoint lower, LinkPoint upper,
                 const std::function<bool(LinkPoint)>& near_boundary, const FitOptions& options) {
  SearchEnd first;
  for (std::size_t i = 0; i < starts.size(); ++i) {
    SearchEnd end =
        Maximise(log_likelihood, starts[i], lower, upper, options.max_evaluations, near_boundary);
    if (end.converged) return end;
    if (i == 0) first = std::move(end);
  }
  return first;
}

// Where a daily probability (or psi, with shortest_effort 1) stands: -1 at
// 0 (logit below -limit), +1 at 1 (the occasion of the shortest effort
// misses with probability (1 - p)^e below e^-limit), 0 inside.
int ProbabilityEdge(double logit, double limit, double shortest_effort) {
  if (logit < -limit) return -1;
  if (shortest_effort * LogOnePlusExp(logit) > limit) return 1;
  return 0;
}

double ShortestEffort(const SpeciesStatistics& statistics) {
  std::int64_t shortest = statistics.days();
  for (std::size_t i = 0; i < statistics.sites(); ++i) {
    shortest = std::min(shortest, statistics.Site(i).front().effort);
  }
  return static_cast<double>(shortest);
}

std::string AtEdgeText(std::string_view name, int edge, double logit) {
  return std::string(name) + " is at " + (edge > 0 ? "1" : "0") + " (the search reached logit " +
         ShortNumber(logit) + ")";
}

// The boundary rule (species_fit.h) and the covariance over the free
// parameters. `boundary` marks the parameters at the edge; `all_boundary`
// takes every SE away (lambda unbounded).
MaximumAnalysis Analyse(const std::function<LogLikelihood(LinkPoint)>& log_likelihood, LinkPoint x,
                        std::array<bool, 2> boundary, bool all_boundary, std::string reason) {
  MaximumAnalysis analysis;
  analysis.link = {LinkEstimate{x[0], {}}, LinkEstimate{x[1], {}}};
  if (boundary[0] || boundary[1]) {
    analysis.status = FitStatus::kBoundary;
    analysis.reason = std::move(reason);
  }
  if (all_boundary) return analysis;

  std::vector<std::size_t> free;
  for (std::size_t i = 0; i < 2; ++i) {
    if (!boundary[i]) free.push_back(i);
  }
  if (free.empty()) return analysis;
  // The Hessian of the negative log-likelihood by central differences of
  // the analytic gradient, over the free parameters only.
  Eigen::Matrix2d hessian = Eigen::Matrix2d::Zero();
  for (std::size_t j : free) {
    LinkPoint above = x, below = x;
    above[j] += kHessianStep;
    below[j] -= kHessianStep;
    const LogLikelihood at_above = log_likelihood(above);
    const LogLikelihood at_below = log_likelihood(below);
    for (std::size_t i : free) {
      hessian(static_cast<Eigen::Index>(i), static_cast<Eigen::Index>(j)) =
          -(at_above.gradient[i] - at_below.gradient[i]) / (2 * kHessianStep);
    }
  }
  const Eigen::Matrix2d symmetric = (hessian + hessian.transpose()) / 2;
  const auto n = static_cast<Eigen::Index>(free.size());
  // At most 2 x 2: no heap.
  using Block = Eigen::Matrix<double, Eigen::Dynamic, Eigen::Dynamic, 0, 2, 2>;
  Block block(n, n);
  for (Eigen::Index i = 0; i < n; ++i) {
    for (Eigen::Index j = 0; j < n; ++j) {
      block(i, j) = symmetric(static_cast<Eigen::Index>(free[static_cast<std::size_t>(i)]),
                              static_cast<Eigen::Index>(free[static_cast<std::size_t>(j)]));
    }
  }
  const Eigen::SelfAdjointEigenSolver<Block> solver(block);
  const auto& curvatures = solver.eigenvalues();  // ascending
  const double smallest = curvatures(0), largest = curvatures(n - 1);
  if (solver.info() != Eigen::Success || !std::isfinite(smallest) || !std::isfinite(largest) ||
      !(smallest > 0) || smallest < kSmallestCurvature * largest) {
    analysis.status = FitStatus::kBoundary;
    if (analysis.reason.empty()) {
      analysis.reason = "the likelihood is flat along a ridge (Hessian eigenvalues " +
                        ShortNumber(smallest) + " and " + ShortNumber(largest) + ")";
    }
    return analysis;
  }
  const Block covariance = solver.eigenvectors() * curvatures.cwiseInverse().asDiagonal() *
                           solver.eigenvectors().transpose();
  for (Eigen::Index i = 0; i < n; ++i) {
    analysis.link[free[static_cast<std::size_t>(i)]].se = std::sqrt(covariance(i, i));
  }
  return analysis;
}

// A natural-scale value, its SE and interval from a link-scale estimate:
// `inverse` maps the link to the value (increasing), `slope` is its
// derivative at the estimate.
template <class Inverse>
Estimate Transformed(const LinkEstimate& link, Inverse inverse, double slope) {
  Estimate estimate;
  estimate.value = inverse(link.value);
  if (link.se) {
    estimate.se = std::abs(slope) * *link.se;
    estimate.lower = inverse(link.value - kZ95 * *link.se);
    estimate.upper = inverse(link.value + kZ95 * *link.se);
  }
  return estimate;
}

void SetLikelihood(ModelFit& fit, double log_likelihood) {
  fit.log_likelihood = log_likelihood;
  fit.aic = 2 * 2 - 2 * log_likelihood;
}

// Moves the probabilities at an edge (edges[i] = -1 or +1) to the edge of
// the search box, where the log-likelihood is within 1e-9 or so of its
// supremum, so that it belongs to the estimates given (exactly 0 or 1)
// however far the search went; the other parameter stays. Kept only where
// the log-likelihood does not fall.
void MoveToEdges(const std::function<LogLikelihood(LinkPoint)>& log_likelihood, SearchEnd& end,
                 std::array<int, 2> edges) {
  if (edges[0] == 0 && edges[1] == 0) return;
  LinkPoint x = end.x;
  for (std::size_t i = 0; i < 2; ++i) {
    if (edges[i] != 0) x[i] = edges[i] * kLogitLimit;
  }
  const double value = log_likelihood(x).value;
  if (value >= end.log_likelihood) {
    end.x = x;
    end.log_likelihood = value;
  }
}

// A probability at its edge: the edge itself, with no SE or interval.
Estimate AtEdge(int edge) {
  return Estimate{edge > 0 ? 1.0 : 0.0, {}, {}, {}};
}

}  // namespace

std::string_view StatusText(FitStatus status) {
  switch (status) {
    case FitStatus::kOk:
      return "ok";
    case FitStatus::kNoDetection:
      return "no-detection";
    case FitStatus::kBoundary:
      return "boundary";
    case FitStatus::kNotConverged:
      return "not-converged";
  }
  return "not-converged";
}

OccupancyFit FitOccupancy(const SpeciesStatistics& statistics, const FitOptions& options) {
  OccupancyFit fit;
  if (statistics.sites() == 0 || statistics.detections() == 0) return fit;
  const OccupancyLikelihood likelihood(statistics);
  const std::function<LogLikelihood(LinkPoint)> log_likelihood = [&likelihood](LinkPoint x) {
    return likelihood.Evaluate(x);
  };
  const double shortest = ShortestEffort(statistics);
  const std::function<bool(LinkPoint)> near_boundary = [shortest](LinkPoint x) {
    return ProbabilityEdge(x[0], kWatchLogit, 1) != 0 ||
           ProbabilityEdge(x[1], kWatchLogit, shortest) != 0;
  };
  const auto [psi0, p0] = StartingProbabilities(Totals(statistics));
  const LinkPoint starts[] = {{Logit(psi0), Logit(p0)}, {0.0, Logit(0.05)}};
  SearchEnd end = Search(log_likelihood, starts, {-kLogitLimit, -kLogitLimit},
                         {kLogitLimit, kLogitLimit}, near_boundary, options);
  if (!end.converged) {
    fit.status = FitStatus::kNotConverged;
    fit.reason = end.reason;
    return fit;
  }

  const int psi_edge = ProbabilityEdge(end.x[0], kBoundaryLogit, 1);
  const int p_edge = ProbabilityEdge(end.x[1], kBoundaryLogit, shortest);
  std::string reason;
  if (psi_edge != 0) reason = AtEdgeText("psi", psi_edge, end.x[0]);
  if (p_edge != 0) {
    if (!reason.empty()) reason += "; ";
    reason += AtEdgeText("p", p_edge, end.x[1]);
  }
  MoveToEdges(log_likelihood, end, {psi_edge, p_edge});
  const MaximumAnalysis analysis =
      Analyse(log_likelihood, end.x, {psi_edge != 0, p_edge != 0}, false, reason);
  fit.status = analysis.status;
  fit.reason = analysis.reason;
  SetLikelihood(fit, end.log_likelihood);

  const auto& [psi_link, p_link] = analysis.link;
  const double psi = Logistic(psi_link.value);
  const double p = Logistic(p_link.value);
  fit.psi = psi_edge != 0 ? AtEdge(psi_edge)
                          : Transformed(psi_link, Logistic, psi * Logistic(-psi_link.value));
  const auto days = static_cast<double>(statistics.days());
  // 1 - (1 - p)^DAYS = 1 - exp(-DAYS s), s = log(1 + exp(logit p)).
  const auto occasion = [days](double logit) { return -std::expm1(-days * LogOnePlusExp(logit)); };
  if (p_edge != 0) {
    fit.p_daily = AtEdge(p_edge);
    fit.p_occasion = AtEdge(p_edge);
  } else {
    fit.p_daily = Transformed(p_link, Logistic, p * Logistic(-p_link.value));
    fit.p_occasion =
        Transformed(p_link, occasion, days * p * std::exp(-days * LogOnePlusExp(p_link.value)));
  }
  return fit;
}

RoyleNicholsFit FitRoyleNichols(const SpeciesStatistics& statistics, const OccupancyFit* occupancy,
                                const FitOptions& options) {
  RoyleNicholsFit fit;
  if (statistics.sites() == 0 || statistics.detections() == 0) return fit;
  RoyleNicholsLikelihood likelihood(statistics);
  const std::function<LogLikelihood(LinkPoint)> log_likelihood = [&likelihood](LinkPoint x) {
    return likelihood.Evaluate(x);
  };
  const double shortest = ShortestEffort(statistics);
  const std::function<bool(LinkPoint)> near_boundary = [shortest](LinkPoint x) {
    return std::exp(x[0]) > kWatchLambda || ProbabilityEdge(x[1], kWatchLogit, shortest) != 0;
  };
  const auto [psi0, p0] = StartingProbabilities(Totals(statistics));
  LinkPoint first = RoyleNicholsStart(psi0, p0);
  if (occupancy != nullptr && occupancy->psi.value && occupancy->p_daily.value) {
    first = RoyleNicholsStart(*occupancy->psi.value, *occupancy->p_daily.value);
  }
  const LinkPoint lower = {std::log(kLambdaLower), -kLogitLimit};
  const LinkPoint upper = {std::log(kLambdaUpper), kLogitLimit};
  const LinkPoint starts[] = {first, {0.0, Logit(0.05)}};
  SearchEnd end = Search(log_likelihood, starts, lower, upper, near_boundary, options);
  // As lambda grows with lambda r fixed, the model tends to the occupancy
  // model with psi = 1, so its supremum is at least that model's
  // log-likelihood at any p. The likelihood can have a second, lower
  // maximum at small lambda (seen when nearly every site is detected); a
  // search that ended there, below that limit, looks again from a large
  // lambda. (One that ran to the largest lambda is on its way to the limit.)
  double p_limit = p0;
  if (occupancy != nullptr && occupancy->p_daily.value) {
    p_limit = std::clamp(*occupancy->p_daily.value, 1e-6, 1 - 1e-6);
  }
  const double limit =
      OccupancyLikelihood(statistics).Evaluate({kLogitLimit, Logit(p_limit)}).value;
  const bool on_the_way = end.converged && std::exp(end.x[0]) > kBoundaryLambda;
  if (!end.converged || (end.log_likelihood < limit && !on_the_way)) {
    constexpr double kLargeLambda = 20;
    const LinkPoint large = {std::log(kLargeLambda),
                             Logit(-std::expm1(std::log1p(-p_limit) / kLargeLambda))};
    SearchEnd again =
        Maximise(log_likelihood, large, lower, upper, options.max_evaluations, near_boundary);
    if (again.converged && (!end.converged || again.log_likelihood > end.log_likelihood)) {
      end = std::move(again);
    }
  }
  if (!end.converged) {
    fit.status = FitStatus::kNotConverged;
    fit.reason = end.reason;
    return fit;
  }

  const double lambda = std::exp(end.x[0]);
  const bool unbounded = lambda > kBoundaryLambda;
  const int r_edge = ProbabilityEdge(end.x[1], kBoundaryLogit, shortest);
  std::string reason;
  if (unbounded) {
    reason = "lambda has no finite estimate (it ran to " + ShortNumber(lambda) + ")";
  } else if (r_edge != 0) {
    reason = AtEdgeText("r", r_edge, end.x[1]);
  }
  if (!unbounded) MoveToEdges(log_likelihood, end, {0, r_edge});
  const MaximumAnalysis analysis =
      Analyse(log_likelihood, end.x, {unbounded, r_edge != 0}, unbounded, reason);
  fit.status = analysis.status;
  fit.reason = analysis.reason;
  SetLikelihood(fit, end.log_likelihood);

  const auto& [lambda_link, r_link] = analysis.link;
  const double r = Logistic(r_link.value);
  const auto exp = [](double x) { return std::exp(x); };
  fit.lambda = Transformed(lambda_link, exp, lambda);
  fit.r_daily = r_edge != 0 && !unbounded
                    ? AtEdge(r_edge)
                    : Transformed(r_link, Logistic, r * Logistic(-r_link.value));
  const auto occupied = [](double log_lambda) { return -std::expm1(-std::exp(log_lambda)); };
  fit.psi = Transformed(lambda_link, occupied, lambda * std::exp(-lambda));
  return fit;
}

SpeciesFit FitSpecies(const SpeciesStatistics& statistics, const FitOptions& options) {
  SpeciesFit fit;
  fit.species = statistics.species();
  fit.days = statistics.days();
  fit.sites = static_cast<std::int64_t>(statistics.sites());
  fit.sites_detected = statistics.sites_detected();
  if (fit.sites > 0) {
    fit.naive_occupancy = static_cast<double>(fit.sites_detected) / static_cast<double>(fit.sites);
  }
  fit.occasions = statistics.occasions();
  fit.detections = statistics.detections();
  fit.occupancy = FitOccupancy(statistics, options);
  fit.royle_nichols = FitRoyleNichols(statistics, &fit.occupancy, options);
  return fit;
}

std::vector<SpeciesFit> FitAllSpecies(
    std::size_t count, const std::function<SpeciesStatistics(std::size_t)>& statistics_of,
    unsigned threads, const FitOptions& options) {
  std::vector<SpeciesFit> fits(count);
  std::atomic<std::size_t> next{0};
  std::exception_ptr failure;
  std::mutex failure_mutex;
  const auto work = [&] {
    try {
      for (std::size_t i = next++; i < count; i = next++) {
        fits[i] = FitSpecies(statistics_of(i), options);
      }
    } catch (...) {
      const std::lock_guard lock(failure_mutex);
      if (!failure) failure = std::current_exception();
      next = count;
    }
  };
  const std::size_t helpers =
      std::min<std::size_t>(std::max(threads, 1u), std::max<std::size_t>(count, 1)) - 1;
  std::vector<std::thread> pool;
  pool.reserve(helpers);
  for (std::size_t i = 0; i < helpers; ++i) {
    try {
      pool.emplace_back(work);
    } catch (const std::system_error&) {
      break;  // fewer threads, the same results
    }
  }
  work();
  for (std::thread& thread : pool) thread.join();
  if (failure) std::rethrow_exception(failure);
  return fits;
}

std::vector<SpeciesFit> FitAllSpecies(std::span<const SpeciesStatistics> species, unsigned threads,
                                      const FitOptions& options) {
  // A copy per species is cheap next to its fit and keeps one code path.
  return FitAllSpecies(
      species.size(), [species](std::size_t i) { return species[i]; }, threads, options);
}

}  // namespace ot::fit
