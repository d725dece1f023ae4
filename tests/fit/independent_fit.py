#!/usr/bin/python3
"""An independent maximum-likelihood fit of the occupancy and Royle-Nichols
models, written from the model formulas alone, against the program's fits.

    /usr/bin/python3 tests/fit/independent_fit.py PATH/TO/fit-data-sets

fit-data-sets prints data sets (per site every occasion as [effort,
detected]) with the program's fits. This script computes each site's
likelihood occasion by occasion (no grouping by effort), maximises it with
scipy.optimize from several starts on the same link scales and within the
same box, takes the covariance from a finite-difference Hessian of the
log-likelihood itself, applies the boundary rule as the program documents it
(src/fit/species_fit.h), and compares: statuses equal, log-likelihoods to
1e-6, estimates to 1e-4 relative, SEs and interval limits to 1e-3 relative,
NA exactly where the program has NA.
"""

import json
import math
import subprocess
import sys

import numpy as np
from scipy import optimize, special, stats

LOGIT_LIMIT = 25.0
BOUNDARY_LOGIT = 12.0
LAMBDA_LOWER, LAMBDA_UPPER = 1e-6, 50.0
BOUNDARY_LAMBDA = 49.5
SMALLEST_CURVATURE = 1e-10
Z95 = stats.norm.ppf(0.975)


def occupancy_loglik(theta, sites):
    """Occupancy: psi = P(occupied); an occasion of e days detects with
    1 - (1 - p)^e at an occupied site."""
    a, b = theta
    log_psi, log_absent = special.log_expit(a), special.log_expit(-a)
    log_miss_day = special.log_expit(-b)  # log(1 - p)
    total = 0.0
    for effort, seen in sites:
        log_miss = effort * log_miss_day  # log(1 - P) per occasion
        log_detect = np.log(-np.expm1(log_miss))  # log P
        occupied = log_psi + np.sum(np.where(seen == 1, log_detect, log_miss))
        if seen.any():
            total += occupied
        else:
            total += np.logaddexp(occupied, log_absent)
    return total


def royle_nichols_loglik(theta, sites):
    """Royle-Nichols: N ~ Poisson(lambda) animals at a site, each seen on a
    day with probability r; an occasion of e days detects with
    1 - (1 - r)^(e N). The sum over N runs far into the Poisson tail."""
    log_lambda, d = theta
    lam = math.exp(log_lambda)
    top = int(lam + 12 * math.sqrt(lam) + 60)
    n = np.arange(top + 1, dtype=float)
    log_prior = stats.poisson.logpmf(n, lam)
    log_miss_day = special.log_expit(-d)  # log(1 - r)
    total = 0.0
    for effort, seen in sites:
        log_miss = np.outer(n, effort) * log_miss_day  # [N, occasion]
        with np.errstate(divide="ignore"):
            log_detect = np.log(-np.expm1(log_miss))  # -inf where N = 0
        per_n = np.sum(np.where(seen == 1, log_detect, log_miss), axis=1)
        total += special.logsumexp(log_prior + per_n)
    return total


MODELS = {
    "occupancy": {
        "loglik": occupancy_loglik,
        "box": [(-LOGIT_LIMIT, LOGIT_LIMIT), (-LOGIT_LIMIT, LOGIT_LIMIT)],
        "starts": [(a, b) for a in (-1.0, 1.0, 3.0) for b in (-5.0, -3.0, -1.0, 1.0)],
    },
    "royle_nichols": {
        "loglik": royle_nichols_loglik,
        "box": [(math.log(LAMBDA_LOWER), math.log(LAMBDA_UPPER)), (-LOGIT_LIMIT, LOGIT_LIMIT)],
        "starts": [(c, d) for c in (-1.0, 0.5, 2.0, 4.0) for d in (-7.0, -4.0, -2.0, 0.0)],
    },
}


