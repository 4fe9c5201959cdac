// Convex problems built around a chosen solution, so that the optimum is
// known exactly.  A point x*, the rows and bounds active there and their
// multipliers are drawn first (strict complementarity: every active
// constraint gets a multiplier of its sign, every inactive one a gap); the
// objective's linear term is then chosen so that the optimality conditions
//   grad f(x*) = A' lambda + mu
// hold.  The objective is strictly convex, so x* is the only minimizer and
// f* = f(x*) is exact up to rounding.
#include <algorithm>
#include <cmath>
#include <memory>
#include <set>

#include "problems_impl.h"

namespace tvnlp::detail {

namespace {

// The drawn solution: rows (as lin entries), bounds, x*, and w = A'lambda + mu.
struct KktPoint {
  std::vector<double> xstar, w;
};

// Rows of a random sparse matrix (per_row entries in distinct columns; with
// band > 0 the columns lie in a window of that width that moves along the
// diagonal), their bounds and the column bounds, all consistent with x*.
KktPoint draw_kkt(NlpProblem& p, int m, int per_row, int band, Lcg& rnd) {
  const int n = p.n;
  KktPoint k;
  k.xstar.resize(n);
  k.w.assign(n, 0.0);
  for (int j = 0; j < n; ++j) k.xstar[j] = rnd.uniform(-1.0, 1.0);
  // column bounds: 20% active at lower, 10% at upper, the rest inactive or free
  for (int j = 0; j < n; ++j) {
    const double u = rnd.next(), x = k.xstar[j];
    if (u < 0.2) {
      p.xlo[j] = x;
      p.xup[j] = x + rnd.uniform(0.5, 2.0);
      k.w[j] += rnd.uniform(0.5, 2.0);
    } else if (u < 0.3) {
      p.xlo[j] = rnd.next() < 0.5 ? -kInf : x - rnd.uniform(0.5, 2.0);
      p.xup[j] = x;
      k.w[j] -= rnd.uniform(0.5, 2.0);
    } else if (u < 0.7) {
      p.xlo[j] = x - rnd.uniform(0.5, 2.0);
      p.xup[j] = x + rnd.uniform(0.5, 2.0);
    }  // else free
  }
  for (int i = 0; i < m; ++i) {
    std::set<int> cols;
    const int lo = band > 0 ? std::min(n - band, int(double(i) * (n - band) / std::max(1, m - 1))) : 0;
    const int width = band > 0 ? band : n;
    while (static_cast<int>(cols.size()) < std::min(per_row, width)) cols.insert(lo + int(rnd.next() * width) % width);
    double r = 0.0;
    std::vector<std::pair<int, double>> terms;
    for (int j : cols) {
      double a = rnd.uniform(0.5, 2.0) * (rnd.next() < 0.5 ? -1.0 : 1.0);
      terms.push_back({j, a});
      r += a * k.xstar[j];
    }
    // 40% active at lower, 20% at upper, 20% equalities, 20% inactive ranges
    const double u = rnd.next();
    double rl, ru, lambda = 0.0;
    if (u < 0.4) {
      rl = r;
      ru = rnd.next() < 0.5 ? kInf : r + rnd.uniform(0.5, 2.0);
      lambda = rnd.uniform(0.5, 2.0);
    } else if (u < 0.6) {
      rl = -kInf;
      ru = r;
      lambda = -rnd.uniform(0.5, 2.0);
    } else if (u < 0.8) {
      rl = ru = r;
      lambda = rnd.uniform(-2.0, 2.0);
    } else {
      rl = r - rnd.uniform(0.5, 2.0);
      ru = r + rnd.uniform(0.5, 2.0);
    }
    p.rlo.push_back(rl);
    p.rup.push_back(ru);
    for (auto [j, a] : terms) {
      p.lin.push_back({p.m, j, a});
      k.w[j] += lambda * a;
    }
    ++p.m;
  }
  return k;
}

// 0.5 x'Hx + g'x with H = diag(d) (band = false) or the tridiagonal matrix
// with diagonal 2 + d and off-diagonals -1 (band = true); the linear term
// g'x is put in the objective row when linear_row is set.
NlpProblem quadratic(const std::string& name, int n, int m, bool band, bool linear_row, unsigned long long seed) {
  Lcg rnd(seed);
  NlpProblem p = base(name, "qp", n, std::vector<double>(n, 0.0));
  KktPoint k = draw_kkt(p, m, band ? 3 : 4, band ? 8 : 0, rnd);
  auto d = std::make_shared<std::vector<double>>(n);
  for (int j = 0; j < n; ++j) (*d)[j] = rnd.uniform(1.0, 10.0);
  auto hx = [d, band, n](const double* x, double* y) {
    for (int j = 0; j < n; ++j) {
      y[j] = (band ? 2.0 + (*d)[j] : (*d)[j]) * x[j];
      if (band && j > 0) y[j] -= x[j - 1];
      if (band && j + 1 < n) y[j] -= x[j + 1];
    }
  };
  std::vector<double> h(n);
  hx(k.xstar.data(), h.data());
  auto g = std::make_shared<std::vector<double>>(n);
  for (int j = 0; j < n; ++j) (*g)[j] = k.w[j] - h[j];
  double fstar = 0.0;
  for (int j = 0; j < n; ++j) fstar += 0.5 * k.xstar[j] * h[j] + (*g)[j] * k.xstar[j];
  if (linear_row) p.cobj = *g;
  const bool own_linear = !linear_row;
  p.fobj = [hx, g, n, own_linear](const double* x, double& f, double* grad) {
    std::vector<double> y(n);
    hx(x, y.data());
    f = 0.0;
    for (int j = 0; j < n; ++j) {
      f += 0.5 * x[j] * y[j] + (own_linear ? (*g)[j] * x[j] : 0.0);
      if (grad) grad[j] = y[j] + (own_linear ? (*g)[j] : 0.0);
    }
    return true;
  };
  optimum(p, fstar, k.xstar, "analytic", 1e-12);
  return p;
}

// sum exp(x_j) - c_j x_j over n columns with m banded rows: separable,
// strictly convex, not quadratic.
NlpProblem separable_exp(const std::string& name, int n, unsigned long long seed) {
  Lcg rnd(seed);
  NlpProblem p = base(name, "scalable", n, std::vector<double>(n, 0.0));
  KktPoint k = draw_kkt(p, n / 2, 3, 6, rnd);
  auto c = std::make_shared<std::vector<double>>(n);
  double fstar = 0.0;
  for (int j = 0; j < n; ++j) {
    (*c)[j] = std::exp(k.xstar[j]) - k.w[j];
    fstar += std::exp(k.xstar[j]) - (*c)[j] * k.xstar[j];
  }
  p.fobj = [c, n](const double* x, double& f, double* g) {
    f = 0.0;
    for (int j = 0; j < n; ++j) {
      const double e = std::exp(x[j]);
      f += e - (*c)[j] * x[j];
      if (g) g[j] = e - (*c)[j];
    }
    return true;
  };
  optimum(p, fstar, k.xstar, "analytic", 1e-12);
  return p;
}

}  // namespace

std::vector<Maker> qp_known() {
  return {{"qp-diag-50", [](int) { return quadratic("qp-diag-50", 50, 20, false, false, 11); }},
          {"qp-band-200", [](int) { return quadratic("qp-band-200", 200, 80, true, true, 12); }},
          {"sep-exp", [](int size) { return separable_exp("sep-exp", size > 0 ? size : 2000, 13); }}};
}

}  // namespace tvnlp::detail
