// m7rgit: one iteration of the reduced-gradient method, and the subspace
// convergence test m7sscv.
//
// Workspace use within an iteration (count = m + ns positions of kbs):
//   y(1..count)      the direction: y(m+k) = p(k) for the superbasics,
//                    y(1..m) = -B^-1 S p for the basics
//   y2(1..m)         S p before the FTRAN; later the input of the
//                    transposed solves (destroyed by them)
//   y2(m+1..m+ns)    the BFGS update's work vector (y2 holds nbs = m + maxs
//                    words, and nothing else uses its tail)
//   work(1..ns)      v = R'^-1 rg from the direction, kept for the BFGS
//                    update; later the work vector of the basis-swap update
//   rg2(1..ns)       the new reduced gradient; later the pivot row S'y of
//                    a basis swap
#include <algorithm>
#include <cmath>
#include <limits>

#include "core/context.h"
#include "core/exit_text.h"
#include "core/kernels.h"
#include "core/page.h"
#include "core/run_state.h"
#include "core/states.h"
#include "lu/m2bsol.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/rgit.h"
#include "nonlinear/srch.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

class RgIteration {
 public:
  RgIteration(Context& c, Problem& p, int& ns)
      : ctx(c), P(p), S(c.spx), N(c.nl), ev(c.nl.ev), par(c.par), ns(ns), m(p.m), n(p.n),
        nnl(p.nnl()), hdim(c.part.hdim), maxs(c.part.maxs), jobj(c.spx.jobj),
        sense(c.par.objsense), objscale(c.run.objscale) {
    const Workspace& ws = ctx.ws;
    kbs = ws.ivec(ctx.part.kbs);
    bsfeas = ws.ivec(ctx.part.bsfeas);
    xbs = ws.dvec(ctx.part.xbs);
    blbs = ws.dvec(ctx.part.blbs);
    bubs = ws.dvec(ctx.part.bubs);
    grd = ws.dvec(ctx.part.grd);
    rg = ws.dvec(ctx.part.rg);
    rg2 = ws.dvec(ctx.part.rg2);
    R = ws.dvec(ctx.part.hess);
    y = ws.dvec(ctx.part.y);
    y2 = ws.dvec(ctx.part.y2);
    work = ws.dvec(ctx.part.work);
    gsub = ws.dvec(ctx.part.gsub);
    feasible = S.ninf == 0;
    rkept = nnl > 0 && R.size() > 0;
    nlobj = feasible && nnl > 0;
  }

  RgResult run();

 private:
  Context& ctx;
  Problem& P;
  SimplexState& S;
  NonlinearState& N;
  Evaluator& ev;
  const Params& par;
  int& ns;
  const int m, n, nnl, hdim, maxs, jobj;
  const double sense, objscale;
  Ivec kbs, bsfeas;
  Dvec xbs, blbs, bubs, grd, rg, rg2, R, y, y2, work, gsub;
  bool feasible = true;
  bool rkept = false;  // R is kept for this problem (nonlinear objective)
  bool nlobj = false;  // the nonlinear objective is in force: line search, BFGS
  bool fwddif = false; // forward differences in use with estimated entries

  SbLists lists() const { return SbLists{m, kbs, xbs, blbs, bubs, grd, rg}; }
  double objgrad() const { return -sense * objscale; }
  void reset_R();
  bool enter();
  RgResult recover(int inform);
  RgResult central();
  RgResult unbounded(bool fbig, bool sbig, double fsub, double step);
  RgResult failed_evaluation();
  void remove(int k);
  void fresh_rg();
};

void RgIteration::reset_R() {
  N.hreset = true;
  double condr = 1.0;
  m6rset(ctx.io, par.prtfile, hdim, ns, R, N.hreset, condr);
  N.condh = 1.0;
  N.nsubit = 0;
  S.logflag = 'r';
}

