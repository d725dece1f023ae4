#include "fit/optimizer.h"

#include <nlopt.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>

#include "fit/number_text.h"

namespace ot::fit {
namespace {

struct Objective {
  const std::function<LogLikelihood(LinkPoint)>* log_likelihood;
  double scale = 1;  // makes the objective about 1 at the start
  int evaluations = 0;
  // The best point so far, which NLopt returns, so it is not evaluated again.
  LinkPoint best_x{};
  LogLikelihood best{-std::numeric_limits<double>::infinity(), {0, 0}};
  // The last points evaluated: L-BFGS asks for the same point again when
  // round-off stalls its line search, and the second search starts where
  // the first ended.
  static constexpr std::size_t kRemembered = 4;
  std::array<LinkPoint, kRemembered> recent_x{};
  std::array<LogLikelihood, kRemembered> recent{};
  std::size_t remembered = 0;

  LogLikelihood Evaluate(LinkPoint x) {
    for (std::size_t i = 0; i < std::min(remembered, kRemembered); ++i) {
      if (recent_x[i] == x) return recent[i];
    }
    ++evaluations;
    const LogLikelihood at = (*log_likelihood)(x);
    recent_x[remembered % kRemembered] = x;
    recent[remembered % kRemembered] = at;
    ++remembered;
    return at;
  }
};

// NLopt minimises: the negative log-likelihood and its gradient, scaled.
// Unscaled, L-BFGS's first step follows a gradient of thousands and lands
// on the box edge, where a Royle-Nichols evaluation costs 50 times more.
double NegativeLogLikelihood(unsigned n, const double* x, double* gradient, void* data) {
  auto& objective = *static_cast<Objective*>(data);
  const LinkPoint point = {x[0], x[1]};
  const LogLikelihood at = objective.Evaluate(point);
  if (!std::isfinite(at.value)) {
    // Never inside the box; a huge value turns the line search back.
    if (gradient != nullptr) std::fill(gradient, gradient + n, 0.0);
    return 1e300;
  }
  if (at.value > objective.best.value) {
    objective.best = at;
    objective.best_x = point;
  }
  if (gradient != nullptr) {
    gradient[0] = -at.gradient[0] * objective.scale;
    gradient[1] = -at.gradient[1] * objective.scale;
  }
  return -at.value * objective.scale;
}

std::string Describe(nlopt_result result) {
  switch (result) {
    case NLOPT_SUCCESS:
      return "success";
    case NLOPT_STOPVAL_REACHED:
      return "stop value reached";
    case NLOPT_FTOL_REACHED:
      return "log-likelihood tolerance reached";
    case NLOPT_XTOL_REACHED:
      return "parameter tolerance reached";
    case NLOPT_MAXEVAL_REACHED:
      return "evaluation limit reached";
    case NLOPT_MAXTIME_REACHED:
      return "time limit reached";
    case NLOPT_FAILURE:
      return "failure";
    case NLOPT_INVALID_ARGS:
      return "invalid arguments";
    case NLOPT_OUT_OF_MEMORY:
      return "out of memory";
    case NLOPT_ROUNDOFF_LIMITED:
      return "round-off limited";
    case NLOPT_FORCED_STOP:
      return "forced stop";
    default:
      return "code " + std::to_string(static_cast<int>(result));
  }
}

struct OptimizerDeleter {
  void operator()(nlopt_opt_s* optimizer) const { nlopt_destroy(optimizer); }
};

}  // namespace

LinkPoint ProjectedGradient(const LogLikelihood& at, LinkPoint x, LinkPoint lower,
                            LinkPoint upper) {
  LinkPoint projected = at.gradient;
  for (std::size_t i = 0; i < 2; ++i) {
    const double slack = 1e-9 * std::max(1.0, std::abs(x[i]));
    if ((x[i] <= lower[i] + slack && projected[i] < 0) ||
        (x[i] >= upper[i] - slack && projected[i] > 0)) {
      projected[i] = 0;
    }
  }
  return projected;
}

namespace {

// One NLopt L-BFGS run from `x` (updated to where it ends).
nlopt_result RunLbfgs(Objective& objective, LinkPoint& x, LinkPoint lower, LinkPoint upper,
                      int max_evaluations) {
  std::unique_ptr<nlopt_opt_s, OptimizerDeleter> optimizer(nlopt_create(NLOPT_LD_LBFGS, 2));
  if (!optimizer) return NLOPT_OUT_OF_MEMORY;
  nlopt_opt opt = optimizer.get();
  nlopt_set_min_objective(opt, NegativeLogLikelihood, &objective);
  nlopt_set_lower_bounds(opt, lower.data());
  nlopt_set_upper_bounds(opt, upper.data());
  // No tolerance on the log-likelihood: a maximum at infinity (a
  // probability at 0 or 1) gains ever less per step, and the search must
  // run on until round-off stops it or it reaches the box, where the
  // boundary rule can see it. The step tolerance ends interior searches.
  nlopt_set_ftol_rel(opt, 0);
  nlopt_set_xtol_rel(opt, 1e-10);
  nlopt_set_maxeval(opt, max_evaluations);
  double minimum = 0;
  return nlopt_optimize(opt, x.data(), &minimum);
}

}  // namespace

double GradientTolerance(double log_likelihood) {
  return kGradientTolerance * std::max(1.0, std::abs(log_likelihood));
}

SearchEnd Maximise(const std::function<LogLikelihood(LinkPoint)>& log_likelihood, LinkPoint start,
                   LinkPoint lower, LinkPoint upper, int max_evaluations,
                   const std::function<bool(LinkPoint)>& near_boundary) {
  SearchEnd end;
  for (std::size_t i = 0; i < 2; ++i) end.x[i] = std::clamp(start[i], lower[i], upper[i]);
  Objective objective{&log_likelihood};
  // First on the objective scaled to about 1 at the start: unscaled,
  // L-BFGS's first step follows a gradient of thousands and lands on the
  // box edge, where a Royle-Nichols evaluation costs 50 times more. L-BFGS
  // ends on its own gradient test (about 1e-8) of the objective it sees,
  // which leaves the point a few 1e-7 from an interior maximum. A point
  // near the boundary, where the log-likelihood keeps rising ever more
  // slowly, or one that fails our gradient test, goes on unscaled, which
  // carries a maximum at infinity on to the box or far enough for the
  // boundary rule.
  const LogLikelihood at_start = objective.Evaluate(end.x);
  if (std::isfinite(at_start.value)) objective.scale = 1 / std::max(1.0, std::abs(at_start.value));
  nlopt_result result = RunLbfgs(objective, end.x, lower, upper, max_evaluations);
  const auto unfinished = [&] {
    if (objective.evaluations == 0 || near_boundary(objective.best_x)) return true;
    const LinkPoint projected = ProjectedGradient(objective.best, objective.best_x, lower, upper);
    return !(std::max(std::abs(projected[0]), std::abs(projected[1])) <=
             GradientTolerance(objective.best.value));
  };
  if (objective.scale != 1 && objective.evaluations > 0 &&
      objective.evaluations < max_evaluations && unfinished()) {
    objective.scale = 1;
    end.x = objective.best_x;
    result = RunLbfgs(objective, end.x, lower, upper, max_evaluations - objective.evaluations);
  }
  end.evaluations = objective.evaluations;
  // NLopt ends on its best point; take the best seen in either run.
  if (objective.evaluations > 0) end.x = objective.best_x;
  const LogLikelihood at = objective.evaluations > 0 ? objective.best : log_likelihood(end.x);
  end.log_likelihood = at.value;
  if (!std::isfinite(at.value)) {
    end.reason = "NLopt L-BFGS found no point with a finite log-likelihood (" + Describe(result) +
                 ", " + std::to_string(end.evaluations) + " evaluations)";
    return end;
  }
  // The gradient decides, whatever NLopt's code: L-BFGS may report a
  // failure when it cannot move from a maximum on the box edge, or
  // success on its own gradient test where ours is stricter.
  const LinkPoint projected = ProjectedGradient(at, end.x, lower, upper);
  const double steepest = std::max(std::abs(projected[0]), std::abs(projected[1]));
  if (!(steepest <= GradientTolerance(at.value))) {
    end.reason = "NLopt L-BFGS stopped (" + Describe(result) + ") after " +
                 std::to_string(end.evaluations) + " evaluations where the gradient is still " +
                 ShortNumber(steepest);
    return end;
  }
  end.converged = true;
  return end;
}

}  // namespace ot::fit
