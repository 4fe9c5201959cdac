#include "lp_measure.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tvfuzz {

PointErrors measure_point(const LpData& lp, int sense, const std::vector<double>& x,
                          const std::vector<double>& pi_in, double obj) {
  PointErrors e;
  const int m = lp.m, n = lp.n, nb = n + m;
  for (int j = 0; j < nb; ++j) {
    const double lo = (lp.bl[j] - x[j]) / (1.0 + std::fabs(lp.bl[j]));
    const double up = (x[j] - lp.bu[j]) / (1.0 + std::fabs(lp.bu[j]));
    const double v = std::max(lo, up);
    if (v > e.primal) e.primal = v, e.jprimal = j + 1;
  }

  // Rows, and the reduced cost d_j = -sum_i pi_i a_ij of every column (the
  // objective row's multiplier carries the cost); d of the slack of row i is
  // -pi_i.
  std::vector<double> pi(m);
  for (int i = 0; i < m; ++i) pi[i] = sense < 0 ? -pi_in[i] : pi_in[i];
  std::vector<double> r(m, 0.0), size(m, 0.0), d(nb, 0.0), dsize(nb, 0.0);
  double cx = 0.0;
  for (int j = 0; j < n; ++j) {
    for (int k = lp.ka[j]; k < lp.ka[j + 1]; ++k) {
      const int i = lp.ha[k - 1] - 1;
      const double aij = lp.a[k - 1];
      r[i] += aij * x[j];
      size[i] += std::fabs(aij * x[j]);
      d[j] -= pi[i] * aij;
      dsize[j] += std::fabs(pi[i] * aij);
      if (i + 1 == lp.objrow) cx += std::fabs(aij * x[j]);
    }
  }
  for (int i = 0; i < m; ++i) {
    const double v = std::fabs(r[i] + x[n + i]) / (1.0 + size[i] + std::fabs(x[n + i]));
    if (v > e.rows) e.rows = v, e.irows = i + 1;
    d[n + i] = -pi[i];
    dsize[n + i] = std::fabs(pi[i]);
  }

  // Minimisation of the function the multipliers belong to: d >= 0 at a
  // lower bound, <= 0 at an upper bound, 0 in between.  Fixed variables and
  // the objective row's slack are free of the conditions.  "At a bound"
  // allows the primal tolerance of the measure above.
  const int jobj = lp.objrow > 0 ? n + lp.objrow - 1 : -1;
  for (int j = 0; j < nb; ++j) {
    if (j == jobj || !(lp.bl[j] < lp.bu[j])) continue;
    const double near = 1e-7 * (1.0 + std::fabs(x[j]));
    const bool atlow = x[j] <= lp.bl[j] + near, atupp = x[j] >= lp.bu[j] - near;
    double v = 0.0;
    if (atlow && !atupp) {
      v = -d[j];
    } else if (atupp && !atlow) {
      v = d[j];
    } else if (!atlow && !atupp) {
      v = std::fabs(d[j]);
    }
    v /= 1.0 + dsize[j];
    if (v > e.dual) e.dual = v, e.jdual = j + 1;
  }

  const double f = lp.objconst - (lp.objrow > 0 ? x[n + lp.objrow - 1] : 0.0);
  e.objective = std::fabs(obj - f) / (1.0 + std::fabs(obj) + cx);
  return e;
}

std::string point_fault(const PointErrors& e, double primal_tol, double rows_tol, double dual_tol,
                        double obj_tol) {
  char buf[160];
  buf[0] = '\0';
  // NaN compares false with everything: test the negations.
  if (!(e.primal <= primal_tol)) {
    std::snprintf(buf, sizeof buf, "bound of variable %d violated by %.3g (relative)", e.jprimal, e.primal);
  } else if (!(e.rows <= rows_tol)) {
    std::snprintf(buf, sizeof buf, "row %d: a x + s = %.3g (relative)", e.irows, e.rows);
  } else if (!(e.dual <= dual_tol)) {
    std::snprintf(buf, sizeof buf, "reduced cost of variable %d has the wrong sign by %.3g (relative)", e.jdual,
                  e.dual);
  } else if (!(e.objective <= obj_tol)) {
    std::snprintf(buf, sizeof buf, "objective value differs from the point's by %.3g (relative)", e.objective);
  }
  return buf;
}

std::string describe_point(const LpData& lp, const std::vector<double>& x, const std::vector<int32_t>& hs,
                           const std::vector<double>& pi, int limit) {
  const int m = lp.m, n = lp.n;
  std::vector<double> d(n + m, 0.0);
  for (int j = 0; j < n; ++j)
    for (int k = lp.ka[j]; k < lp.ka[j + 1]; ++k) d[j] -= pi[lp.ha[k - 1] - 1] * lp.a[k - 1];
  for (int i = 0; i < m; ++i) d[n + i] = -pi[i];
  std::string out = "     j            bl            bu             x hs             d\n";
  char buf[128];
  for (int j = 0; j < n + m && j < limit; ++j) {
    std::snprintf(buf, sizeof buf, "%6d %13.6g %13.6g %13.6g %2d %13.6g\n", j + 1, lp.bl[j], lp.bu[j], x[j], hs[j],
                  d[j]);
    out += buf;
  }
  for (int i = 0; i < m && i < limit; ++i) {
    std::snprintf(buf, sizeof buf, "  pi(%d) = %.17g\n", i + 1, pi[i]);
    out += buf;
  }
  return out;
}

}  // namespace tvfuzz