// The candidates of pricing join the superbasics, unless the current
// subspace still has a reduced gradient comparable to the best candidate's:
// then it is optimized further first.  Returns true when they joined.
bool RgIteration::enter() {
  const double dj = std::fabs(S.djq);
  if (ns > 0 && N.retry == 0 && N.rgmax > 0.9 * dj && N.rgmax > par.mc.eps050 * S.pinorm) {
    S.tolrg = 0.9 * N.rgmax;
    S.jsbin = -S.jq;
    return false;
  }
  N.rgmax = std::max(N.rgmax, dj);
  S.tolrg = par.subtol * dj;
  const int ncand = std::min(std::max(S.ncand, 1), maxs - ns);
  for (int c = 1; c <= ncand; ++c) {
    const int k = ns + 1, pos = m + k;
    const int j = kbs(pos);  // pricing put the candidates here and their dj in rg(k)
    P.hs(j) = kHsSuper;
    xbs(pos) = P.xn(j);
    blbs(pos) = P.bl(j);
    bubs(pos) = P.bu(j);
    bsfeas(pos) = 0;
    grd(pos) = 0.0;
    if (feasible) {
      if (j <= nnl) grd(pos) = gsub(j);
      if (j == jobj) grd(pos) = objgrad();
    }
    ns = k;
    if (rkept) m6radd(hdim, ns, R);
  }
  N.nsubit = 0;
  return true;
}

RgResult RgIteration::central() {
  ev.difmode = 2;
  N.retry = 0;
  S.state = kStateRg;
  S.ninf = 1;  // the cost former counts again and forms the costs with the new differences
  ctx.both(" Switch to central differences.");
  return {RgNext::FormCosts, 0};
}

// Recovery after a line search that found no better point.
RgResult RgIteration::recover(int inform) {
  if (inform == 5 && N.retry == 0) N.retry = 1;
  for (;;) {
    N.retry += 1;
    if (par.prtlevel > 0) ctx.prt(strf(" Retry%3d", N.retry));
    switch (N.retry) {
      case 1:
        if (N.condh >= 1.0 / par.mc.eps050) {
          reset_R();
          return {RgNext::Step, 0};
        }
        break;  // on to retry 2
      case 2:
        if (fwddif && S.lvltol == 2) return central();
        reset_R();
        return {RgNext::Step, 0};
      case 3:
      case 4:
      case 5: {
        // A new superbasic may open a direction of descent.
        bool ask = ns < maxs && N.rgmax <= (S.lvltol == 2 ? 1.0 : 10.0) * S.pinorm;
        if (N.retry == 5 && !N.canprice) ask = false;
        if (ask) {
          N.nrestart += 1;
          S.state = kStatePriceRg;
          return {RgNext::SubspaceOptimal, 0};
        }
        N.retry = 5;  // on to retry 6
        break;
      }
      case 6:
        if (fwddif) return central();
        reset_R();
        return {RgNext::Step, 0};
      case 7:
        return {RgNext::FactorBS, 0};
      default:
        if (ns >= maxs) {
          print_exit(ctx, TV_SUPERBASICS_LIMIT, kExitSuperbasicsRg, maxs);
          N.exit_printed = true;
          return {RgNext::Step, TV_SUPERBASICS_LIMIT};
        }
        return {RgNext::Step, TV_CANNOT_IMPROVE};
    }
  }
}

RgResult RgIteration::unbounded(bool fbig, bool sbig, double fsub, double step) {
  if (par.prtfile > 0) {
    ctx.prt("");
    if (fbig) ctx.prt(strf(" XXX  Linesearch has exceeded the Unbounded function value.  fsub =%15.5E", fsub));
    if (sbig) ctx.prt(strf(" XXX  Linesearch has exceeded the Unbounded step size.     step =%13.3E", step));
    const int phase = feasible ? 2 : 1;
    ctx.prt(strf(" XXX  Unbounded in Phase%3d   Last SB =%7d%13.3E", phase, ns > 0 ? kbs(m + ns) : 0,
                 ns > 0 ? rg(ns) : 0.0));
  }
  return {RgNext::Step, TV_UNBOUNDED};
}

// An evaluation failed outside the line search: a stop request (its EXIT
// line is written) or functions undefined at a point already accepted.
RgResult RgIteration::failed_evaluation() {
  if (ev.ierr == 6) N.exit_printed = true;
  ev.ierr = 0;
  return {RgNext::Step, TV_USER_STOP};
}

// Superbasic k leaves the set (its state is already set).
void RgIteration::remove(int k) {
  const double rgk = std::fabs(rg(k));
  const SbLists L = lists();
  if (ns > hdim && k <= hdim) m6swap(hdim, ns, R, L);
  m6rdel(hdim, ns, k, R, rkept, L);
  ns -= 1;
  if (N.rgmax <= rgk) {
    N.rgmax = 0.0;
    for (int l = 1; l <= ns; ++l) N.rgmax = std::max(N.rgmax, std::fabs(rg(l)));
  }
  N.nsubit = 0;
}

