// Scales by alternating geometric means.
//
// Column and row passes set each scale to sqrt(min * max) of the magnitudes
// in its column or row (already divided by the other side's scales), with
// the smallest magnitude taken as at least 1e-4 of the largest so that a few
// tiny entries cannot dominate.  Passes stop when the largest column ratio
// max/min no longer improves by the Scale tolerance.
#include "lu/m2scal.h"

#include <algorithm>
#include <cmath>
#include <string>

#include "core/context.h"
#include "core/kernels.h"
#include "core/run_state.h"
#include "options/params.h"

namespace tv {

namespace {

constexpr double kFloor = 1.0E-4;     // min magnitude >= kFloor * max magnitude
constexpr double kSmallNonlin = 0.01; // nonlinear rows/columns this small stay unscaled
constexpr int kMaxPass = 10;

// Finite-bound tests.  A bound is infinite when its magnitude is at least
// 0.9 * infbnd.
inline bool finite_lower(double b, double big) { return b > -big; }
inline bool finite_upper(double b, double big) { return b < big; }

// Lines of (index, value) pairs, five per line.
void print_pairs(Context& ctx, int first, int last, CDvec v, int offset) {
  std::string line;
  int count = 0;
  for (int k = first; k <= last; ++k) {
    line += strf("%6d%16.5G", k, v(offset + k));
    if (++count == 5) {
      ctx.prt(line);
      line.clear();
      count = 0;
    }
  }
  if (count > 0) ctx.prt(line);
}

}  // namespace

// Why the limit: scaling divides a finite bound b by its scale s and leaves
// an infinite bound (|b| >= 0.9 infbnd) alone; unscaling must tell the two
// apart from the held value alone.  If s < 1 could carry b to 0.9 infbnd or
// beyond, the held value would look infinite and never be unscaled.  So a
// scale below 1 is raised until every finite bound of its variable is held
// below 0.8 infbnd (s = |b| / (0.5 infbnd), capped at 1; with s = 1 the held
// value is b itself).  A scale >= 1 cannot enlarge a bound.  Then "finite" is
// decided from the held value exactly as from the unscaled one, and the
// rule is idempotent: a bound that moved by rounding in a scale/unscale
// round trip does not change the scale again.
int safe_scales(const Problem& P, Dvec sc, double infbnd) {
  const double big = 0.9 * infbnd;
  const double held_max = 0.8 * infbnd;
  const double target = 0.5 * infbnd;
  int changed = 0;
  for (int j = 1; j <= P.nb; ++j) {
    double s = sc(j);
    if (!(s > 0.0) || !std::isfinite(s)) {
      sc(j) = 1.0;
      ++changed;
      continue;
    }
    if (s >= 1.0) continue;
    double b = 0.0;
    if (finite_lower(P.bl(j), big)) b = std::fabs(P.bl(j));
    if (finite_upper(P.bu(j), big)) b = std::max(b, std::fabs(P.bu(j)));
    if (b / s > held_max) {
      sc(j) = std::min(1.0, b / target);
      ++changed;
    }
  }
  return changed;
}

void m2scal(Context& ctx, const Problem& P, CIvec rowtype, Dvec sc, Dvec rmin, Dvec rmax) {
  const int m = P.m, n = P.n, nb = P.nb;
  const int nncon = P.nncon, nnjac = P.nnjac, nnl = P.nnl();
  const Params& par = ctx.par;
  const double infbnd = par.mc.infbnd;
  const double big = 0.9 * infbnd;
  double scaletol = par.scaletol;
  if (scaletol >= 1.0) scaletol = 0.99;
  if (!(scaletol > 0.0)) scaletol = 0.9;

  ctx.prt("");
  ctx.prt("");
  ctx.prt(" Scaling");
  ctx.prt(" -------");
  ctx.prt("             Min elem    Max elem       Max col ratio");

  // Option 1 scales only the linear rows and columns.
  int m1 = 1, n1 = 1;
  if (par.scaleopt == 1) {
    m1 = nncon + 1;
    n1 = nnl + 1;
  }
  dload(nb, 1.0, sc, 1);
  if (n1 > n) return;
  Dvec r = sc.sub(n + 1, m);

  // Column scales are held as divisors d(j) during the passes.
  double prev = 1.0;
  for (int p = 0;; ++p) {
    double emin = big, emax = 0.0, ratio = 1.0;
    for (int j = n1; j <= n; ++j) {
      if (!(P.bl(j) < P.bu(j))) continue;  // fixed columns do not count
      double cmin = big, cmax = 0.0;
      for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
        const int i = P.ha(k);
        double v = std::fabs(P.a(k));
        if (v == 0.0 || rowtype(i) == 2) continue;
        v /= r(i);
        cmin = std::min(cmin, v);
        cmax = std::max(cmax, v);
      }
      cmin = std::max(cmin, kFloor * cmax);
      double d = std::sqrt(cmin) * std::sqrt(cmax);
      if ((j <= nnjac && cmax <= kSmallNonlin) || cmax <= 0.0) d = 1.0;
      if (p >= 1) sc(j) = d;
      const double dj = sc(j);
      emin = std::min(emin, cmin / dj);
      emax = std::max(emax, cmax / dj);
      ratio = std::max(ratio, cmax / cmin);
    }
    if (ratio >= 1.0E+10) {
      ctx.prt(strf(" After%3d%12.2E%12.2E%20.9E", p, emin, emax, ratio));
    } else {
      ctx.prt(strf(" After%3d%12.2E%12.2E%20.2f", p, emin, emax, ratio));
    }
    if ((p >= 3 && ratio >= scaletol * prev) || p == kMaxPass) break;
    prev = ratio;

    // Row pass over every non-fixed column.
    for (int i = m1; i <= m; ++i) {
      rmin(i) = big;
      rmax(i) = 0.0;
    }
    for (int j = 1; j <= n; ++j) {
      if (!(P.bl(j) < P.bu(j))) continue;
      const double dj = sc(j);
      for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
        const int i = P.ha(k);
        double v = std::fabs(P.a(k));
        if (i < m1 || v == 0.0) continue;
        v /= dj;
        rmin(i) = std::min(rmin(i), v);
        rmax(i) = std::max(rmax(i), v);
      }
    }
    for (int i = m1; i <= m; ++i) {
      if (i <= nncon && rmax(i) <= kSmallNonlin) {
        r(i) = 1.0;
      } else {
        const double lo = std::max(rmin(i), kFloor * rmax(i));
        r(i) = std::sqrt(lo) * std::sqrt(rmax(i));  // 0 for a row without entries
      }
    }
  }

  // Divisors to column scales; report the extremes.
  int jmax = 0, jmin = 0, ncol = 0;
  for (int j = 1; j <= n; ++j) {
    sc(j) = 1.0 / sc(j);
    const double c = sc(j);
    if (c > 0.5 && c < 2.0) ++ncol;
    if (jmax == 0 || c > sc(jmax)) jmax = j;
    if (jmin == 0 || c < sc(jmin)) jmin = j;
  }
  ctx.prt("");
  ctx.prt("            Min scale                       Max scale      Between 0.5 and 2.0");
  ctx.prt(strf(" Col%7d%10.1E            Col%7d%10.1E%17d%8.1f", jmax, 1.0 / sc(jmax), jmin,
               1.0 / sc(jmin), ncol, 100.0 * ncol / n));

  // Rows: a free row is scaled by its largest entry; a row without entries
  // keeps scale 1.
  for (int i = m1; i <= m; ++i) {
    if (rowtype(i) == 2) {
      r(i) = rmax(i) > 0.0 ? rmax(i) : 1.0;
    } else if (r(i) == 0.0) {
      r(i) = 1.0;
    }
  }
  int imin = 0, imax = 0, nrow = 0;
  for (int i = 1; i <= m; ++i) {
    if (rowtype(i) == 2) continue;
    const double ri = r(i);
    if (ri > 0.5 && ri < 2.0) ++nrow;
    if (imin == 0 || ri < r(imin)) imin = i;
    if (imax == 0 || ri > r(imax)) imax = i;
  }
  ctx.prt(strf(" Row%7d%10.1E            Row%7d%10.1E%17d%8.1f", imin, imin > 0 ? r(imin) : 0.0,
               imax, imax > 0 ? r(imax) : 0.0, nrow, m > 0 ? 100.0 * nrow / m : 0.0));

  if (par.scaleopt == 2) {
    // Bound normalization: the rows' values at the nominal point (each
    // variable at the bound nearest zero when zero is not feasible for it)
    // should be of order 1 after scaling.
    Dvec f = rmin;
    for (int i = 1; i <= m; ++i) f(i) = 0.0;
    for (int j = 1; j <= nb; ++j) {
      double x = 0.0;
      if (P.bl(j) > 0.0 && finite_upper(P.bl(j), big)) {
        x = P.bl(j);
      } else if (P.bu(j) < 0.0 && finite_lower(P.bu(j), big)) {
        x = P.bu(j);
      }
      if (x == 0.0) continue;
      if (j <= n) {
        for (int k = P.ka(j); k < P.ka(j + 1); ++k) f(P.ha(k)) += x * P.a(k);
      } else {
        f(j - n) += x;
      }
    }
    for (int i = 1; i <= m; ++i) {
      if (rowtype(i) == 2) f(i) = 0.0;
    }
    double q = 0.0, rn = 0.0;
    for (int i = 1; i <= m; ++i) {
      q = std::max(q, std::fabs(f(i)));
      f(i) /= r(i);
      rn = std::max(rn, std::fabs(f(i)));
    }
    ctx.prt("");
    ctx.prt(strf(" Norm of fixed columns and slacks%20.1E", q));
    ctx.prt(strf(" (before and after row scaling)  %20.1E", rn));
    const double grow = std::max(rn, 1.0);
    for (int j = 1; j <= nb; ++j) sc(j) *= grow;

    // Scales so large that the scaled feasibility tolerance would be
    // meaningless are brought down together.
    double smax = 0.0;
    for (int j = 1; j <= n; ++j) smax = std::max(smax, sc(j));
    for (int i = 1; i <= m; ++i) {
      if (rowtype(i) != 2) smax = std::max(smax, r(i));
    }
    const double feastol = par.feastol > 0.0 ? par.feastol : 1.0E-6;
    const double shrink = 0.1 / (feastol * smax);
    if (shrink < 1.0) {
      for (int j = 1; j <= nb; ++j) sc(j) *= shrink;
      ctx.prt(strf(" Scales are large --- reduced by%20.1E", shrink));
    }
  }

  safe_scales(P, sc, infbnd);

  if (par.scaleprt >= 1 && par.prtfile > 0) {
    ctx.prt("");
    ctx.prt("");
    ctx.prt(std::string(" Row scales  r(i)") + "        " + " a(i,j)  =   r(i)  *  scaled a(i,j)  /  c(j)");
    ctx.prt(" ----------------");
    ctx.prt("");
    print_pairs(ctx, m1, m, sc, n);
    ctx.prt("");
    ctx.prt("");
    ctx.prt(std::string(" Column scales  c(j)") + "     " + " x(j)    =   c(j)  *  scaled x(j)");
    ctx.prt(" -------------------");
    ctx.prt("");
    print_pairs(ctx, n1, n, sc, 0);
  }
}

