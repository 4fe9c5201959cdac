// Clean-up of a linear program after an optimal exit.
//
// The simplex method works on the scaled problem, so its tolerances hold
// there: a basic variable may lie outside a bound by feastol times its scale,
// and a reduced cost may have the wrong sign by opttol times the largest
// scaled multiplier divided by the column scale.  With the bound
// normalization the scales reach 1e5 and the column scales spread over
// several decades, so a point optimal for the scaled problem can violate the
// user's bounds by 1e-3 and be far from optimal in the user's terms.  Even
// unscaled, the optimality test opttol * pinorm lets a reduced cost of
// 1e-4 pass when some multiplier is 100, and that moves the objective of a
// problem with values in the thousands by more than 1e-6 relative.
//
// So the final point is measured in the user's units: bound violations
// against feastol, reduced costs against opttol itself.  When either is
// exceeded the iterations go on from the final basis on the unscaled
// problem, pricing against the absolute tolerance 0.1 * opttol (a margin
// below the test, so that the result does not sit on its edge).
#include "simplex/cleanup_pass.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/context.h"
#include "core/kernels.h"
#include "core/states.h"
#include "lu/m2scal.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/m5solv.h"
#include "simplex/simplex_state.h"

namespace tv {

UnscaledInfeas unscaled_infeasibilities(const Context& ctx, Problem& P, bool scaled) {
  const int m = P.m, n = P.n, nb = P.nb;
  CDvec sc = ctx.ws.dvec(ctx.part.scales);
  auto scale = [&](int j) { return scaled ? sc(j) : 1.0; };
  const int jobj = P.objrow > 0 ? n + P.objrow : 0;
  UnscaledInfeas u;

  // Bound violations: the scaled violation times the variable's scale.
  for (int j = 1; j <= nb; ++j) {
    const double v = std::max(P.bl(j) - P.xn(j), P.xn(j) - P.bu(j)) * scale(j);
    if (v > u.pinf) {
      u.pinf = v;
      u.jpinf = j;
    }
  }
  // Rows: a x + s = 0 in the user's units, relative to the terms of the
  // row, the objective row too (its slack is the objective value).  The
  // basic values are solved for on the scaled problem; with a row scale far
  // from 1 (1e12 on a row of coefficient 1e10, or 6e8 on an objective row
  // holding 1 and 3e17) their rounding shows in the user's units, and the
  // clean-up then solves for them on the unscaled problem.
  {
    std::vector<double> res(static_cast<size_t>(m) + 1, 0.0), size(static_cast<size_t>(m) + 1, 0.0);
    for (int j = 1; j <= n; ++j) {
      for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
        const int i = P.ha(k);
        const double t = P.a(k) * P.xn(j);
        res[static_cast<size_t>(i)] += t;
        size[static_cast<size_t>(i)] += std::fabs(t);
      }
    }
    for (int i = 1; i <= m; ++i) {
      const double s = P.xn(n + i), r = scale(n + i);
      const double v = std::fabs(res[static_cast<size_t>(i)] + s) * r /
                       (1.0 + (size[static_cast<size_t>(i)] + std::fabs(s)) * r);
      if (v > u.rinf) {
        u.rinf = v;
        u.irinf = i;
      }
    }
  }
  // Multipliers: pi(i) is held as pi(i) * r(i).
  for (int i = 1; i <= m; ++i) u.pinorm = std::max(u.pinorm, std::fabs(P.pi(i) / scale(n + i)));

  // Reduced costs of the scaled problem are rc(j) * c(j); the save
  // recomputes rc, so it serves as work space here.  Measured for the
  // nonbasic variables (the sign their bounds allow) and for the basic ones
  // (zero when the multipliers fit the basis).
  Dvec rc = P.rc;
  m2rca(true, 0.0, 1.0, m, n, 0, P.a, P.ha, P.ka, P.hs, P.bl, P.bu, CDvec(), P.pi, rc, P.xn);
  for (int j = 1; j <= nb; ++j) {
    if (j == jobj || !(P.bl(j) < P.bu(j))) continue;
    const double d = rc(j) / scale(j);
    double dinf;
    if (P.hs(j) == kHsBasic) {
      // A basic variable's reduced cost is zero for multipliers that fit
      // the basis.  Scaled by a row scale of 1e17 (an objective row holding
      // 1 and 3e17), a cost can vanish from the scaled multipliers, and the
      // reduced costs of the nonbasic variables computed from them then
      // miss a direction that improves the objective.
      dinf = std::fabs(d);
    } else if (P.xn(j) <= P.bl(j)) {
      dinf = -d;
    } else if (P.xn(j) >= P.bu(j)) {
      dinf = d;
    } else {
      dinf = std::fabs(d);
    }
    if (dinf > u.dinf) {
      u.dinf = dinf;
      u.jdinf = j;
    }
  }
  return u;
}