// Prices and reduced gradient for the current basis and point (feasible).
void RgIteration::fresh_rg() {
  m7bsg(m + ns, nnl, kbs, gsub, grd, jobj, objgrad());
  Dvec v = y2.head(m);
  for (int i = 1; i <= m; ++i) v(i) = grd(i);
  m2bsol(ctx, kBtran, v, P.pi);
  m5setp(ctx, 3, P);
  S.rgnorm = m7rg(m, ns, n, P.a, P.ha, P.ka, kbs, grd, P.pi, rg);
}

RgResult RgIteration::run() {
  const MachineConstants& mc = par.mc;
  S.step = 0.0;
  S.pivot = 0.0;
  N.hmod1 = N.hmod2 = 0;
  // Differences are in use only when some entries are actually estimated: a
  // funobj that sets its whole gradient at Derivative level 0 or 2 leaves
  // nothing for central differences to improve.
  const bool objdif = obj_estimated(ev) && ev.nsetobj < P.nnobj;
  fwddif = ev.difmode == 1 && (objdif || (P.nncon > 0 && jac_estimated(ev)));
  N.rgmax = ns > 0 ? S.rgnorm : 0.0;

  // 1. A reset of R that is due.
  if (N.hreset && rkept) reset_R();

  // 2. The candidates of pricing.
  if (S.state == kStatePriceRg && S.jq > 0) {
    enter();
    S.state = kStateRg;
  } else {
    S.logdj = S.rgnorm;  // the log shows the largest |rg| when nothing was priced
  }
  if (ns == 0) {
    S.state = kStatePriceRg;
    return {RgNext::SubspaceOptimal, 0};
  }

  // 3. Nothing left to gain in this subspace: price.
  if (N.rgmax <= 0.1 * par.opttol * S.pinorm) {
    S.state = kStatePriceRg;
    return {RgNext::SubspaceOptimal, 0};
  }

  // 4. Direction: p for the superbasics, then the basics follow.
  const int count = m + ns;
  Dvec p = y.sub(m + 1, ns);
  Dvec v = work.head(ns);
  const bool useR = nlobj && rkept;
  m7sdir(hdim, ns, R, rg, v, p, useR);
  // After a few iterations in one subspace only the triangle's superbasics
  // move: their curvature is known, the diagonal part's is a guess.  That
  // holds only while the triangle has the larger reduced gradient: else
  // the step would stall on what the convergence test does not see.
  bool frozen = false;
  if (useR && hdim > 0 && ns > hdim && N.nsubit > 3) {
    double tri = 0.0, diag = 0.0;
    for (int k = 1; k <= hdim; ++k) tri = std::max(tri, std::fabs(rg(k)));
    for (int k = hdim + 1; k <= ns; ++k) diag = std::max(diag, std::fabs(rg(k)));
    frozen = tri >= diag;
  }
  if (frozen) {
    for (int k = hdim + 1; k <= ns; ++k) p(k) = 0.0;
  }
  if (useR) N.nsubit += 1;
  Dvec sp = y2.head(m);
  for (int i = 1; i <= m; ++i) sp(i) = 0.0;
  m2apr1(2, m, n, 0.0, P.a, P.ha, P.ka, kbs, p, ns, sp);  // sp = -S p
  m2bsol(ctx, kFtran, sp, y.head(m));                     // y = -B^-1 S p
  double gtp = 0.0, pnorm = 0.0, xnorm = 0.0;
  for (int k = 1; k <= ns; ++k) gtp += rg(k) * p(k);
  for (int k = 1; k <= count; ++k) {
    pnorm += std::fabs(y(k));
    xnorm += std::fabs(xbs(k));
  }
  if (!(pnorm > 0.0) || !std::isfinite(pnorm)) {
    // Nothing moves (or the direction broke down): treat the subspace as
    // done and let pricing and the tolerances decide.
    if (!std::isfinite(pnorm) && rkept) reset_R();
    S.state = kStatePriceRg;
    return {RgNext::SubspaceOptimal, 0};
  }

  // 5. Largest step along the direction.
  const double stepmax = 1.0 / (pnorm * mc.eps080);
  const ChzrResult B = m5chzr(ctx, count, stepmax, mc.infbnd, par.pivtol * pnorm, bsfeas, blbs, bubs, xbs, y);
  const int jr = B.unbounded ? 0 : B.jr;
  const double alfmax = jr > 0 ? B.step : stepmax;
  const bool zero = jr > 0 && ns > 1 && B.exact <= mc.eps067 / pnorm;

  double alfa = 0.0;
  bool hit = false;
  const double fold = N.fsub;
  double fnew = fold;
  if (zero) {
    hit = true;  // straight to the bound
  } else if (!nlobj) {
    // 6. Linear objective (phase 1, or no nonlinear variables): to the bound.
    if (jr == 0) return unbounded(false, false, fold, alfmax);
    alfa = alfmax;
    hit = true;
    for (int k = 1; k <= count; ++k) xbs(k) += alfa * y(k);
    m5bsx(1, count, kbs, xbs, P.xn);
  } else {
    // 7. Line search.
    SearchCall call;
    call.cubic = !obj_estimated(ev) && (P.nncon == 0 || !jac_estimated(ev));
    call.f0 = fold;
    call.gtp = gtp;
    call.alfmax = alfmax;
    call.alfa = std::min(1.0, par.mindamp * (1.0 + xnorm) / pnorm);
    call.xnorm = xnorm;
    call.pnorm = pnorm;
    call.gnorm = S.rgnorm;
    call.fwddif = fwddif;
    call.debug = S.itn >= par.lsdebug;
    const SearchOutcome out = m6srch(ctx, P, count, y, call);
    if (out.inform == -1) return failed_evaluation();

    // 8. Search exits.
    if (out.inform >= 1 && out.inform <= 3) {
      alfa = out.alfa;
      fnew = out.f;
    } else if (out.inform == 4 && jr > 0 && !B.move) {
      // The step to the blocking variable is shorter than a line search can
      // resolve: take it.
      alfa = alfmax;
      for (int k = 1; k <= count; ++k) P.xn(kbs(k)) = xbs(k) + alfa * y(k);
      const double sobj = jobj > 0 ? P.xn(jobj) : 0.0;
      Dvec gobj = ctx.ws.dvec(ctx.part.gobj), gobj2 = ctx.ws.dvec(ctx.part.gobj2);
      double f = 0.0;
      m6fun0(ev, P.nnobj, gobj, 0, 0, Dvec(), false);
      if (!m6fun(ev, 2, P.nnobj, P.xn, sobj, sense, objscale, f, gobj, fnew, N.linearization())) {
        return failed_evaluation();
      }
      if (!m6grd(ev, P.nnobj, nnl, f, gobj, P.xn, gobj2, sense, gsub, N.linearization())) {
        return failed_evaluation();
      }
      N.fobj = f;
      ctx.prt(strf(" Forcing a small step.  alpha * norm(p) =%9.1E", alfa * pnorm));
    } else if ((out.inform == 5 || out.inform == 7) && fwddif) {
      return central();
    } else {
      ctx.both(strf(" Search exit%3d -- %s   Itn =%9d   Norm rg =%11.3E", out.inform, srchmsg(out.inform),
                    S.itn, S.rgnorm));
      return recover(out.inform);
    }
    for (int k = 1; k <= count; ++k) xbs(k) += alfa * y(k);
    m5bsx(1, count, kbs, xbs, P.xn);
    // A step that reaches alfmax (within the search's tolerance beyond it)
    // reaches the blocking variable.
    hit = jr > 0 && alfa >= alfmax;
    N.fsub = fnew;
  }
  S.step = alfa;
  if (alfa > 0.0) {
    N.retry = 0;
    N.nrestart = 0;
  }

  // 9. Unbounded?
  if (nlobj) {
    const bool fbig = std::fabs(fnew) >= par.bigobj;
    const bool sbig = alfa * pnorm >= par.bigstep;
    if (fbig || sbig) return unbounded(fbig, sbig, fnew, alfa * pnorm);
  }

  // 10. Quasi-Newton update with the new reduced gradient.
  if (nlobj && alfa > 0.0) {
    m7bsg(count, nnl, kbs, gsub, grd, jobj, objgrad());
    Dvec v2 = y2.head(m);
    for (int i = 1; i <= m; ++i) v2(i) = grd(i);
    m2bsol(ctx, kBtran, v2, P.pi);
    m5setp(ctx, 3, P);
    const double rgnorm2 = m7rg(m, ns, n, P.a, P.ha, P.ka, kbs, grd, P.pi, rg2);
    const int nupd = frozen ? std::min(hdim, ns) : ns;
    Dvec w = y2.sub(m + 1, ns);
    int inform = 0;
    m6bfgs(hdim, nupd, R, rg, rg2, p, v, w, alfa, mc.eps050, mc.eps080, inform);
    N.hmod1 = inform;
    for (int k = 1; k <= ns; ++k) rg(k) = rg2(k);
    S.rgnorm = rgnorm2;
    double dmax = 1.0, dmin = 1.0;
    m6rcnd(hdim, ns, R, dmax, dmin, N.condh);
    if (N.condh >= 1.0 / mc.eps050) N.hreset = true;  // reset before the next use
    N.modstep = alfa;
    N.modnr = std::min(ns, hdim);
    N.modns = ns;
    N.moddmin = dmin;
  }

  // 11. A variable reached its bound.
  bool swapped = false;
  if (hit) {
    const int j = kbs(jr);
    double v0 = xbs(jr);
    if (B.onbound) {
      v0 = B.bound;
    } else if (B.hitlow) {
      v0 = std::min(v0, blbs(jr));
    } else {
      v0 = std::max(v0, bubs(jr));
    }
    xbs(jr) = v0;
    P.xn(j) = v0;
    const int hsnew = blbs(jr) == bubs(jr) ? kHsFixed : (B.hitlow ? kHsLower : kHsUpper);
    if (jr > m) {
      P.hs(j) = hsnew;
      S.jsbout = j;
      remove(jr - m);
    } else {
      // A basic variable: a superbasic takes its place in the basis.
      Dvec er = y2.head(m), rowr = y.head(m);
      for (int i = 1; i <= m; ++i) er(i) = 0.0;
      er(jr) = 1.0;
      m2bsol(ctx, kBtran, er, rowr);
      double pivot = 0.0;
      const int kq = m7chzq(ctx.io, par.prtfile, m, ns, n, P.a, P.ha, P.ka, kbs, xbs, blbs, bubs, rowr,
                            par.pivtol, rkept, rg2, pivot);
      if (kq == 0) {
        N.retry += 1;
        if (N.retry > 4) {
          print_exit(ctx, TV_NO_SUPERBASIC);
          N.exit_printed = true;
          return {RgNext::Step, TV_NO_SUPERBASIC};
        }
        S.state = kStatePriceRg;
        return {RgNext::Step, 0};
      }
      const int pq = m + kq, jq = kbs(pq);
      P.hs(j) = hsnew;
      P.hs(jq) = kHsBasic;
      S.jbsout = j;
      S.pivot = pivot;
      // Column jq through the current factors, then the column replacement
      // (the solve that prepares it must be the last one before it).
      Dvec col = y2.head(m);
      m2unpk(jq, m, n, P.a, P.ha, P.ka, col);
      m2bsol(ctx, kFtran, col, y.head(m));
      m2bsol(ctx, kReplace, col, y.head(m), jr);
      kbs(jr) = jq;
      xbs(jr) = xbs(pq);
      blbs(jr) = blbs(pq);
      bubs(jr) = bubs(pq);
      grd(jr) = grd(pq);
      bsfeas(jr) = bsfeas(pq);
      if (j == jobj) S.objslot = 0;
      if (jq == jobj) S.objslot = jr;
      if (rkept && kq <= hdim) {
        int inform = 0;
        m6bswp(hdim, std::min(ns, hdim), R, work, rg2, kq, mc.eps050, mc.eps080, inform);
        N.hmod2 = inform;
      }
      remove(kq);
      swapped = true;
      N.al.nswap += 1;
    }
  }
  if (feasible && swapped) {
    fresh_rg();
  } else if (hit && (nlobj || feasible)) {
    S.rgnorm = 0.0;
    for (int k = 1; k <= ns; ++k) S.rgnorm = std::max(S.rgnorm, std::fabs(rg(k)));
  }
  if (ns == 0) S.rgnorm = 0.0;

  // 13. Condition of R while infeasible.
  if (!feasible && rkept) {
    double dmax = 1.0, dmin = 1.0;
    m6rcnd(hdim, ns, R, dmax, dmin, N.condh);
    if (N.condh >= 1.0 / mc.eps050) N.hreset = true;
  }

  // 14. Converged in this subspace?
  int verdict = kStateRg;
  if (ns > 0) {
    const double f = nlobj ? fnew : fold;
    verdict = m7sscv(ctx, P, ns, alfa, pnorm, xnorm, f, fold, S.rgnorm);
    if (verdict == kStatePriceRg && ns >= maxs) verdict = kStateRg;
  } else {
    verdict = kStatePriceRg;
  }
  S.state = verdict;
  return {RgNext::Step, 0};
}

}  // namespace

