// Cost former (m5frmc), prices (m5setp) and partial pricing (m5pric).
#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/kernels.h"
#include "core/run_state.h"
#include "lu/m2bsol.h"
#include "lu/m2crsh.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/seams.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

int m5frmc(Context& ctx, Problem& P, int ns, bool firstpass, int start) {
  SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  const Workspace& ws = ctx.ws;
  const int m = P.m, nnl = P.nnl();
  const int nb1 = m + ns;
  Dvec grd = ws.dvec(ctx.part.grd), xbs = ws.dvec(ctx.part.xbs);
  Dvec blbs = ws.dvec(ctx.part.blbs), bubs = ws.dvec(ctx.part.bubs);
  Ivec bsfeas = ws.ivec(ctx.part.bsfeas);
  const double sense = p.objsense;
  const bool wasfeas = S.ninf == 0;

  // The objective's cost at its slack's position, 0 elsewhere.  On a linear
  // problem without superbasics grd is known to be 0 but at grdslot after
  // a feasible pass; only that entry is cleared then (a pass over m a step).
  const bool plain = nnl == 0 && ns == 0;
  if (plain && S.grdslot >= 0) {
    if (S.grdslot > 0) grd(S.grdslot) = 0.0;
  } else {
    for (int k = 1; k <= nb1; ++k) grd(k) = 0.0;
  }
  if (S.objslot > 0) grd(S.objslot) = -(sense * ctx.run.objscale);
  S.grdslot = plain ? S.objslot : -1;

  // Feasible and nothing changed since the last count.
  if (ns > 0) {
    if (wasfeas && !firstpass && S.nfresh >= 1) return 0;
  } else if (wasfeas && !firstpass) {
    if (nnl == 0) S.state = kStatePhase2;
    if (S.nfresh >= 1) return 0;
  } else {
    S.state = kStatePhase1;
  }

  S.ninf = 0;
  S.sinf = 0.0;
  const double delta = S.delta;
  for (int k = 1; k <= nb1; ++k) {
    bsfeas(k) = 0;
    const double below = blbs(k) - xbs(k);
    const double above = xbs(k) - bubs(k);
    if (below > delta) {
      grd(k) = -1.0;
      bsfeas(k) = -2;
      S.sinf += below;
      S.ninf += 1;
    } else if (above > delta) {
      grd(k) = 1.0;
      bsfeas(k) = 2;
      S.sinf += above;
      S.ninf += 1;
    }
  }

  if (S.ninf > 0) {
    S.grdslot = -1;  // the infeasibilities have their costs
    if (firstpass) {
      S.state = ns == 0 ? kStatePhase1 : kStateRg;
    } else if (S.state == kStatePhase2) {
      S.state = kStatePhase1;
    }
    S.needpi = true;
    S.objlog = S.sinf;
    ctx.nl.fobj = 0.0;
    if (S.objslot > 0) grd(S.objslot) = -(sense * S.phase1_weight() * ctx.run.objscale);
    if (p.prtlevel > 0 && S.nfresh == 0) {
      ctx.prt(strf(" Itn%9d -- infeasible.  Num =%7d   Sum =%18.9E", S.itn, S.ninf, S.sinf));
    }
    return 0;
  }

  // Feasible.
  const bool changed = firstpass || !wasfeas;
  if (changed) S.state = ns >= 1 ? kStateRg : (nnl > 0 ? kStatePriceRg : kStatePhase2);
  S.needpi = true;
  // The objective row's value, also when its slack is nonbasic (no negative zero).
  S.objlin = 0.0;
  if (S.objslot > 0) {
    S.objlin = 0.0 - xbs(S.objslot) * ctx.run.objscale;
  } else if (S.jobj > 0) {
    S.objlin = 0.0 - P.xn(S.jobj) * ctx.run.objscale;
  }
  S.objlog = sense * S.objlin + 0.0;
  const bool lincon = P.nncon == 0;
  if (start == kCrashLinearE) {
    const std::string line = strf(" Itn%9d -- linear E rows feasible.   Obj =%18.9E", S.itn, S.objlog);
    if (lincon || p.prtlevel > 0) {
      ctx.prt("");
      ctx.prt(line);
    }
    if (lincon || p.lsmbrf > 0 || p.lsmful > 0) ctx.sum(line);
    return 0;
  }
  if (nnl > 0 && !S.everfeas) {
    S.everfeas = true;
    ctx.both(strf(" Itn%9d -- linear constraints satisfied.", S.itn));
    // The functions are evaluated at the first feasible point by the main
    // loop.  After a crash of the linear equality rows that point passed
    // without this message; with nonlinear constraints a later major
    // iteration then arrives here, and its subproblem objective is due.
    if (lincon || S.nmaj <= 1) return 0;
  }
  S.everfeas = true;
  if (nnl > 0) {
    const int r = ctx.seams.objective(ctx, P, ns);
    if (r != 0) return r;
  }
  S.wtobj = 0.0;
  S.objtrue = sense * S.objlin + P.objconst;
  S.objsub = P.objconst + ctx.nl.fobj + S.objlin;

  if (p.prtlevel > 0 || (lincon && changed)) {
    if (changed) ctx.prt("");
    if (lincon) {
      ctx.prt(strf(" Itn%9d -- feasible solution.  Objective =%18.9E", S.itn, S.objtrue));
    } else {
      ctx.prt(strf(" Itn%9d -- feasible subproblem.  True obj =%17.9E     Auglag obj =%17.9E", S.itn,
                   S.objtrue, S.objsub));
    }
    if (changed) ctx.prt("");
  }
  if (changed) {
    if (lincon) {
      ctx.sum(strf(" Itn%9d -- feasible solution.  Objective =%18.9E", S.itn, S.objtrue));
    } else if (p.lsmbrf > 0 || p.lsmful > 0) {
      ctx.sum(strf(" Itn%9d -- feasible subproblem.     Auglag obj =%17.9E", S.itn, S.objsub));
    }
  }
  return 0;
}

