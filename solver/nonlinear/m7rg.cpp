// Kernels of the reduced-gradient iteration: the reduced gradient (m7rg),
// the gradient in basis order (m7bsg), the search direction (m7sdir) and
// the choice of a superbasic to replace a basic variable (m7chzq).
#include <algorithm>
#include <cmath>

#include "core/units.h"
#include "nonlinear/rgit.h"

namespace tv {

namespace {

// a(j)'y for a structural column, y(j - n) for a slack.
double column_dot(int j, int n, CDvec a, CIvec ha, CIvec ka, CDvec y) {
  if (j > n) return y(j - n);
  double t = 0.0;
  for (int l = ka(j); l < ka(j + 1); ++l) t += a(l) * y(ha(l));
  return t;
}

}  // namespace

double m7rg(int m, int ns, int n, CDvec a, CIvec ha, CIvec ka, CIvec kbs, CDvec grd, CDvec pi,
            Dvec rg) {
  double rgnorm = 0.0;
  for (int k = 1; k <= ns; ++k) {
    rg(k) = grd(m + k) - column_dot(kbs(m + k), n, a, ha, ka, pi);
    rgnorm = std::max(rgnorm, std::fabs(rg(k)));
  }
  return rgnorm;
}

void m7bsg(int count, int nnl, CIvec kbs, CDvec g, Dvec grd, int jobj, double objgrad) {
  for (int k = 1; k <= count; ++k) {
    const int j = kbs(k);
    grd(k) = j <= nnl && j > 0 ? g(j) : 0.0;
    if (j == jobj && jobj > 0) grd(k) = objgrad;
  }
}

void m7sdir(int hdim, int ns, CDvec r, CDvec rg, Dvec v, Dvec p, bool useR) {
  if (!useR) {
    for (int k = 1; k <= ns; ++k) p(k) = -rg(k);
    return;
  }
  for (int k = 1; k <= ns; ++k) v(k) = rg(k);
  m6rsol(2, hdim, ns, r, v);
  for (int k = 1; k <= ns; ++k) p(k) = v(k);
  m6rsol(1, hdim, ns, r, p);
  for (int k = 1; k <= ns; ++k) p(k) = -p(k);
}

int m7chzq(Units& io, int iprint, int m, int ns, int n, CDvec a, CIvec ha, CIvec ka, CIvec kbs,
           CDvec xbs, CDvec blbs, CDvec bubs, CDvec y, double pivtol, bool formR, Dvec w,
           double& pivot) {
  pivot = 0.0;
  double maxpiv = 0.0;
  for (int k = 1; k <= ns; ++k) {
    w(k) = column_dot(kbs(m + k), n, a, ha, ka, y);
    maxpiv = std::max(maxpiv, std::fabs(w(k)));
  }
  if (maxpiv < pivtol) {
    io.line(iprint, "");
    io.linef(iprint, " XXX  m7chzq.  Max pivot is too small:%11.1E", maxpiv);
    return 0;
  }
  // Among the adequate pivots, the superbasic with the most room to its
  // bounds: it can absorb the basic variable's movement longest.
  int kq = 0;
  double dbest = -1.0;
  for (int k = 1; k <= ns; ++k) {
    if (std::fabs(w(k)) < 0.1 * maxpiv) continue;
    const int pos = m + k;
    const double d = std::min(xbs(pos) - blbs(pos), bubs(pos) - xbs(pos));
    if (d >= dbest) {
      dbest = d;
      kq = k;
    }
  }
  pivot = w(kq);
  if (formR) {
    w(kq) -= 1.0;
    const double s = -1.0 / pivot;
    for (int k = 1; k <= ns; ++k) w(k) *= s;
  }
  return kq;
}

}  // namespace tv