RgResult m7rgit(Context& ctx, Problem& P, int& ns) {
  if (P.nnl() == 0) {
    // Superbasics of a linear problem (from a basis file or the caller's
    // states): its superbasics limit is 1 and a search along a linear
    // function has nothing to find.  They keep their values as nonbasic
    // variables, priced both ways by the simplex when strictly between
    // their bounds, and the loop prices again.
    CIvec kbs = ctx.ws.ivec(ctx.part.kbs);
    for (int k = 1; k <= ns; ++k) P.hs(kbs(P.m + k)) = kHsLower;
    ns = 0;
    ctx.spx.rgnorm = 0.0;  // no reduced gradient left to judge the optimum by
    m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
    ctx.spx.state = ctx.spx.ninf > 0 ? kStatePhase1 : kStatePhase2;
    return {RgNext::SubspaceOptimal, 0};
  }
  RgIteration it(ctx, P, ns);
  return it.run();
}

int m7sscv(Context& ctx, Problem& P, int ns, double alfa, double pnorm, double xnorm, double f,
           double fold, double rgnorm) {
  SimplexState& S = ctx.spx;
  NonlinearState& N = ctx.nl;
  const Params& par = ctx.par;
  const int m = P.m, hdim = ctx.part.hdim, maxs = ctx.part.maxs;
  const int lvl = S.lvltol == 2 ? 2 : 1;
  const double xtol = par.m7tols[lvl - 1], ftol = par.m7tols[lvl + 1];
  N.xconv = alfa * pnorm <= xtol * (1.0 + xnorm);
  N.fconv = std::fabs(f - fold) <= ftol * (1.0 + std::fabs(f));
  N.gconv = rgnorm <= S.tolrg;
  N.sconv = rgnorm <= 0.1 * S.tolrg || rgnorm <= par.mc.eps050 * S.pinorm || (N.xconv && N.fconv && N.gconv);
  if (!N.sconv) return kStateRg;
  if (ns <= hdim || hdim == 0) return kStatePriceRg;

  // The triangle of R should hold the superbasics that matter most: the
  // diagonal-only one with the largest |rg| against the triangle's smallest.
  const Workspace& ws = ctx.ws;
  Ivec kbs = ws.ivec(ctx.part.kbs);
  Dvec xbs = ws.dvec(ctx.part.xbs), blbs = ws.dvec(ctx.part.blbs), bubs = ws.dvec(ctx.part.bubs);
  Dvec grd = ws.dvec(ctx.part.grd), rg = ws.dvec(ctx.part.rg), R = ws.dvec(ctx.part.hess);
  const SbLists L{m, kbs, xbs, blbs, bubs, grd, rg};
  m6swap(hdim, ns, R, L);
  const double h = std::fabs(rg(hdim + 1));
  if (ns < maxs && h <= S.tolrg) return kStatePriceRg;
  int kmin = 0;
  double rmin = std::numeric_limits<double>::infinity();
  for (int k = 1; k <= hdim; ++k) {
    if (std::fabs(rg(k)) <= rmin) {
      rmin = std::fabs(rg(k));
      kmin = k;
    }
  }
  if (kmin == 0 || !(rmin < h)) return kStatePriceRg;
  // Keep what m6rdel's shift would lose, then append it at the end with its
  // old diagonal as its diagonal entry.
  const int pos = m + kmin;
  const int j = kbs(pos);
  const double x = xbs(pos), bl = blbs(pos), bu = bubs(pos), g = grd(pos), rgk = rg(kmin);
  const double diag = std::fabs(R(m6rloc(hdim, kmin, kmin)));
  m6rdel(hdim, ns, kmin, R, true, L);
  const int last = m + ns;
  kbs(last) = j;
  xbs(last) = x;
  blbs(last) = bl;
  bubs(last) = bu;
  grd(last) = g;
  rg(ns) = rgk;
  R(m6dloc(hdim, ns)) = diag > 0.0 ? diag : 1.0;
  N.nsubit = 0;
  N.sconv = false;
  return kStateRg;
}

}  // namespace tv