void m5setp(Context& ctx, int mode, Problem& P) {
  SimplexState& S = ctx.spx;
  const int m = P.m;
  if (mode == 1 || mode == 2) {
    Dvec grd = ctx.ws.dvec(ctx.part.grd), y = ctx.ws.dvec(ctx.part.y);
    for (int i = 1; i <= m; ++i) y(i) = grd(i);
    m2bsol(ctx, kBtran, y, P.pi);
  }
  if (mode == 1 || mode == 3) {
    double big = 1.0;
    for (int i = 1; i <= m; ++i) big = std::max(big, std::fabs(P.pi(i)));
    S.pinorm = big;
  }
  S.needpi = false;
}

void fresh_prices(Context& ctx, Problem& P, int ns) {
  CDvec grd = ctx.ws.dvec(ctx.part.grd);
  Dvec gkept = ctx.ws.dvec(ctx.part.gkept);
  for (int k = 1; k <= P.m + ns; ++k) gkept(k) = grd(k);
  ctx.spx.dvx.keptslot = ctx.spx.grdslot;
  m5setp(ctx, 1, P);
  ctx.spx.dvx.rcvalid = false;
}

void choose_between_bounds(Context& ctx, Problem& P, bool& increase) {
  SimplexState& S = ctx.spx;
  const double infbnd = ctx.par.mc.infbnd;
  for (int j = 1; j <= P.nb; ++j) {
    if (P.hs(j) != kHsBetween) continue;
    if (P.bl(j) > -infbnd || P.bu(j) < infbnd) {
      S.jq = j;
      S.djq = P.rc(j);
      S.ncand = 1;
      increase = std::fabs(P.bl(j)) >= std::fabs(P.bu(j));
      return;
    }
  }
}

