// The maximisation of a two-parameter log-likelihood within a box, by
// NLopt's L-BFGS (gradient-based, using the analytic gradient).
#pragma once

#include <array>
#include <functional>
#include <string>

#include "fit/likelihood.h"

namespace ot::fit {

using LinkPoint = std::array<double, 2>;

// The end of a search: the point, the log-likelihood there, and whether it
// is a maximum (otherwise `reason` says why not).
struct SearchEnd {
  LinkPoint x{};
  double log_likelihood = 0;
  bool converged = false;
  std::string reason;
  int evaluations = 0;
};

// The largest |gradient| component allowed at a converged point, leaving
// out components that push against a bound the point lies on, relative to
// the log-likelihood there: GradientTolerance(l) = kGradientTolerance *
// max(1, |l|). (Both the gradient and the curvature grow with the data,
// so the distance to the maximum this leaves is about the same for any
// survey: a few 1e-7 on the link scale.)
inline constexpr double kGradientTolerance = 1e-6;
double GradientTolerance(double log_likelihood);

// Maximises `log_likelihood` over lower <= x <= upper from `start` (moved
// into the box), with at most `max_evaluations` evaluations. Converged
// means the projected gradient where the search ends is within
// GradientTolerance, whatever NLopt's return code; otherwise `reason`
// gives that code and the gradient.
// A first search works on the log-likelihood scaled to about 1; where it
// ends `near_boundary` or short of the gradient test, a second search goes
// on unscaled, to carry a maximum at infinity on towards the box edge.
SearchEnd Maximise(const std::function<LogLikelihood(LinkPoint)>& log_likelihood, LinkPoint start,
                   LinkPoint lower, LinkPoint upper, int max_evaluations,
                   const std::function<bool(LinkPoint)>& near_boundary);

// The gradient with the components that push outward at a bound the point
// lies on set to 0.
LinkPoint ProjectedGradient(const LogLikelihood& at, LinkPoint x, LinkPoint lower, LinkPoint upper);

}  // namespace ot::fit
