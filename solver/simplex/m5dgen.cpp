// EXPAND control (m5dgen) and the recomputation of the basic variables with
// the row check (m5setx).
#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/kernels.h"
#include "lu/basis_state.h"
#include "lu/m2bsol.h"
#include "nonlinear/seams.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

int m5dgen(Context& ctx, int mode, Problem& P, int ns) {
  SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  if (mode == kExpandStart) {
    S.ndegen = 0;
    S.itnreset = 0;
    S.nreset[0] = S.nreset[1] = 0;
    S.delta0 = 0.5 * p.feastol;
    S.tau = p.expfreq >= 99999999 ? 0.0 : (0.99 * p.feastol - S.delta0) / p.expfreq;
    S.delta = S.delta0;
    return 0;
  }
  if (mode == kExpandPhaseEnd) {
    if (S.itn == S.itnreset) return 0;
    const int phase = S.ninf > 0 ? 0 : 1;
    if (S.nreset[phase] >= 2) return 0;
    S.nreset[phase] += 1;
  }
  S.itnreset = S.itn;

  // Put the nonbasic variables that drifted outside their bounds back.
  const double tol = p.mc.eps067;
  int count = 0;
  for (int j = 1; j <= P.nb; ++j) {
    const int h = P.hs(j);
    double dist;
    double bound;
    if (h == kHsLower) {
      bound = working_bound(ctx, P, j, false);
      dist = bound - P.xn(j);
    } else if (h == kHsUpper) {
      bound = working_bound(ctx, P, j, true);
      dist = P.xn(j) - bound;
    } else if (h == kHsFixed) {
      dist = std::fabs(P.xn(j) - P.bu(j));
      bound = P.bu(j);
    } else {
      continue;
    }
    if (dist > 0.0) {
      P.xn(j) = bound;
      if (dist > tol) ++count;
    }
  }
  S.delta = S.delta0;
  if (count > 0) {
    if (m5setx(ctx, kSetxRecompute, P, ns) != 0) ctx.bas.demand = kDemandRowCheck;
    S.ninf = 1;  // the cost former recounts
    if (!(p.prtlevel == 0 && p.nncon > 0)) {
      ctx.both(strf(" Itn%9d --%8d  nonbasics set on bound, basics recomputed", S.itn, count));
    }
  }
  return count;
}

int m5setx(Context& ctx, int mode, Problem& P, int ns) {
  const Params& p = ctx.par;
  SimplexState& S = ctx.spx;
  const int m = P.m, n = P.n;
  Dvec r = ctx.ws.dvec(ctx.part.y2).head(m);
  Dvec d = ctx.ws.dvec(ctx.part.y).head(m);
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  Dvec xbs = ctx.ws.dvec(ctx.part.xbs);

  // r = rhs - A x (- s), skipping the columns whose |x_j| is at most
  // eps^0.8 (every nonzero x_j with kSetxRefineAll: a coefficient of 1e10
  // makes an x_j of 1e-16 count in its row).
  const double xtol = mode == kSetxRefineAll ? 0.0 : p.mc.eps080;
  auto residual = [&](bool slacks) {
    for (int i = 1; i <= m; ++i) r(i) = 0.0;
    if (P.nncon > 0) ctx.seams.row_rhs(ctx, P, r.head(P.nncon));
    m2apr5(5, n, P.nncon, P.nnjac, xtol, P.a, P.ha, P.ka, P.xn, r);
    if (slacks) {
      for (int i = 1; i <= m; ++i) r(i) -= P.xn(n + i);
    }
  };

  if (mode == kSetxSlacks) {
    residual(false);
    for (int i = 1; i <= m; ++i) {
      const double bl = P.bl(n + i), bu = P.bu(n + i);
      const double t = std::min(std::max(r(i), bl), bu);
      const double bound = (t - bl > bu - t) ? bu : bl;
      P.xn(n + i) = std::fabs(t - bound) <= p.mc.eps067 ? bound : t;
    }
    return 0;
  }

  residual(true);
  const int nbs1 = m + ns;
  if (mode == kSetxRecompute || mode == kSetxRefineAll) {
    m5bsx(0, nbs1, kbs, xbs, P.xn);
    // One step of iterative refinement, and a second one when the first
    // left far more than rounding behind: basic values that start far from
    // the solve's answer (a start point of 1e+10 for a variable whose value
    // is 3) lose their digits in the first correction itself.
    for (int step = 0; step < 2; ++step) {
      double rmax = 0.0, xmax = 0.0;
      for (int i = 1; i <= m; ++i) rmax = std::max(rmax, std::fabs(r(i)));
      for (int k = 1; k <= m; ++k) xmax = std::max(xmax, std::fabs(xbs(k)));
      if (rmax / (1.0 + xmax) <= (step == 0 ? p.mc.eps080 : p.mc.eps050)) break;
      m2bsol(ctx, kFtran, r, d);
      for (int k = 1; k <= m; ++k) xbs(k) += d(k);
      m5bsx(1, m, kbs, xbs, P.xn);
      residual(true);
    }
  }
  if (mode == kSetxRefineAll) return 0;

  double normx = 0.0;
  for (int k = 1; k <= nbs1; ++k) normx = std::max(normx, std::fabs(P.xn(kbs(k))));
  if (normx <= p.mc.eps025) normx = 1.0;
  int imax = 0;
  double rmax = 0.0;
  for (int i = 1; i <= m; ++i) {
    if (std::fabs(r(i)) > rmax || imax == 0) {
      rmax = std::fabs(r(i));
      imax = i;
    }
  }
  const double ratio = rmax / (1.0 + normx);
  // Before an optimal exit the rows must hold to half the precision, not
  // just to the looser tolerance of the periodic checks: basic values
  // carried through updates from large start values (a start of 1e+10 for
  // a variable that ends at 3) lose digits that a fresh factorization and
  // solve restore.  Right after a factorization there is no end check.
  const double tol = mode == kSetxCheckEnd ? std::min(p.m5tols6, p.mc.eps050) : p.m5tols6;
  const int inform = ratio > tol ? TV_NUMERICAL_ERROR : 0;
  if (inform != 0 || p.dbglevel >= 2) {
    ctx.prt(strf(" Itn%9d -- row check.   Max residual =%8.1E  on row%7d.   Norm x =%9.2E", S.itn,
                 rmax, imax, normx));
  }
  return inform;
}

}  // namespace tv