void m2scla(Context& ctx, int mode, Problem& P, Dvec sc) {
  const int m = P.m, n = P.n, nb = P.nb;
  const double infbnd = ctx.par.mc.infbnd;
  const double big = 0.9 * infbnd;
  if (mode == 1) safe_scales(P, sc, infbnd);
  CDvec r = sc.sub(n + 1, m);
  const bool scale = mode == 1;

  for (int j = 1; j <= n; ++j) {
    const double s = sc(j);
    for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
      const double ri = r(P.ha(k));
      P.a(k) *= scale ? s / ri : ri / s;
    }
  }
  // Bounds: "finite" is decided from the value held, which safe_scales keeps
  // equivalent to deciding it from the unscaled value.
  for (int j = 1; j <= nb; ++j) {
    const double s = sc(j);
    if (scale) {
      P.xn(j) /= s;
      if (finite_lower(P.bl(j), big)) P.bl(j) /= s;
      if (finite_upper(P.bu(j), big)) P.bu(j) /= s;
    } else {
      P.xn(j) *= s;
      if (finite_lower(P.bl(j), big)) P.bl(j) *= s;
      if (finite_upper(P.bu(j), big)) P.bu(j) *= s;
    }
  }
  for (int i = 1; i <= m; ++i) {
    if (scale) {
      P.pi(i) *= r(i);
    } else {
      P.pi(i) /= r(i);
    }
  }
  if (scale) {
    if (P.objrow > 0) ctx.run.objscale = r(P.objrow);
  } else {
    ctx.run.objscale = 1.0;
  }
}

void unscale_rc(int nb, CDvec sc, Dvec rc) {
  for (int j = 1; j <= nb; ++j) rc(j) /= sc(j);
}

}  // namespace tv