def maximise(loglik, sites, box, starts):
    best = None
    negative = lambda theta: -loglik(theta, sites)
    for start in starts:
        found = optimize.minimize(negative, start, method="L-BFGS-B", bounds=box,
                                  options={"ftol": 1e-15, "gtol": 1e-10, "maxiter": 5000})
        if best is None or found.fun < best.fun:
            best = found
    # Polish: a simplex search from the best point, then L-BFGS-B again.
    for method, options in (("Nelder-Mead", {"xatol": 1e-10, "fatol": 1e-13, "maxiter": 20000}),
                            ("L-BFGS-B", {"ftol": 1e-15, "gtol": 1e-11, "maxiter": 5000})):
        found = optimize.minimize(negative, best.x, method=method, bounds=box, options=options)
        if found.fun <= best.fun:
            best = found
    return np.array(best.x, dtype=float), -best.fun


def hessian(loglik, sites, theta, free, step=1e-3):
    """The Hessian of the negative log-likelihood over the `free`
    parameters by central differences of the log-likelihood."""
    f = lambda x: -loglik(x, sites)
    k = len(free)
    h = np.zeros((k, k))
    for i, a in enumerate(free):
        for j, b in enumerate(free):
            if j < i:
                continue

            def at(da, db):
                x = np.array(theta, dtype=float)
                x[a] += da
                x[b] += db
                return f(x)

            if a == b:
                h[i, i] = (at(step, 0) - 2 * f(theta) + at(-step, 0)) / step ** 2
            else:
                h[i, j] = h[j, i] = (at(step, step) - at(step, -step) - at(-step, step)
                                     + at(-step, -step)) / (4 * step ** 2)
    return h


def edge(logit, shortest_effort):
    """-1 at 0, +1 at 1, 0 inside, for a probability on the logit scale."""
    if logit < -BOUNDARY_LOGIT:
        return -1
    if shortest_effort * np.logaddexp(0, logit) > BOUNDARY_LOGIT:  # -e log(1 - p)
        return 1
    return 0


def na():
    return {"estimate": None, "se": None, "lcl": None, "ucl": None}


def transformed(value, se, inverse, slope):
    if se is None:
        return {"estimate": inverse(value), "se": None, "lcl": None, "ucl": None}
    return {"estimate": inverse(value), "se": abs(slope) * se,
            "lcl": inverse(value - Z95 * se), "ucl": inverse(value + Z95 * se)}


def fit(model, data_set):
    sites = []
    for occasions in data_set["sites"]:
        kept = [(e, y) for e, y in occasions if e > 0]
        if kept:
            sites.append((np.array([e for e, _ in kept], dtype=float),
                          np.array([y for _, y in kept])))
    days = data_set["days"]
    names = (["psi", "p_daily", "p_occasion"] if model == "occupancy"
             else ["lambda", "r_daily", "psi"])
    if not sites or not any(seen.any() for _, seen in sites):
        return dict({"status": "no-detection", "loglik": None}, **{n: na() for n in names})
    spec = MODELS[model]
    theta, loglik = maximise(spec["loglik"], sites, spec["box"], spec["starts"])
    shortest = min(float(effort.min()) for effort, _ in sites)

    if model == "occupancy":
        edges = [edge(theta[0], 1.0), edge(theta[1], shortest)]
        everything_na = False
    else:
        edges = [1 if math.exp(theta[0]) > BOUNDARY_LAMBDA else 0, edge(theta[1], shortest)]
        everything_na = edges[0] != 0
    status = "boundary" if any(edges) else "ok"
    se = [None, None]
    free = [i for i in range(2) if edges[i] == 0]
    if not everything_na and free:
        h = hessian(spec["loglik"], sites, theta, free)
        curvatures = np.linalg.eigvalsh(h)
        if curvatures[0] <= 0 or curvatures[0] < SMALLEST_CURVATURE * curvatures[-1]:
            status = "boundary"
        else:
            covariance = np.linalg.inv(h)
            for k, i in enumerate(free):
                se[i] = math.sqrt(covariance[k, k])

    result = {"status": status, "loglik": loglik}
    expit = special.expit
    if model == "occupancy":
        a, b = theta
        psi, p = expit(a), expit(b)
        result["psi"] = ({"estimate": 1.0 if edges[0] > 0 else 0.0, "se": None, "lcl": None,
                          "ucl": None} if edges[0] else transformed(a, se[0], expit, psi * (1 - psi)))
        if edges[1]:
            value = 1.0 if edges[1] > 0 else 0.0
            result["p_daily"] = {"estimate": value, "se": None, "lcl": None, "ucl": None}
            result["p_occasion"] = dict(result["p_daily"])
        else:
            result["p_daily"] = transformed(b, se[1], expit, p * (1 - p))
            occasion = lambda logit: 1 - (1 - expit(logit)) ** days
            result["p_occasion"] = transformed(b, se[1], occasion,
                                               days * (1 - p) ** (days - 1) * p * (1 - p))
    else:
        c, d = theta
        lam, r = math.exp(c), expit(d)
        result["lambda"] = transformed(c, se[0], math.exp, lam)
        if edges[1] and not everything_na:
            result["r_daily"] = {"estimate": 1.0 if edges[1] > 0 else 0.0, "se": None,
                                 "lcl": None, "ucl": None}
        else:
            result["r_daily"] = transformed(d, se[1], expit, r * (1 - r))
        result["psi"] = transformed(c, se[0], lambda x: 1 - math.exp(-math.exp(x)),
                                    math.exp(-lam) * lam)
    return result


