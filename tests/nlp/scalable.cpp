// Problems whose size is a parameter: a chained Rosenbrock function under one
// linear row (optimum known for every size), and a discretized
// optimal-control problem with nonlinear dynamics, whose optimum at the
// default size was established with an interior-point solver at tolerance
// 1e-12 (other sizes have fstar = NaN).
#include <cmath>

#include "problems_impl.h"

namespace tvnlp::detail {

namespace {

constexpr int kRosenDefault = 1000;
constexpr int kOcpDefault = 500;
const double kOcpFstar = 0.384008700634;

// sum_{i<n} 100 (x_{i+1} - x_i^2)^2 + (1 - x_i)^2 + sum x_i subject to
// sum x_i >= n and -2 <= x_i <= 2.  The chained sum R(x) is >= 0 and zero
// only at x = 1, and sum x_i >= n on the feasible set, so f >= n with
// equality only at x = 1: f* = n, reached with the row active (multiplier 1).
// The linear part sits in the objective row.
NlpProblem rosen_chain(int size) {
  const int n = size > 0 ? size : kRosenDefault;
  std::vector<double> x0(n);
  for (int j = 0; j < n; ++j) x0[j] = j % 2 == 0 ? -1.2 : 1.0;
  NlpProblem p = base("rosen-chain", "scalable", n, x0);
  bounds(p, -2.0, 2.0);
  p.rlo.push_back(n);
  p.rup.push_back(kInf);
  p.cobj.assign(n, 0.5);
  for (int j = 0; j < n; ++j) p.lin.push_back({0, j, 1.0});
  p.m = 1;
  p.fobj = [n](const double* x, double& f, double* g) {
    f = 0.0;
    if (g)
      for (int j = 0; j < n; ++j) g[j] = 0.0;
    for (int i = 0; i + 1 < n; ++i) {
      const double t = x[i + 1] - x[i] * x[i], u = 1.0 - x[i];
      f += 100.0 * t * t + u * u;
      if (g) {
        g[i] += -400.0 * x[i] * t - 2.0 * u;
        g[i + 1] += 200.0 * t;
      }
    }
    return true;
  };
  optimum(p, 0.5 * n, std::vector<double>(n, 1.0), "analytic", 1e-12);
  return p;
}

// Optimal control on [0, 1] with N steps of the explicit Euler rule, h = 1/N:
//   minimize   h/2 sum_{k=1..N} (y_k - 1)^2 + h/2 sum_{k=0..N-1} u_k^2
//   subject to y_{k+1} - y_k - h (u_k - y_k^3) = 0,  k = 0..N-1,  y_0 = 0,
//              -1.5 <= u_k <= 1.5.
// Columns: y_0..y_N (the Jacobian columns), then u_0..u_{N-1}, which enter
// the rows linearly as matrix entries -h.
NlpProblem ocp(int size) {
  const int N = size > 0 ? size : kOcpDefault;
  const int n = 2 * N + 1;
  NlpProblem p = base("ocp", "scalable", n, std::vector<double>(n, 0.0));
  const double h = 1.0 / N;
  bound(p, 1, 0.0, 0.0);
  for (int k = 0; k < N; ++k) bound(p, N + 2 + k, -1.5, 1.5);
  std::vector<std::pair<int, int>> pattern;
  for (int k = 1; k <= N; ++k) {  // row k: columns y_{k-1}, y_k (1-based k, k+1)
    pattern.push_back({k, k});
    pattern.push_back({k, k + 1});
  }
  nonlinear_rows(p, N + 1, std::vector<double>(N, 0.0), std::vector<double>(N, 0.0), pattern);
  for (int k = 1; k <= N; ++k) linear_term(p, k, N + 1 + k, -h);
  p.fobj = [N, h](const double* x, double& f, double* g) {
    f = 0.0;
    for (int k = 0; k <= N; ++k) {
      const double e = k > 0 ? x[k] - 1.0 : 0.0;
      f += 0.5 * h * e * e;
      if (g) g[k] = h * e;
    }
    for (int k = 0; k < N; ++k) {
      const double u = x[N + 1 + k];
      f += 0.5 * h * u * u;
      if (g) g[N + 1 + k] = h * u;
    }
    return true;
  };
  p.fcon = [N, h](const double* x, double* c, double* J) {
    for (int k = 0; k < N; ++k) {
      const double y = x[k];
      c[k] = x[k + 1] - y + h * y * y * y;
      if (J) {
        J[2 * k] = -1.0 + 3.0 * h * y * y;
        J[2 * k + 1] = 1.0;
      }
    }
    return true;
  };
  optimum(p, N == kOcpDefault ? kOcpFstar : kNaN, {}, N == kOcpDefault ? "interior point, tol 1e-12" : "");
  return p;
}

}  // namespace

std::vector<Maker> scalable() { return {{"rosen-chain", rosen_chain}, {"ocp", ocp}}; }

}  // namespace tvnlp::detail
