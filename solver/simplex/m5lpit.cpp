// One simplex iteration (m5lpit) and the two-pass ratio test (m5chzr).
#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/kernels.h"
#include "core/nonzeros.h"
#include "lu/m2bsol.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

// Pass 1 finds the largest step alpha1 allowed by the bounds relaxed by
// delta.  Pass 2 takes, among the variables that block within alpha1, the
// one with the largest pivot, and separately the infeasible variable that
// becomes feasible last (alpha2); that one wins when all of them become
// feasible within alpha1.  Every step is at least tau / |pivot|.
ChzrResult m5chzr(Context& ctx, int count, double stepmax, double tolinf, double tolpiv, CIvec bsfeas,
                  CDvec blbs, CDvec bubs, CDvec xbs, CDvec y, CIvec nz, int nnz) {
  SimplexState& S = ctx.spx;
  const double delta = S.delta;
  ChzrResult R;

  // Pass 1 also lists the positions that can block (region chzr); pass 2
  // visits only those, in the same order.
  Ivec cand = ctx.ws.ivec(ctx.part.chzr);
  int ncand = 0;
  double alpha1 = stepmax, pmax1 = 0.0;
  int jr1 = 0;
  auto visit = [&](int i) {
    const double p = y(i), ap = std::fabs(p);
    if (ap <= tolpiv) return;
    if (p > 0.0 && bsfeas(i) <= 0) {
      cand(++ncand) = i;
      const double res = bubs(i) - xbs(i) + delta;
      if (ap * alpha1 > res) {
        jr1 = i;
        alpha1 = res / ap;
      }
      if (bsfeas(i) < 0) pmax1 = std::max(pmax1, ap);
    } else if (p < 0.0 && bsfeas(i) >= 0) {
      cand(++ncand) = i;
      const double res = xbs(i) - blbs(i) + delta;
      if (ap * alpha1 > res) {
        jr1 = i;
        alpha1 = res / ap;
      }
      if (bsfeas(i) > 0) pmax1 = std::max(pmax1, ap);
    }
  };
  if (nnz >= 0) {
    for (int k = 1; k <= nnz; ++k) visit(nz(k));
  } else {
    for (int i = 1; i <= count; ++i) visit(i);
  }

  int jr = jr1, jr2 = 0;
  double pbest = 0.0, alpha2 = 0.0;
  for (int k = 1; k <= ncand; ++k) {
    const int i = cand(k);
    const double p = y(i), ap = std::fabs(p);
    if (p > 0.0) {
      if (ap > pbest && bubs(i) - xbs(i) <= alpha1 * ap) {
        jr = i;
        pbest = ap;
      }
      if (bsfeas(i) < 0 && ap >= 0.001 * pmax1) {
        const double res = blbs(i) - xbs(i);
        if (ap * alpha2 < res) {
          jr2 = i;
          alpha2 = res / ap;
        }
      }
    } else {
      if (ap > pbest && xbs(i) - blbs(i) <= alpha1 * ap) {
        jr = i;
        pbest = ap;
      }
      if (bsfeas(i) > 0 && ap >= 0.001 * pmax1) {
        const double res = xbs(i) - bubs(i);
        if (ap * alpha2 < res) {
          jr2 = i;
          alpha2 = res / ap;
        }
      }
    }
  }

  if (count <= 0 || (jr == 0 && jr2 == 0)) {
    R.unbounded = count > 0;
    R.jr = 0;
    R.step = stepmax;
    R.move = true;
    R.onbound = false;
    return R;
  }
  if (jr == 0 || (jr2 > 0 && alpha1 >= alpha2)) {
    jr = jr2;
    R.hitlow = y(jr) > 0.0;
  } else {
    R.hitlow = y(jr) < 0.0;
  }
  R.jr = jr;
  R.bound = R.hitlow ? blbs(jr) : bubs(jr);
  if (std::fabs(R.bound) >= tolinf) {
    R.unbounded = true;
    R.step = stepmax;
    R.move = true;
    R.onbound = false;
    return R;
  }
  const double pv = y(jr);
  R.exact = (R.bound - xbs(jr)) / pv;
  const double stepmin = S.tau / std::fabs(pv);
  R.step = std::max(R.exact, stepmin);
  R.onbound = R.exact == R.step;
  R.move = R.exact >= stepmin;
  if (R.exact < stepmin) S.ndegen += 1;
  return R;
}

