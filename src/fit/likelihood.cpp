#include "fit/likelihood.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <map>

namespace ot::fit {
namespace {

constexpr double kMinusInfinity = -std::numeric_limits<double>::infinity();
// log(1e-12): where the Royle-Nichols sum over N stops.
const double kLogTruncation = std::log(1e-12);
// Beyond this mean the sum over N would take millions of terms; the fit
// never gets near it (its search stops at kLambdaUpper, species_fit.h).
constexpr double kLargestLambda = 1e6;

LogLikelihood Impossible() {
  return LogLikelihood{kMinusInfinity, {0, 0}};
}

double TotalEffortDays(std::span<const EffortGroup> site) {
  double days = 0;
  for (const EffortGroup& group : site) {
    days += static_cast<double>(group.effort) * static_cast<double>(group.occasions);
  }
  return days;
}

bool Detected(std::span<const EffortGroup> site) {
  return std::any_of(site.begin(), site.end(),
                     [](const EffortGroup& group) { return group.detections > 0; });
}

}  // namespace

OccupancyLikelihood::OccupancyLikelihood(const SpeciesStatistics& statistics) {
  std::map<std::int64_t, DetectedEffort> detected;
  std::map<double, double> undetected;
  for (std::size_t i = 0; i < statistics.sites(); ++i) {
    const auto site = statistics.Site(i);
    if (!Detected(site)) {
      undetected[TotalEffortDays(site)] += 1;
      continue;
    }
    detected_sites_ += 1;
    for (const EffortGroup& group : site) {
      DetectedEffort& total = detected[group.effort];
      total.effort = static_cast<double>(group.effort);
      total.detections += static_cast<double>(group.detections);
      total.misses += static_cast<double>(group.occasions - group.detections);
    }
  }
  for (const auto& [effort, total] : detected) detected_.push_back(total);
  for (const auto& [days, sites] : undetected) undetected_.push_back({days, sites});
}

LogLikelihood OccupancyLikelihood::Evaluate(std::array<double, 2> x) const {
  if (!std::isfinite(x[0]) || !std::isfinite(x[1])) return Impossible();
  const double psi = Logistic(x[0]);
  const double absent = Logistic(-x[0]);  // 1 - psi, exact near psi = 1
  const double log_psi = -LogOnePlusExp(-x[0]);
  const double log_absent = -LogOnePlusExp(x[0]);
  const double p = Logistic(x[1]);
  const double s = LogOnePlusExp(x[1]);  // -log(1 - p)

  LogLikelihood result;
  double& value = result.value;
  auto& gradient = result.gradient;
  value = detected_sites_ * log_psi;
  gradient[0] = detected_sites_ * absent;
  for (const DetectedEffort& d : detected_) {
    const double es = d.effort * s;  // -log(1 - P(e))
    value += d.detections * LogOneMinusExp(es) - d.misses * es;
    // d/d logit p of log P(e) is e p / (exp(e s) - 1); of log(1 - P(e)) it is -e p.
    gradient[1] += d.detections * d.effort * p / std::expm1(es) - d.misses * d.effort * p;
  }
  for (const UndetectedEffort& u : undetected_) {
    const double occupied = log_psi - u.effort_days * s;  // occupied, never seen
    const double larger = std::max(occupied, log_absent);
    const double site = larger + std::log1p(std::exp(-std::abs(occupied - log_absent)));
    const double occupied_share = std::exp(occupied - site);
    value += u.sites * site;
    gradient[0] += u.sites * (occupied_share - psi);
    gradient[1] -= u.sites * occupied_share * u.effort_days * p;
  }
  return result;
}

RoyleNicholsLikelihood::RoyleNicholsLikelihood(const SpeciesStatistics& statistics) {
  // Each detected site as a key: missed days, then (effort, detections)
  // for every group with detections; equal keys are evaluated once.
  std::vector<std::vector<std::int64_t>> keys;
  std::map<double, double> undetected;
  std::vector<std::int64_t> efforts;
  for (std::size_t i = 0; i < statistics.sites(); ++i) {
    const auto site = statistics.Site(i);
    if (!Detected(site)) {
      undetected[TotalEffortDays(site)] += 1;
      continue;
    }
    std::vector<std::int64_t> key{0};
    for (const EffortGroup& group : site) {
      key[0] += (group.occasions - group.detections) * group.effort;
      if (group.detections > 0) {
        key.push_back(group.effort);
        key.push_back(group.detections);
        efforts.push_back(group.effort);
      }
    }
    keys.push_back(std::move(key));
  }
  std::sort(efforts.begin(), efforts.end());
  efforts.erase(std::unique(efforts.begin(), efforts.end()), efforts.end());
  for (std::int64_t effort : efforts) efforts_.push_back(static_cast<double>(effort));

  std::sort(keys.begin(), keys.end());
  for (std::size_t i = 0; i < keys.size();) {
    std::size_t same = i + 1;
    while (same < keys.size() && keys[same] == keys[i]) ++same;
    const auto& key = keys[i];
    DetectedSite site{static_cast<double>(same - i), static_cast<double>(key[0]),
                      static_cast<std::uint32_t>(hits_.size()), 0};
    for (std::size_t j = 1; j + 1 < key.size(); j += 2) {
      const auto index = std::lower_bound(efforts.begin(), efforts.end(), key[j]) - efforts.begin();
      hits_.push_back({static_cast<std::uint32_t>(index), static_cast<double>(key[j + 1])});
    }
    site.hits_end = static_cast<std::uint32_t>(hits_.size());
    detected_.push_back(site);
    i = same;
  }
  for (const auto& [days, sites] : undetected) undetected_.push_back({days, sites});
}

double RoyleNicholsLikelihood::LogFactorial(std::int64_t n) {
  while (static_cast<std::int64_t>(log_factorial_.size()) <= n) {
    log_factorial_.push_back(log_factorial_.back() +
                             std::log(static_cast<double>(log_factorial_.size())));
  }
  return log_factorial_[static_cast<std::size_t>(n)];
}

void RoyleNicholsLikelihood::FillRows(std::int64_t n, double log_lambda, double s, double r) {
  const std::size_t width = efforts_.size();
  const auto rows = static_cast<std::size_t>(n);
  if (log_detect_.size() < rows * width) {
    log_detect_.resize(rows * width);
    log_detect_slope_.resize(rows * width);
  }
  if (log_poisson_.size() < rows + 2) {
    log_poisson_.resize(rows + 2);
    tail_factor_.resize(rows + 2);
  }
  const double lambda = std::exp(log_lambda);
  if (filled_rows_ == 0) log_poisson_[0] = -lambda;
  for (; filled_rows_ < n; ++filled_rows_) {
    const auto row = static_cast<std::size_t>(filled_rows_) * width;
    const std::int64_t animals = filled_rows_ + 1;
    for (std::size_t k = 0; k < width; ++k) {
      const double exposure = efforts_[k] * static_cast<double>(animals);  // e N
      const double es = exposure * s;                                      // -log(1 - P(e | N))
      log_detect_[row + k] = LogOneMinusExp(es);
      log_detect_slope_[row + k] = exposure * r / std::expm1(es);
    }
    // Filled one ahead: the truncation test at N looks at Poisson(N + 1).
    const auto next = static_cast<std::size_t>(animals + 1);
    log_poisson_[next] =
        -lambda + static_cast<double>(next) * log_lambda - LogFactorial(animals + 1);
    if (filled_rows_ == 0) log_poisson_[1] = -lambda + log_lambda;
    const double ahead = static_cast<double>(animals + 2);
    tail_factor_[static_cast<std::size_t>(animals)] =
        ahead > lambda ? -std::log1p(-lambda / ahead) : std::numeric_limits<double>::infinity();
  }
}

LogLikelihood RoyleNicholsLikelihood::Evaluate(std::array<double, 2> x) {
  if (!std::isfinite(x[0]) || !std::isfinite(x[1])) return Impossible();
  const double log_lambda = x[0];
  const double lambda = std::exp(log_lambda);
  if (lambda > kLargestLambda) return Impossible();
  const double r = Logistic(x[1]);
  const double s = LogOnePlusExp(x[1]);  // -log(1 - r)

  LogLikelihood result;
  double& value = result.value;
  auto& gradient = result.gradient;
  for (const UndetectedEffort& u : undetected_) {
    // sum_N Poisson(N) (1 - r)^(E N) = exp(-lambda (1 - exp(-E s)))
    const double site = lambda * std::expm1(-u.effort_days * s);
    value += u.sites * site;
    gradient[0] += u.sites * site;
    gradient[1] -= u.sites * lambda * u.effort_days * r * std::exp(-u.effort_days * s);
  }

  // The sum over N stops at the first N >= lambda where the Poisson tail
  // beyond N is below 1e-12 and the site's left-out terms are below 1e-12
  // of its largest term so far. For N + 2 > lambda the Poisson tail beyond
  // N is at most Poisson(N + 1) / (1 - lambda / (N + 2)) (tail_factor_ is
  // minus the log of that divisor). Each left-out term of a site is at most
  // Poisson(N) (1 - r)^(N missed days), since its detections contribute
  // factors <= 1, and those terms sum to at most
  // Poisson(N + 1) (1 - r)^((N + 1) missed days) / (1 - lambda / (N + 2)).
  filled_rows_ = 0;
  std::int64_t poisson_end = 1;  // the first N where the Poisson tail is small enough
  for (;; ++poisson_end) {
    if (poisson_end > filled_rows_) FillRows(poisson_end, log_lambda, s, r);
    const auto n = static_cast<std::size_t>(poisson_end);
    if (static_cast<double>(poisson_end) >= lambda &&
        log_poisson_[n + 1] + tail_factor_[n] < kLogTruncation) {
      break;
    }
  }
  for (const DetectedSite& site : detected_) {
    // N = 0 cannot give a detection, so the sum starts at 1.
    double largest = kMinusInfinity;
    std::int64_t last = 0;
    const double missed = s * site.missed_days;  // -log (1 - r)^missed days
    for (std::int64_t n = 1;; ++n) {
      if (n > filled_rows_) FillRows(n, log_lambda, s, r);
      const auto i = static_cast<std::size_t>(n);
      const double animals = static_cast<double>(n);
      double term = log_poisson_[i] - animals * missed;
      double slope = -animals * r * site.missed_days;
      const std::size_t row = (i - 1) * efforts_.size();
      for (std::uint32_t h = site.hits_begin; h < site.hits_end; ++h) {
        term += hits_[h].detections * log_detect_[row + hits_[h].effort_index];
        slope += hits_[h].detections * log_detect_slope_[row + hits_[h].effort_index];
      }
      if (terms_.size() < i) {
        terms_.resize(i * 2);
        term_slopes_.resize(terms_.size());
      }
      terms_[i - 1] = term;
      term_slopes_[i - 1] = slope;
      largest = std::max(largest, term);
      if (n >= poisson_end && log_poisson_[i + 1] - (animals + 1) * missed + tail_factor_[i] <
                                  kLogTruncation + largest) {
        last = n;
        break;
      }
    }
    double sum = 0, by_log_lambda = 0, by_logit_r = 0;
    for (std::int64_t n = 1; n <= last; ++n) {
      const auto i = static_cast<std::size_t>(n - 1);
      // Terms below e^-40 (4e-18) of the largest change the sum, which is
      // at least 1, by less than 1e-15 even a few hundred together.
      if (terms_[i] < largest - 40) continue;
      const double weight = std::exp(terms_[i] - largest);
      sum += weight;
      by_log_lambda += weight * (static_cast<double>(n) - lambda);
      by_logit_r += weight * term_slopes_[i];
    }
    value += site.sites * (largest + std::log(sum));
    gradient[0] += site.sites * by_log_lambda / sum;
    gradient[1] += site.sites * by_logit_r / sum;
  }
  return result;
}

}  // namespace ot::fit