void m5pric(Context& ctx, Problem& P, int ns, bool& increase) {
  if (ctx.spx.dvx.on) {
    devex_price(ctx, P, ns, increase);
    return;
  }
  SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  const Workspace& ws = ctx.ws;
  const int m = P.m, n = P.n, nnl = P.nnl();
  Ivec kbs = ws.ivec(ctx.part.kbs);
  Dvec rg = ws.dvec(ctx.part.rg);
  Dvec gsub = ws.dvec(ctx.part.gsub);
  const bool feasible = S.ninf == 0;
  const int phase = feasible ? 1 : 0;

  double toldj = p.opttol;
  if (!feasible) toldj = std::min(p.opttol, p.mc.eps050);
  // The clean-up pass on the unscaled problem prices against an absolute
  // tolerance: relative to a large pinorm the test accepts reduced costs
  // whose products with the nonbasic values move the objective visibly.
  const double tol = feasible && S.dualtol > 0.0 ? S.dualtol : toldj * S.pinorm;
  const int nparp = std::max(p.partprice, 1);
  const bool single = n / nparp < 1 && m / nparp < 1;
  const int np = single ? 1 : nparp;
  const double thr = single ? tol : S.thresh[phase];
  const int ncol = n / np, nslk = m / np;
  const double sense = p.objsense;
  const double cobj = -(sense * (feasible ? 1.0 : S.phase1_weight()) * ctx.run.objscale);

  // Multiple pricing: a list sorted by decreasing |rc| after position m+ns.
  const int want = ctx.seams.multiple_pricing ? std::min(p.multprice, ctx.part.maxs - ns) : 1;
  int nlist = 0;
  auto insert = [&](int j, double rcj) {
    int pos = nlist + 1;
    while (pos > 1 && std::fabs(rg(ns + pos - 1)) < std::fabs(rcj)) --pos;
    if (pos > want) return;
    const int last = std::min(nlist + 1, want);
    for (int l = last; l > pos; --l) {
      kbs(m + ns + l) = kbs(m + ns + l - 1);
      rg(ns + l) = rg(ns + l - 1);
    }
    kbs(m + ns + pos) = j;
    rg(ns + pos) = rcj;
    nlist = last;
  };

  // Partial Devex: within the sections the choice is the largest d^2 / w
  // among the scores above tol (the thresholds still go by d), and the
  // sections take turns as for partial pricing.  In phase 1 the scores are
  // mostly equal (costs of +-1, and on 0/+-1 matrices the weights stay 1);
  // the objective's weight in the phase-1 costs breaks those ties, so that
  // taking turns does not route a transportation problem's flow through
  // the first columns of each section.
  const bool pdx = S.dvx.sections;
  CDvec w = ws.dvec(ctx.part.devex);
  int jbest = 0, kpbest = 0, nfound = 0;
  S.jbig = 0;
  S.djbig = 0.0;
  double dbest = 0.0, rcbest = 0.0, sbest = 0.0;
  double dbig = -1.0e300;  // largest score of all, for the optimality report
  bool between = false;
  for (int s = 1; s <= np; ++s) {
    S.kp = S.kp + 1;
    if (S.kp > np) S.kp = 1;
    const int kp = S.kp;
    const int j1 = (kp - 1) * ncol + 1, j2 = kp == np ? n : kp * ncol;
    const int i1 = (kp - 1) * nslk + 1, i2 = kp == np ? m : kp * nslk;
    if (pdx) {
      devex_section_prices(ctx, P, j1, j2, i1, i2);
    } else {
      if (j1 <= j2) m2rcn(j1, j2, feasible, nnl, P.a, P.ha, P.ka, P.hs, gsub, P.pi, P.rc);
      for (int i = i1; i <= i2; ++i) P.rc(n + i) = -P.pi(i);
    }
    // A nonbasic objective slack carries its own cost (the costs in grd
    // cover only the basic variables).
    if (S.jobj > n + i1 - 1 && S.jobj <= n + i2 && P.hs(S.jobj) <= 1) P.rc(S.jobj) += cobj;
    auto scan = [&](int j) {
      const int h = P.hs(j);
      if (h > 1) return;
      const double rcj = P.rc(j);
      const double d = pricing_score(h, rcj);
      if (h == kHsBetween) between = true;
      if (d > thr) ++nfound;
      if (d > dbig) {
        dbig = d;
        S.jbig = j;
        S.djbig = rcj;
      }
      if (pdx) {
        dbest = std::max(dbest, d);
        // The quotient only when it may reach the best so far: a product
        // clearly below sbest * |w| cannot (the margin covers the rounding
        // of both sides), and the division is the costly part of the scan.
        const double wj = std::fabs(w(j));
        if (d > tol && d * d >= sbest * wj * (1.0 - 1.0e-12)) {
          const double sc = d * d / wj;
          if (sc > sbest) {
            sbest = sc;
            jbest = j;
            rcbest = rcj;
            kpbest = kp;
          }
        }
      } else if (d > dbest) {
        dbest = d;
        jbest = j;
        rcbest = rcj;
        kpbest = kp;
      }
      if (want > 1 && d > tol) insert(j, rcj);
    };
    for (int j = j1; j <= j2; ++j) scan(j);
    for (int i = i1; i <= i2; ++i) scan(n + i);
    if (nfound > 0) break;
  }

  if (pdx) devex_section_done(ctx);
  S.jq = 0;
  S.djq = 0.0;
  S.ncand = 0;
  if (nfound > 0 && jbest > 0) {
    S.jq = jbest;
  } else if (dbest > tol) {
    S.jq = jbest;
    S.kp = kpbest;
    S.thresh[phase] = std::max(0.2 * dbest, tol);
    if (S.itn > 0) S.wtobj *= 0.2;
    if (p.dbglevel >= 1) {
      ctx.both(strf(" Itn%9d -- toldj =%8.1E    Norm pi =%8.1E    wtobj = %8.1E", S.itn, toldj,
                    S.pinorm, S.wtobj));
    }
  }
  if (S.jq > 0) {
    S.djq = rcbest;
    S.kpq = kpbest;
    S.ncand = 1;
    if (want > 1 && nlist > 1) {
      for (int l = 2; l <= nlist; ++l) {
        if (std::fabs(rg(ns + l)) >= 0.2 * dbest) S.ncand += 1;
      }
    }
    increase = S.djq < 0.0;
  } else if (between && (!feasible || (nnl == 0 && ns == 0))) {
    choose_between_bounds(ctx, P, increase);
  }
  if (m + ns + 1 <= kbs.size()) kbs(m + ns + 1) = S.jq;
  if (ns + 1 <= rg.size()) rg(ns + 1) = S.djq;
}

}  // namespace tv
