// The log-likelihoods of the two models with their analytic gradients, on
// the link scales the fit works on, computed from the effort groups.
//
// Occupancy: psi = P(site occupied), p = daily detection probability at an
// occupied site; an occasion of e operating days detects with
// P(e) = 1 - (1 - p)^e. A site's likelihood is
//   psi * prod_k P(e_k)^y_k (1 - P(e_k))^(1 - y_k) + (1 - psi) * [no y_k = 1].
// Royle-Nichols: the animals at a site N ~ Poisson(lambda), each seen on a
// day with probability r, so P(e | N) = 1 - (1 - r)^(e N), and a site's
// likelihood is sum_N Poisson(N; lambda) prod_k P(e_k | N)^y_k (...)^(1-y_k).
//
// With s = -log(1 - p) (or -log(1 - r)), everything is written through
// log(1 - P(e)) = -e s and log P(e) = log(1 - exp(-e s)), computed without
// cancellation. Undetected sites depend only on their total effort days E:
// occupancy log(psi exp(-E s) + 1 - psi), Royle-Nichols
// -lambda (1 - exp(-E s)) exactly. Detected sites in Royle-Nichols sum over
// N = 1, 2, ... until both the Poisson tail beyond N and a bound on the
// site's left-out likelihood (relative to its terms so far) are below 1e-12.
#pragma once

#include <array>
#include <cmath>
#include <cstdint>
#include <vector>

#include "fit/occasion_data.h"

namespace ot::fit {

// log(1 + exp(x)) without overflow or loss for large |x|.
inline double LogOnePlusExp(double x) {
  return x > 0 ? x + std::log1p(std::exp(-x)) : std::log1p(std::exp(x));
}
// 1 / (1 + exp(-x)) without overflow.
inline double Logistic(double x) {
  if (x >= 0) return 1 / (1 + std::exp(-x));
  const double e = std::exp(x);
  return e / (1 + e);
}
// log(1 - exp(-x)) for x > 0, accurate for small and large x.
inline double LogOneMinusExp(double x) {
  return x <= 0.6931471805599453 ? std::log(-std::expm1(-x)) : std::log1p(-std::exp(-x));
}

// A log-likelihood and its gradient with respect to the two link-scale
// parameters.
struct LogLikelihood {
  double value = 0;
  std::array<double, 2> gradient{};
};

// The occupancy model at x = (logit psi, logit p). Sites reduce further to
// totals: detected sites contribute through their per-effort detections and
// misses summed over sites, undetected ones through their total effort.
class OccupancyLikelihood {
 public:
  explicit OccupancyLikelihood(const SpeciesStatistics& statistics);
  // The log-likelihood of all sites; non-finite x gives -infinity.
  LogLikelihood Evaluate(std::array<double, 2> x) const;

 private:
  struct DetectedEffort {  // over all detected sites
    double effort;
    double detections;
    double misses;
  };
  struct UndetectedEffort {  // undetected sites with one total effort
    double effort_days;
    double sites;
  };
  double detected_sites_ = 0;
  std::vector<DetectedEffort> detected_;
  std::vector<UndetectedEffort> undetected_;
};

// The Royle-Nichols model at x = (log lambda, logit r). Detected sites with
// identical groups are evaluated once. Evaluate keeps work tables between
// calls: use one object per thread.
class RoyleNicholsLikelihood {
 public:
  explicit RoyleNicholsLikelihood(const SpeciesStatistics& statistics);
  // The log-likelihood of all sites; non-finite x gives -infinity.
  LogLikelihood Evaluate(std::array<double, 2> x);
  // The largest N summed over in the last Evaluate (for any site, or for
  // the Poisson tail alone).
  std::int64_t last_largest_n() const { return filled_rows_; }

 private:
  struct Hit {  // detections at one of efforts_
    std::uint32_t effort_index;
    double detections;
  };
  struct DetectedSite {  // detected sites with identical groups
    double sites;
    double missed_days;  // sum of effort over occasions without detection
    std::uint32_t hits_begin, hits_end;
  };
  struct UndetectedEffort {
    double effort_days;
    double sites;
  };
  // Fills the work tables for N = 1..n (Poisson terms to n + 1).
  void FillRows(std::int64_t n, double log_lambda, double s, double r);
  double LogFactorial(std::int64_t n);

  std::vector<double> efforts_;  // the distinct efforts with a detection
  std::vector<Hit> hits_;
  std::vector<DetectedSite> detected_;
  std::vector<UndetectedEffort> undetected_;
  // Work tables, refilled per evaluation: for N = 1..filled_rows_ and each
  // effort e of efforts_, log P(e | N) and its derivative by logit r.
  std::int64_t filled_rows_ = 0;
  std::vector<double> log_detect_;
  std::vector<double> log_detect_slope_;
  std::vector<double> log_poisson_;  // log Poisson(N; lambda), N = 0..filled_rows_ + 1
  std::vector<double> tail_factor_;  // -log(1 - lambda / (N + 2)), or infinity
  std::vector<double> log_factorial_{0.0};
  std::vector<double> terms_;        // log of each N's term
  std::vector<double> term_slopes_;  // its derivative by logit r
};

}  // namespace ot::fit
