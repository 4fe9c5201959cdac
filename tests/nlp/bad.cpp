// Problems that exercise failure paths: a function that is undefined beyond
// a bound, and an objective that is unbounded below.
#include <cmath>

#include "problems_impl.h"

namespace tvnlp::detail {

namespace {

// sum x_j log x_j subject to sum x_j = 1, x_j >= 1e-6: the optimum is
// x_j = 1/n, f* = -log n.  The function is undefined (the callback reports
// mode -1) for any x_j <= 0, just beyond the lower bounds.
NlpProblem entropy(int) {
  const int n = 10;
  std::vector<double> x0(n);
  for (int j = 0; j < n; ++j) x0[j] = (j + 1) / 55.0;
  NlpProblem p = base("bad-entropy", "bad", n, x0);
  bounds(p, 1e-6, kInf);
  p.rlo.push_back(1.0);
  p.rup.push_back(1.0);
  for (int j = 0; j < n; ++j) p.lin.push_back({0, j, 1.0});
  p.m = 1;
  p.fobj = [n](const double* x, double& f, double* g) {
    f = 0.0;
    for (int j = 0; j < n; ++j) {
      if (!(x[j] > 0.0)) return false;
      f += x[j] * std::log(x[j]);
      if (g) g[j] = std::log(x[j]) + 1.0;
    }
    return true;
  };
  optimum(p, -std::log(double(n)), std::vector<double>(n, 1.0 / n), "analytic", 1e-12);
  return p;
}

// (x1 - x2)^2 - x1 with x1 - 2 x2 <= 1: along x1 = x2 = t the row holds for
// t >= -1 and f = -t, so f is unbounded below.
NlpProblem unbounded(int) {
  NlpProblem p = base("bad-unbounded", "bad", 2, {0.0, 0.0});
  linear_row(p, -kInf, 1.0, {{1, 1.0}, {2, -2.0}});
  p.fobj = [](const double* x, double& f, double* g) {
    const double d = x[0] - x[1];
    f = d * d - x[0];
    if (g) {
      g[0] = 2.0 * d - 1.0;
      g[1] = -2.0 * d;
    }
    return true;
  };
  p.expect = Expect::Unbounded;
  p.source = "unbounded";
  return p;
}

}  // namespace

std::vector<Maker> bad() { return {{"bad-entropy", entropy}, {"bad-unbounded", unbounded}}; }

}  // namespace tvnlp::detail