namespace {

void print_unscaled(Context& ctx, int itn, const UnscaledInfeas& u) {
  ctx.both(strf(" Itn%9d -- unscaled infeasibilities.  Primal%9.1E (var%8d)   Dual%9.1E (var%8d)", itn, u.pinf,
                u.jpinf, u.dinf, u.jdinf));
}

}  // namespace

void cleanup_pass(Context& ctx, Problem& P, int& ns, int& start, int& inform) {
  Params& p = ctx.par;
  SimplexState& S = ctx.spx;
  Dvec sc = ctx.ws.dvec(ctx.part.scales);
  // Linear programs only: with nonlinear functions the optimality test is a
  // different one.
  if (inform != TV_OPTIMAL || P.nnl() > 0 || P.nncon > 0 || ns > 0) return;
  const bool scaled = p.scaleopt > 0 && sc.size() >= P.nb;

  const UnscaledInfeas u = unscaled_infeasibilities(ctx, P, scaled);
  if (u.pinf <= p.feastol && u.dinf <= p.opttol && u.rinf <= p.feastol) return;

  const int itn0 = S.itn;
  ctx.both("");
  print_unscaled(ctx, itn0, u);
  ctx.both(strf(" Itn%9d -- clean-up iterations on the unscaled problem", itn0));

  // Iterate from the final basis, counting on from the iterations done; the
  // Iterations limit applies to the total.
  const int scaleopt = p.scaleopt;
  if (scaled) {
    m2scla(ctx, 2, P, sc);
    p.scaleopt = 0;
  }
  m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
  S.itnstart = itn0;
  S.dualtol = 0.1 * p.opttol;
  // The degenerate steps of the run go on counting (each call restarts them).
  int ndegen = S.ndegen;
  m5solv(ctx, P, ns, start, inform);
  ndegen += S.ndegen;
  S.dualtol = 0.0;
  // The basic values in the user's units, refined once more with every
  // column in the residual: the solver's own refinement skips values below
  // eps^0.8, which a row with a coefficient of 1e10 does not (x_j = 1e-16
  // is 1e-6 there).
  if (inform == TV_OPTIMAL) m5setx(ctx, kSetxRefineAll, P, ns);
  if (scaled) {
    // The save expects the scaled problem; scaling back and forth changes a
    // value by an ulp at most and keeps a nonbasic variable on its bound.
    p.scaleopt = scaleopt;
    m2scla(ctx, 1, P, sc);
  }

  // The unscaled problem can be harder than the scaled one: a row that is
  // satisfied only with a nonbasic variable outside its bound by less than
  // the scaled tolerance allows makes the clean-up end infeasible, and bad
  // conditioning can end it with a numerical error.  Then the run finishes
  // as it would have without the clean-up: on the problem as scaled, with
  // the usual tolerances, from the basis reached (the basis the first pass
  // ended with when the clean-up moved nothing).  Limits, stop requests and
  // storage failures are final.  So is an unbounded ray: a reduced cost of
  // the wrong sign in the user's units along a direction nothing blocks.
  // Scaling can make such a cost look like zero (scales of 1e20 and more
  // when the bounds are large), and going back to the scaled problem would
  // call its end "optimal".
  const bool final = inform == TV_OPTIMAL || inform == TV_UNBOUNDED || inform == TV_ITERATION_LIMIT ||
                     inform == TV_TIME_LIMIT || inform == TV_INTERRUPT || inform >= TV_LU_STORAGE;
  if (!final) {
    ctx.both("");
    ctx.both(strf(" Itn%9d -- clean-up ended without an optimal point; back to the problem as scaled", S.itn));
    m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
    S.itnstart = S.itn;
    m5solv(ctx, P, ns, start, inform);
    ndegen += S.ndegen;
    // What the scaled problem calls optimal may still price out wrong in
    // the user's units: such a point is reported as near-optimal, with what
    // was measured, not as an optimal one.  (Bound violations within the
    // scaled tolerances are what this fallback accepts.)
    if (inform == TV_OPTIMAL) {
      const UnscaledInfeas v = unscaled_infeasibilities(ctx, P, scaled);
      if (v.dinf > p.opttol) {
        ctx.both("");
        print_unscaled(ctx, S.itn, v);
        inform = TV_NEAR_OPTIMAL;
        if (S.holdend) {
          S.heldcode = TV_NEAR_OPTIMAL;
          S.heldvalue = 0;
        }
      }
    }
  }
  S.itnstart = 0;
  S.ndegen = ndegen;
  S.degpct = 100.0 * S.ndegen / std::max(S.itn, 1);
}

}  // namespace tv
