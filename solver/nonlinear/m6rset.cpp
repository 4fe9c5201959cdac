// The reduced-Hessian factor R: reset and rescale (m6rset), solves
// (m6rsol), the condition estimate (m6rcnd) and the column of a new
// superbasic (m6radd).  Storage as described in m6hess.h.
#include <algorithm>
#include <cfloat>
#include <cmath>

#include "core/units.h"
#include "nonlinear/m6hess.h"

namespace tv {

namespace {

void set_identity(int hdim, int ns, Dvec r) {
  int nr = std::min(ns, hdim);
  for (int i = 1; i <= nr; ++i) {
    r(m6rloc(hdim, i, i)) = 1.0;
    for (int j = i + 1; j <= nr; ++j) r(m6rloc(hdim, i, j)) = 0.0;
  }
  for (int j = hdim + 1; j <= ns; ++j) r(m6dloc(hdim, j)) = 1.0;
}

}  // namespace

void m6rset(Units& units, int iprint, int hdim, int ns, Dvec r, bool& reset, double& condr) {
  condr = 1.0;
  int nr = std::min(ns, hdim);
  if (reset) {
    // The diagonal-only part is reset too, also when the triangle is empty
    // (hdim = 0).
    set_identity(hdim, ns, r);
    reset = false;
    return;
  }
  if (nr <= 0) return;

  double dmax = 0.0, dmin = DBL_MAX;
  for (int j = 1; j <= nr; ++j) {
    double d = std::fabs(r(m6rloc(hdim, j, j)));
    dmax = std::max(dmax, d);
    dmin = std::min(dmin, d);
  }
  if (!(dmin > 0.0) || !std::isfinite(dmax)) {
    // A zero (or broken) diagonal has no square root to scale by.
    set_identity(hdim, ns, r);
    return;
  }
  // Column j scaled by 1/sqrt(|R(j,j)|).  Row by row, R(j,j) for j > i is
  // still the old value when row i is scaled; row i's own diagonal is read
  // before it changes.
  for (int i = 1; i <= nr; ++i) {
    for (int j = nr; j >= i; --j) {
      double& rij = r(m6rloc(hdim, i, j));
      rij /= std::sqrt(std::fabs(r(m6rloc(hdim, j, j))));
    }
  }
  condr = dmax / dmin;
  units.linef(iprint, " Hessian modified.  CondR =%8.1E", condr);
}

void m6rsol(int mode, int hdim, int ns, CDvec r, Dvec y) {
  int nr = std::min(ns, hdim);
  // Row i of the triangle is contiguous: R(i,i..nr) is row(i)[0..nr-i].
  auto row = [&](int i) { return r.sub(m6rloc(hdim, i, i), nr - i + 1).data(); };
  double* yv = y.head(std::max(ns, 0)).data();
  if (mode == 1) {
    // Back substitution R x = y.  The dot products use four partial sums:
    // one sum would wait on every addition, and these solves are most of
    // an iteration's work when the triangle is large.
    for (int i = nr; i >= 1; --i) {
      const double* ri = row(i);
      const double* yi = yv + i;  // y(i+1..nr)
      const int len = nr - i;
      double s0 = 0.0, s1 = 0.0, s2 = 0.0, s3 = 0.0;
      int k = 1;
      for (; k + 3 <= len; k += 4) {
        s0 += ri[k] * yi[k - 1];
        s1 += ri[k + 1] * yi[k];
        s2 += ri[k + 2] * yi[k + 1];
        s3 += ri[k + 3] * yi[k + 2];
      }
      for (; k <= len; ++k) s0 += ri[k] * yi[k - 1];
      yv[i - 1] = (yv[i - 1] - ((s0 + s1) + (s2 + s3))) / ri[0];
    }
  } else {
    // Forward substitution R'x = y, by rows of R.
    for (int i = 1; i <= nr; ++i) {
      const double* ri = row(i);
      const double t = yv[i - 1] / ri[0];
      yv[i - 1] = t;
      if (t == 0.0) continue;
      double* yi = yv + i;
      const int len = nr - i;
      for (int k = 1; k <= len; ++k) yi[k - 1] -= t * ri[k];
    }
  }
  for (int j = hdim + 1; j <= ns; ++j) y(j) /= r(m6dloc(hdim, j));
}

void m6rcnd(int hdim, int ns, CDvec r, double& dmax, double& dmin, double& cond) {
  int nr = std::min(ns, hdim);
  dmax = dmin = cond = 1.0;
  if (nr <= 0) return;
  dmax = 0.0;
  dmin = DBL_MAX;
  for (int j = 1; j <= nr; ++j) {
    double d = std::fabs(r(m6rloc(hdim, j, j)));
    dmax = std::max(dmax, d);
    dmin = std::min(dmin, d);
  }
  double ratio = dmin > 0.0 ? dmax / dmin : DBL_MAX;
  cond = ratio < std::sqrt(DBL_MAX) ? ratio * ratio : DBL_MAX;
}

void m6radd(int hdim, int ns, Dvec r) {
  if (ns <= 0) return;
  if (ns > hdim) {
    r(m6dloc(hdim, ns)) = 1.0;
    return;
  }
  for (int i = 1; i < ns; ++i) r(m6rloc(hdim, i, ns)) = 0.0;
  r(m6rloc(hdim, ns, ns)) = 1.0;
}

}  // namespace tv