int m5lpit(Context& ctx, Problem& P, bool increase, int& jr, bool& basis_changed,
           bool& prices_due) {
  SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  const Workspace& ws = ctx.ws;
  const int m = P.m, n = P.n, m1 = m + 1;
  const int jq = S.jq;
  Ivec kbs = ws.ivec(ctx.part.kbs);
  Ivec bsfeas = ws.ivec(ctx.part.bsfeas);
  Dvec xbs = ws.dvec(ctx.part.xbs), blbs = ws.dvec(ctx.part.blbs), bubs = ws.dvec(ctx.part.bubs);
  Dvec y = ws.dvec(ctx.part.y), y2 = ws.dvec(ctx.part.y2);
  basis_changed = false;
  prices_due = true;
  jr = 0;

  // The entering variable takes position m+1.
  bsfeas(m1) = 0;
  blbs(m1) = working_bound(ctx, P, jq, false);
  bubs(m1) = working_bound(ctx, P, jq, true);
  xbs(m1) = P.xn(jq);

  // y = B^-1 aq; y2 keeps L^-1 aq for the update.  The nonzeros of y are
  // listed (region ynz, m + 1 last) so that the ratio test, the move and
  // the Devex weight visit only them: on large sparse problems y has a few
  // per cent of m nonzeros.
  m2unpk(jq, m, n, P.a, P.ha, P.ka, y2);
  double vmax = 1.0;  // a slack's column
  if (jq <= n) {
    vmax = 0.0;
    for (int l = P.ka(jq); l < P.ka(jq + 1); ++l) vmax = std::max(vmax, std::fabs(y2(P.ha(l))));
  }
  m2ftran(ctx, y2, y, vmax);
  Ivec ynz = ws.ivec(ctx.part.ynz);
  int nnz = 0;
  for_each_nonzero(y, m, [&](int i) {
    ynz(++nnz) = i;
    return true;
  });
  ynz(++nnz) = m1;
  S.nynz = nnz;
  if (increase) {
    for (int k = 1; k < nnz; ++k) y(ynz(k)) = -y(ynz(k));
    y(m1) = 1.0;
  } else {
    y(m1) = -1.0;
  }

  const ChzrResult R = m5chzr(ctx, m1, 1.0 / p.mc.eps080, p.mc.infbnd, p.pivtol, bsfeas, blbs, bubs,
                              xbs, y, ynz, nnz);
  S.step = R.step;
  if (R.unbounded) {
    ctx.prt(strf(" Variable%8d  can %s indefinitely", jq, increase ? "increase" : "decrease"));
    S.pivot = 0.0;
    S.jbsout = 0;
    return 2;
  }
  jr = R.jr;
  const double blr = blbs(jr), bur = bubs(jr);
  const int jleave = jr == m1 ? jq : kbs(jr);
  if (jr == m1) {
    // Bound flip: the basis does not change.
    P.hs(jq) = increase ? kHsUpper : kHsLower;
    S.pivot = 0.0;
    S.jbsout = 0;
    if (S.ninf == 0) prices_due = false;
  } else {
    P.hs(jq) = kHsBasic;
    int h = R.hitlow ? kHsLower : kHsUpper;
    if (blr == bur) h = kHsFixed;
    P.hs(jleave) = h;
    blbs(jr) = blbs(m1);
    bubs(jr) = bubs(m1);
    S.pivot = -y(jr);
    S.jbsout = jleave;
    basis_changed = true;
  }

  // Move along y.  Only the basic variables where y is nonzero move, and
  // x(kbs(k)) = xbs(k) holds for the others.
  const double step = R.step;
  for (int k = 1; k < nnz; ++k) {
    const int i = ynz(k);
    xbs(i) += step * y(i);
    P.xn(kbs(i)) = xbs(i);
  }
  xbs(m1) += step * y(m1);
  P.xn(jq) = xbs(m1);
  if (jr <= m) {
    if (S.dvx.on || S.dvx.sections) devex_pivot(ctx, P, jr, increase ? -y(jr) : y(jr));
    // The cost former puts the objective's cost at objslot on every call.
    if (jleave == S.jobj) S.objslot = 0;
    if (jq == S.jobj) S.objslot = jr;
    kbs(jr) = jq;
    xbs(jr) = xbs(m1);
  }

  // The leaving variable on its bound, or just outside it after a minimum step.
  double v = P.xn(jleave);
  if (R.onbound) {
    v = R.bound;
  } else if (R.hitlow) {
    v = std::min(v, blr);
  } else {
    v = std::max(v, bur);
  }
  P.xn(jleave) = v;
  return 0;
}

}  // namespace tv
