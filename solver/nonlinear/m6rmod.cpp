// Updates of the reduced-Hessian factor R: the rank-one modification
// (m6rmod) and its two users, the BFGS update after a step (m6bfgs) and the
// update after a superbasic replaced a basic variable (m6bswp).
//
// m6rmod forms R + v w' without ever holding a full matrix: a first sweep of
// plane rotations folds v(1..lastv) into its component lastv, turning row
// lastv of R into a "working row" that fills in to the left; delta w is
// added to it; a second sweep eliminates the working row's fill against the
// diagonal of rows 1..lastv-1.  Rotations are orthogonal, so R'R changes by
// exactly the rank-one term.
#include <algorithm>
#include <cmath>

#include "nonlinear/m6hess.h"

namespace tv {

namespace {

// The plane rotation of the working row a and a row b of R, both of length
// len: a <- c a + s b, b <- s a - c b.  The two never overlap (the working
// row is a separate vector), so the loop runs over plain pointers.
void rotate(double c, double s, int len, double* __restrict a, double* __restrict b) {
  for (int k = 0; k < len; ++k) {
    const double x = a[k], y = b[k];
    a[k] = c * x + s * y;
    b[k] = s * x - c * y;
  }
}

// sqrt(a^2 + b^2) for a rotation.  The plain formula is exact enough and
// several times cheaper than hypot; hypot is kept for magnitudes whose
// squares could overflow or underflow.  Called twice per row and update.
inline double rotnorm(double a, double b) {
  const double m = std::max(std::fabs(a), std::fabs(b));
  if (m > 1e-150 && m < 1e150) return std::sqrt(a * a + b * b);
  return std::hypot(a, b);
}

}  // namespace

void m6rmod(int hdim, int nr, Dvec r, Dvec v, CDvec w, int lastv, double delta, double toldia,
            double tolrot, int& inform) {
  inform = 1;
  if (nr <= 0) return;
  // Row i of the triangle from R(i,i) to R(i,nr), contiguous.
  auto row = [&](int i) { return r.sub(m6rloc(hdim, i, i), nr - i + 1).data(); };
  double* vv = v.head(nr).data();
  // v(1..nr) becomes the working row: v(lastv..nr) = row lastv of R.
  if (nr >= lastv) {
    delta = v(lastv);
    for (int j = lastv; j <= nr; ++j) v(j) = r(m6rloc(hdim, lastv, j));
  }

  // First sweep: fold v(i) into delta, mixing row i with the working row.
  for (int i = lastv - 1; i >= 1; --i) {
    double t = v(i);
    v(i) = 0.0;
    if (std::fabs(t) <= tolrot) continue;
    double h = rotnorm(delta, t);
    double c = delta / h, s = t / h;
    delta = h;
    rotate(c, s, nr - i + 1, vv + (i - 1), row(i));
  }

  for (int j = 1; j <= nr; ++j) v(j) += delta * w(j);

  // Second sweep: eliminate the fill of the working row.
  int last = std::min(lastv - 1, nr);
  for (int j = 1; j <= last; ++j) {
    double t = v(j);
    if (std::fabs(t) <= tolrot) continue;
    double& rjj = r(m6rloc(hdim, j, j));
    double h = rotnorm(rjj, t);
    double c = rjj / h, s = t / h;
    rjj = h;
    v(j) = 0.0;
    rotate(-c, s, nr - j, vv + j, row(j) + 1);
  }

  if (lastv <= nr) {
    for (int j = lastv; j <= nr; ++j) r(m6rloc(hdim, lastv, j)) = v(j);
    if (std::fabs(r(m6rloc(hdim, lastv, lastv))) <= toldia) inform = 2;
  }
}

void m6bfgs(int hdim, int ns, Dvec r, CDvec g, CDvec g2, CDvec p, Dvec v, Dvec w, double alfa,
            double eps050, double eps080, int& inform) {
  inform = 0;
  if (ns <= 0) return;
  double gtp = 0.0, gtp2 = 0.0;
  for (int j = 1; j <= ns; ++j) {
    gtp += g(j) * p(j);
    gtp2 += g2(j) * p(j);
  }
  // Curvature test: the directional derivative must rise by more than 9% of
  // |g'p|.  A direction that was not downhill, or a product alfa*y's that
  // is not a positive number, gives no usable curvature either.
  if (gtp2 <= 0.91 * gtp) return;
  double ys = alfa * (gtp2 - gtp);
  if (!(gtp < 0.0) || !(ys > 0.0) || !std::isfinite(ys)) return;
  double s1 = 1.0 / std::sqrt(-gtp);
  double s2 = 1.0 / std::sqrt(ys);
  if (!std::isfinite(s1) || !std::isfinite(s2) || s2 == 0.0) return;

  // v = R p / ||R p||, a unit vector; w such that R + v w' carries the update.
  for (int j = 1; j <= ns; ++j) v(j) = -v(j) * s1;
  if (std::fabs(s1 / s2 - 1.0) >= 0.5) {
    for (int j = 1; j <= ns; ++j) w(j) = s2 * (g2(j) - g(j)) + s1 * g(j);
  } else {
    for (int j = 1; j <= ns; ++j) w(j) = s2 * g2(j) + (s1 - s2) * g(j);
  }

  int nr = std::min(ns, hdim);
  double delta = 0.0;
  for (int j = hdim + 1; j <= ns; ++j) delta += v(j) * v(j);
  delta = std::sqrt(delta);
  int lastv = 1;
  if (delta > eps080) {
    lastv = nr + 1;
  } else {
    for (int j = nr; j >= 1; --j) {
      if (std::fabs(v(j)) > eps080) {
        lastv = j;
        break;
      }
    }
  }
  m6rmod(hdim, nr, r, v, w, lastv, delta, eps050, eps080, inform);

  // Diagonal part: d(j)^2 gains y(j)^2/(y's) and loses g(j)^2/|g'p|.  In
  // floating point the sum can reach zero or below; such an entry starts
  // again from 1 rather than becoming a NaN or a zero divisor.
  for (int j = hdim + 1; j <= ns; ++j) {
    double& d = r(m6dloc(hdim, j));
    double sg = s1 * g(j);
    double t = w(j) - sg;
    double d2 = d * d + t * t - sg * sg;
    d = (d2 > 0.0 && std::isfinite(d2)) ? std::sqrt(d2) : 1.0;
  }
}

void m6bswp(int hdim, int nr, Dvec r, Dvec v, CDvec w, int jq, double eps050, double eps080,
            int& inform) {
  // v = R e_jq (zero below row jq); tolerances relative to its size.
  double s = 0.0;
  for (int i = 1; i <= jq; ++i) {
    v(i) = r(m6rloc(hdim, i, jq));
    s += std::fabs(v(i));
  }
  for (int i = jq + 1; i <= nr; ++i) v(i) = 0.0;
  m6rmod(hdim, nr, r, v, w, jq, 0.0, eps080 * s, eps050 * s, inform);
}

}  // namespace tv