def close(ours, theirs, relative):
    if ours is None or theirs is None:
        return ours is None and theirs is None
    return abs(ours - theirs) <= relative * max(abs(ours), abs(theirs), 1e-300)


def main():
    if len(sys.argv) != 2:
        print(__doc__, file=sys.stderr)
        return 2
    output = subprocess.run([sys.argv[1]], check=True, capture_output=True, text=True).stdout
    data_sets = json.loads(output)["data_sets"]
    passed = failed = 0
    worst = {"loglik": 0.0, "estimate": 0.0, "se": 0.0}  # largest differences seen
    for data_set in data_sets:
        for model in ("occupancy", "royle_nichols"):
            program = data_set[model]
            reference = fit(model, data_set)
            problems = []
            if program["status"] != reference["status"]:
                problems.append(f"status {program['status']} ({program['reason']}), "
                                f"reference {reference['status']}")
            ours, theirs = program["loglik"], reference["loglik"]
            if (ours is None) != (theirs is None) or (
                    ours is not None and abs(ours - theirs) > 1e-6):
                problems.append(f"loglik {ours} vs {theirs}")
            elif ours is not None:
                worst["loglik"] = max(worst["loglik"], abs(ours - theirs))
            for name in [k for k in reference if k not in ("status", "loglik")]:
                for field, tolerance in (("estimate", 1e-4), ("se", 1e-3), ("lcl", 1e-3),
                                         ("ucl", 1e-3)):
                    a, b = program[name][field], reference[name][field]
                    if not close(a, b, tolerance):
                        problems.append(f"{name} {field} {a} vs {b}")
                    elif a is not None and field in worst:
                        worst[field] = max(worst[field], abs(a - b) / max(abs(a), abs(b), 1e-300))
            label = f"{data_set['name']}: {model}"
            if problems:
                failed += 1
                print(f"FAIL {label}: " + "; ".join(problems))
            else:
                passed += 1
                estimates = ", ".join(
                    f"{k} {program[k]['estimate']:.6g}" for k in program
                    if isinstance(program[k], dict) and program[k]["estimate"] is not None)
                gap = "" if ours is None else f"; loglik gap {abs(ours - theirs):.1g}"
                print(f"ok   {label} ({program['status']}; {estimates}{gap})")
    print(f"largest differences: loglik {worst['loglik']:.2g} (absolute), estimates "
          f"{worst['estimate']:.2g}, SEs {worst['se']:.2g} (relative)")
    print(f"{passed} passed, {failed} failed")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
