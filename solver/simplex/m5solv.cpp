// m5solv: the main iteration loop (major iterations, factorizations,
// iterations), its exits and the final block.
#include "simplex/m5solv.h"

#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/exit_text.h"
#include "core/m2amat.h"
#include "core/run_state.h"
#include "core/states.h"
#include "files/m4bfil.h"
#include "lu/basis_state.h"
#include "lu/m2bsol.h"
#include "lu/m2crsh.h"
#include "nonlinear/nl_steps.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/seams.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

// Phase 1 prices the sum of infeasibilities, and on structured problems
// many candidates tie: every column of an overloaded supply row of a
// transportation problem has the same score, and taking the first one
// ships the surplus wherever the column order says, which phase 2 must
// undo.  A weight on the objective this small relative to the largest cost
// (a term of at most 1e-9 in a reduced cost, far below the optimality
// tolerance) admits no candidate and turns no phase-1 step, but among
// equal scores it prefers the column that also lowers the objective: half
// the iterations or fewer on the transportation problems, about the same
// on the others.
double tie_weight(const Problem& P, double objscale) {
  if (P.objrow <= 0) return 0.0;
  double cmax = 0.0;
  for (int l = P.ka(1); l < P.ka(P.n + 1); ++l) {
    if (P.ha(l) == P.objrow) cmax = std::max(cmax, std::fabs(P.a(l)));
  }
  return 1.0e-9 / std::max(1.0, cmax * objscale);
}

// How a pass of the iteration loop ends.
enum class Next { Iterate, Restart, Refactor, EndMajor, NextMajor, RgSteps, Stop };

class Loop {
 public:
  Loop(Context& c, Problem& p, int& ns, int& start, int& inform)
      : ctx(c), P(p), S(c.spx), B(c.bas), par(c.par), nls(c.seams), ns(ns), start(start), inform(inform) {}

  void run();

 private:
  Context& ctx;
  Problem& P;
  SimplexState& S;
  BasisState& B;
  Params& par;
  NonlinearSeams& nls;
  int& ns;
  int& start;
  int& inform;

  bool lincon() const { return P.nncon == 0; }

  bool firstpass = true;   // first pass of the major iteration (cost former)
  bool forced = false;     // a refactorization asked for on purpose
  bool want_bs = false;    // the reduced-gradient iteration asked for "BS"
  bool nlfeas = false;     // first feasible point with nonlinear variables handled
  SubproblemEnd subcode = SubproblemEnd::Optimal;  // how the last subproblem ended (next major set-up)
  int ninfsub = 0;         // infeasible subproblems counted

  Next major();
  int factorize(const char* factype);
  Next iterate();
  Next no_candidate();
  Next subproblem_optimal();
  // Ends the run with `code`.  Its EXIT line is printed here unless the step
  // that failed has written it already, or left to the caller (S.holdend, on
  // linear problems only: a clean-up pass may follow and the run shows one).
  void stop(int code, int value = 0) {
    inform = code;
    if (ctx.nl.exit_printed) return;
    if (S.holdend) {
      S.heldcode = code;
      S.heldvalue = value;
    } else {
      print_exit(ctx, code, kExitUsual, value);
    }
  }
  void reduce_weight();
  void cannot_improve();
  void optimal_exit();
  void crash_rows(int mode);
  void objective_slack_from_row();
  void final_block();
};

void Loop::reduce_weight() {
  S.nwred += 1;
  if (S.nwred > 5) {
    S.wtobj = 0.0;
  } else {
    S.wtobj *= 0.1;
  }
  if (par.prtlevel > 0 || par.dbglevel > 0) ctx.prt(strf(" Weight on obj reduced to%12.2E", S.wtobj));
}

void Loop::optimal_exit() {
  if (S.rgnorm / S.pinorm < static_cast<double>(0.1f)) {
    stop(TV_OPTIMAL);
  } else {
    stop(TV_NEAR_OPTIMAL);
  }
}

void Loop::cannot_improve() {
  double ratio = S.rgnorm / S.pinorm;
  if (!lincon() && S.nmin == 0) ratio = std::max(ratio, ctx.nl.prinfn_last);
  ctx.both(" XXX  The functions are non-smooth or very nonlinear");
  // The level in force: the first funobj call lowers it when gradients are missing.
  const int derlevel = P.nnl() > 0 ? ctx.nl.ev.derlevel : par.derlevel;
  if (derlevel > 0) ctx.both(" XXX  MAKE SURE THE GRADIENTS ARE CODED CORRECTLY");
  ctx.both(ratio < 0.1 ? " XXX  The final point is REASONABLY NEAR AN OPTIMUM"
                       : " XXX  The final point is NOT CLOSE TO AN OPTIMUM");
  stop(TV_CANNOT_IMPROVE);
}

// A crash that was deferred: of the inequality rows once a crash of the
// linear equality rows has made those feasible (kCrashLinearLG), or of the
// nonlinear rows at the second major iteration, when the Jacobian is known
// and their slacks are on or within their bounds (kCrashNonlinear).
void Loop::crash_rows(int mode) {
  Workspace& ws = ctx.ws;
  const int m = P.m;
  m5hs(HsMode::External, P.nb, P.bl, P.bu, P.hs, P.xn);
  Ivec rowtype = ws.ivec(ctx.part.bsfeas).head(m);
  m2amat(ctx, 2, P, rowtype);
  Ivec rowstate = ws.as_ints(ctx.part.y2);
  m2crsh(ctx, mode, P, rowtype, rowstate.head(m));
  ws.as_doubles(ctx.part.y2);
  m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
}

Next Loop::subproblem_optimal() {
  if (unperturb_bounds(ctx, P, ns) > 0) {
    firstpass = true;
    S.tolrg = 0.0;
    return Next::Restart;
  }
  if (m5dgen(ctx, kExpandPhaseEnd, P, ns) > 0) {
    firstpass = true;
    S.tolrg = 0.0;
    return Next::Restart;
  }
  if (par.prtlevel > 0) {
    ctx.prt("");
    ctx.prt(strf(" Biggest dj =%11.3E (variable%7d)   norm rg =%11.3E   norm pi =%11.3E",
                 par.objsense * S.djbig, S.jbig, S.rgnorm, S.pinorm));
  }
  if (S.nfresh > 0 && m5setx(ctx, kSetxCheckEnd, P, ns) != 0) {
    B.demand = kDemandRowCheck;
    return Next::Refactor;
  }
  if (lincon()) {
    optimal_exit();
    return Next::Stop;
  }
  if (par.prtlevel > 0) {
    ctx.prt(strf(" End of major itn%4d  -  optimal subproblem at minor itn%6d  -  total itns =%8d",
                 S.nmaj, S.nmin, S.itn));
  }
  ctx.sum(strf(" Optimal subproblem at minor itn%6d", S.nmin));
  if (nls.auglag_counter(ctx) != 0) {
    subcode = SubproblemEnd::Infeasible;
  } else {
    subcode = SubproblemEnd::Optimal;
    ninfsub = 0;
    ctx.nl.al.optsub = true;
  }
  S.state = kStateRg;
  return Next::NextMajor;
}

Next Loop::no_candidate() {
  if (S.ninf == 0) {
    if (ns > 0) {
      const double test =
          (par.completion == 1 || lincon()) ? par.opttol * S.pinorm : 0.01 * S.pinorm;
      // A reduced-gradient iteration that is recovering from failed searches
      // and found nothing to price either has reached what it can.
      const bool stuck = ctx.nl.retry > 0 && ctx.nl.nrestart < 2;
      if (S.rgnorm <= test || S.lvltol == 2 || stuck) return subproblem_optimal();
      S.state = kStateRg;
      S.tolrg = 0.1 * std::min(S.rgnorm, S.tolrg);
      if (test >= S.tolrg) {
        S.lvltol = 2;
        S.tolrg = test;
      }
      if (par.prtlevel > 0) ctx.prt(strf(" tolrg  reduced to%11.3E      lvltol =%2d", S.tolrg, S.lvltol));
      return Next::RgSteps;
    }
    return subproblem_optimal();
  }
  if (S.wtobj != 0.0) {
    reduce_weight();
    return Next::Restart;
  }
  if (unperturb_bounds(ctx, P, ns) > 0 || m5dgen(ctx, kExpandPhaseEnd, P, ns) > 0) {
    firstpass = true;
    S.tolrg = 0.0;
    return Next::Restart;
  }
  if (ns > 0 && S.lvltol != 2) {
    S.lvltol = 2;
    S.tolrg = S.pinorm * std::min(par.mc.eps050, par.opttol);
    if (S.rgnorm > S.tolrg) {
      S.state = kStateRg;
      if (par.prtlevel > 0) ctx.prt(strf(" tolrg  reduced to%11.3E      lvltol =%2d", S.tolrg, S.lvltol));
      return Next::RgSteps;
    }
  }
  if (lincon() || S.nmaj == 1) {
    stop(TV_INFEASIBLE);
    return Next::Stop;
  }
  subcode = SubproblemEnd::Infeasible;
  if (nls.auglag_counter(ctx) == 0) ninfsub += 1;
  if (ninfsub <= 5) {
    if (nls.infeasible(ctx, P, ns) != Resume::Iterate) {
      if (ninfsub < 2 || S.nmin > 0) return Next::EndMajor;
      stop(TV_INFEASIBLE);
      return Next::Stop;
    }
    if (m5setx(ctx, kSetxRecompute, P, ns) != 0) {
      B.demand = kDemandRowCheck;
      return Next::Refactor;
    }
    return Next::Restart;
  }
  stop(TV_INFEASIBLE);
  return Next::Stop;
}

// The iteration loop: one pass per iteration until a refactorization is
// due or the major iteration or the run ends.
Next Loop::iterate() {
  Workspace& ws = ctx.ws;
  const int m = P.m, nnl = P.nnl();
  Dvec y = ws.dvec(ctx.part.y), y2 = ws.dvec(ctx.part.y2);

  for (;;) {
    if (B.demand != kDemandNone) return Next::Refactor;
    // 1. EXPAND.
    S.delta += S.tau;
    if (S.nmin > 0 && S.nmin % par.expfreq == 0) m5dgen(ctx, kExpandReset, P, ns);
    if (B.demand != kDemandNone) return Next::Refactor;

    // 2. Costs.
    const double sinf0 = S.sinf;
    const bool wasfeas = S.ninf == 0;
    const int r = m5frmc(ctx, P, ns, firstpass, start);
    if (r != 0) {
      stop(r);
      return Next::Stop;
    }
    if (S.ninf > 0) {
      if (S.wtobj > 0.0 && S.itn > 0 && S.sinf > 1.1 * sinf0) {
        reduce_weight();
        continue;
      }
    } else if (!wasfeas || firstpass) {
      // Feasible for the first time in this pass.
      if (start == kCrashAll) {
        start = kCrashNone;
      } else if (start == kCrashLinear || start == kCrashLinearLG) {
        start = lincon() ? kCrashNone : kCrashNonlinear;
      } else if (start == kCrashLinearE) {
        if (P.nncon < m) {
          crash_rows(kCrashLinearLG);
          if (S.dvx.on || S.dvx.sections) devex_start(ctx, P);
          start = kCrashLinearLG;  // the inequality rows are crashed once
          S.ninf = 1;
          forced = true;
          return Next::Refactor;
        }
        start = kCrashNonlinear;
      }
      if (nnl > 0 && !nlfeas) {
        nlfeas = true;
        const int rr = nls.first_feasible(ctx, P, ns);
        if (rr != 0) {
          stop(rr);
          return Next::Stop;
        }
        if (lincon()) {
          S.ninf = 1;
          continue;
        }
        return Next::EndMajor;
      }
      S.lvltol = 1;
      S.tolrg = 0.0;
    }
    // Prices (Devex pricing updates them from the pivot row while the
    // costs stay the same), with the objective's gradient in the costs
    // while feasible.
    if (S.needpi && nnl > 0 && S.ninf == 0) {
      const int rr = nls.gradient(ctx, P, ns);
      if (rr != 0) {
        stop(rr);
        return Next::Stop;
      }
    }
    if (S.needpi) {
      if (devex_costs_kept(ctx, P)) {
        S.needpi = false;
      } else {
        fresh_prices(ctx, P, ns);
      }
    }
    firstpass = false;

    // 3. Reduced gradient.
    if (S.state > kStatePhase2 && ns > 0) {
      S.rgnorm = nls.reduced_gradient(ctx, P, ns);
      if (S.tolrg == 0.0) S.tolrg = par.subtol * S.rgnorm;
    }

    // 4-6. Price and step; a reduced-gradient iteration may ask to price again.
    bool increase = false;
    int jr = 0;
    bool changed = false, prices_due = true;
    bool restart = false;
    for (;;) {
      S.jsbin = S.jsbout = S.jbsout = 0;
      S.step = S.pivot = 0.0;
      S.logdj = 0.0;
      S.logflag = ' ';
      bool rgsteps = false;
      if (S.state <= kStatePriceRg) {
        if (ns == ctx.part.maxs) {
          stop(TV_SUPERBASICS_LIMIT, ctx.part.maxs);
          return Next::Stop;
        }
        m5pric(ctx, P, ns, increase);
        ctx.nl.canprice = S.jq > 0;
        if (S.jq > 0) {
          if (S.ncand > 1) S.state = kStatePriceRg;
          S.lvltol = 1;
          S.logdj = S.djq;
          S.jsbin = S.jq;
        } else {
          const Next nc = no_candidate();
          if (nc == Next::Restart) {
            restart = true;
            break;
          }
          if (nc != Next::RgSteps) return nc;
          rgsteps = true;
        }
      }
      // 5. Limits.
      if (S.itn >= par.itnmax) {
        if (lincon()) {
          stop(TV_ITERATION_LIMIT);
          return Next::Stop;
        }
        return Next::EndMajor;
      }
      if (S.nphase2 >= par.minormax) return Next::EndMajor;
      if (inform > 0) {
        stop(inform);
        return Next::Stop;
      }
      // 6. Step.
      if (S.state <= kStatePhase2 && !rgsteps) {
        inform = m5lpit(ctx, P, increase, jr, changed, prices_due);
        break;
      }
      if (S.state == kStatePriceRg || ns > 0) {
        const RgResult res = nls.rgit(ctx, P, ns);
        if (res.inform != 0) {
          inform = res.inform;
          break;
        }
        if (res.next == RgNext::SubspaceOptimal) continue;  // price again
        if (res.next == RgNext::FormCosts) {
          restart = true;
          break;
        }
        if (res.next == RgNext::FactorBS) {
          want_bs = true;
          return Next::Refactor;
        }
        prices_due = false;
        break;
      }
      S.state = kStatePriceRg;  // state 4 without superbasics: price
    }
    if (restart) continue;

    // 7. After the step.
    if (inform == TV_UNBOUNDED) {
      if (S.ninf > 0 && S.wtobj > 0.0) {
        S.wtobj = 0.0;
        reduce_weight();
        inform = 0;
        continue;
      }
      if (unperturb_bounds(ctx, P, ns) > 0 || m5dgen(ctx, kExpandPhaseEnd, P, ns) > 0) {
        firstpass = true;
        S.tolrg = 0.0;
        inform = 0;
        continue;
      }
      if (!lincon()) {
        subcode = SubproblemEnd::Unbounded;
        if (nls.unbounded(ctx, P) == Resume::Iterate) {
          inform = 0;
          S.needpi = true;
          S.ninf = 1;
          continue;
        }
      }
      stop(TV_UNBOUNDED);
      return Next::Stop;
    }
    if (inform == TV_CANNOT_IMPROVE) {
      cannot_improve();
      return Next::Stop;
    }
    if (inform > 0) {
      stop(inform);
      return Next::Stop;
    }

    S.itn += 1;
    S.nfresh += 1;
    S.nmin += 1;
    if (S.ninf == 0) S.nphase2 += 1;
    const int req = m5log(ctx, P, ns);
    if (req == 1 || req == 2) {  // other requests are ignored
      stop(req == 1 ? TV_TIME_LIMIT : TV_INTERRUPT);
      return Next::Stop;
    }

    // Objective-change test.
    double objnow = S.sinf;
    if (S.ninf == 0) {
      objnow = P.objconst + ctx.nl.fobj;
      if (S.jobj > 0) objnow -= P.xn(S.jobj) * ctx.run.objscale;
    }
    if (std::fabs(S.objprev - objnow) > (1.0 + std::fabs(objnow)) * par.mc.eps067) {
      S.nsame = 0;
    } else {
      S.nsame += 1;
    }
    S.objprev = objnow;
    if (S.nsame >= S.nsamelim) {
      stop(TV_NO_CHANGE, S.nsamelim);
      return Next::Stop;
    }
    if (S.ninf == 0 && lincon() && nnl == 0) perturb_due(ctx, P, ns);

    if (par.savfreq > 0 && S.itn % par.savfreq == 0 && par.newbfile > 0 && S.itn < par.itnmax) {
      m5hs(HsMode::External, P.nb, P.bl, P.bu, P.hs, P.xn);
      double objective = P.objconst + ctx.nl.fobj;
      if (S.jobj > 0) objective -= P.xn(S.jobj) * ctx.run.objscale;
      save_new_basis(ctx, P, ns, 0, S.itn, S.ninf, S.sinf, objective);
      m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
    }

    // Refactorize, or update the factors.
    if (B.nupd >= par.facfreq - 1) {
      B.demand = kDemandFrequency;
    } else if (B.nupd > 19 && B.lenl + B.lenu > 2 * S.lusize0) {
      if (par.prtlevel > 0) {
        const double grow = static_cast<double>(B.lenl + B.lenu) / std::max(S.lusize0, 1);
        ctx.prt(strf(" LU file has increased by a factor of%6.1f", grow));
      }
      B.demand = kDemandLuGrew;
    } else if (changed) {
      m2bsol(ctx, kReplace, y2, y, jr);
    }
    if (B.demand == kDemandNone && S.nfresh % par.chkfreq == 0) {
      if (m5setx(ctx, kSetxCheck, P, ns) != 0) B.demand = kDemandRowCheck;
    }
    if (B.demand != kDemandNone) return Next::Refactor;
    S.needpi = S.needpi || prices_due;
  }
}

// Factorize the basis, tell the reduced Hessian when the superbasic set
// changed, recompute the basic variables and check the rows.  Factors kept
// from before that fail the check are replaced by a fresh factorization;
// fresh ones that fail it end the run with 10.  Returns 0 or the result.
int Loop::factorize(const char* factype) {
  FactorRequest rq;
  rq.factype = factype;
  rq.gotfac = ctx.run.gotfac;
  rq.crashuse = start;
  rq.itn = S.itn;
  rq.ninf = S.ninf;
  rq.sinf = S.sinf;
  rq.objective = P.objconst + ctx.nl.fobj;
  if (S.jobj > 0) rq.objective -= P.xn(S.jobj) * ctx.run.objscale;
  for (;;) {
    const FactorResult fr = m2bfac(ctx, rq, P, ns);
    if (fr.ierr != 0) return fr.ierr;
    if (fr.superbasics_changed()) nls.hessian_clear(ctx);
    ctx.run.gotfac = false;
    if (m5setx(ctx, kSetxRecompute, P, ns) == 0) break;
    if (fr.made) {
      B.ierr = TV_NUMERICAL_ERROR;
      return TV_NUMERICAL_ERROR;
    }
    rq.gotfac = false;
    rq.again = true;
  }
  const int m = P.m;
  CIvec kbs = ctx.ws.ivec(ctx.part.kbs);
  S.objslot = 0;
  for (int k = 1; k <= m && S.jobj > 0; ++k) {
    if (kbs(k) == S.jobj) S.objslot = k;
  }
  basis_bounds(ctx, P, ns, start);
  perturb_basic_bounds(ctx, P, ns);
  return 0;
}

// One major iteration: the factorization loop around the iterations.
Next Loop::major() {
  bool firstfac = true;
  for (;;) {
    const char* factype = "B ";
    if (firstfac && S.nmaj > 1) factype = "BT";
    if (want_bs) factype = "BS";
    want_bs = false;
    if (!firstfac && S.nfresh == 0 && !forced) {
      stop(TV_FACTOR_TWICE);
      return Next::Stop;
    }
    forced = false;
    firstfac = false;
    const int r = factorize(factype);
    S.nfresh = 0;
    if (r != 0) {
      inform = r;
      if (inform == TV_NUMERICAL_ERROR) stop(TV_NUMERICAL_ERROR);
      return Next::Stop;
    }
    S.lusize0 = B.lenl + B.lenu;
    S.needpi = true;
    S.dvx.rcvalid = false;
    if (par.prtlevel % 10 > 0) S.headdue = true;
    const Next nx = iterate();
    if (nx != Next::Refactor) return nx;
  }
}

void Loop::run() {
  const int m = P.m;
  // Initialization.
  S.itn = S.itnstart;
  S.nmaj = 0;
  S.nmin = 0;
  S.nphase2 = 0;
  S.ninf = 0;
  S.sinf = 0.0;
  B.demand = kDemandNone;
  S.nfresh = 0;
  S.objlin = S.objlog = S.objtrue = S.objsub = S.obj = S.objprev = 0.0;
  ctx.nl.fobj = 0.0;
  S.pinorm = 1.0;
  S.rgnorm = 0.0;
  S.xnorm = 1.0;
  S.headdue = true;
  S.prtlines = S.sumlines = 0;
  S.nsamelim = std::min(std::max(m, 1000), 10000);
  S.nsame = 0;
  S.everfeas = false;
  S.wtobj = std::max(par.objweight, 0.0);
  S.wttie = tie_weight(P, ctx.run.objscale);
  S.grdslot = -1;
  S.nwred = 0;
  S.state = kStatePhase1;
  S.step = S.pivot = 0.0;
  S.ndegen = 0;
  S.objslot = 0;
  S.dvx = DevexState();
  S.perturbed = false;
  S.nperturb = 0;
  S.pwinitn = S.itn;
  S.pwindegen = 0;
  // Devex pricing needs its regions (the partition places them for it).
  S.dvx.on = prices_every_column_by_weights(par.pricing) && P.nnl() == 0 && ctx.part.dvxpos.len >= P.nb;
  S.dvx.se = S.dvx.on && par.pricing == kPriceSteepest && ctx.part.dvxtau.len >= P.m;
  S.dvx.sections = par.pricing == kPricePartialDevex && P.nnl() == 0 && ctx.part.devex.len >= P.nb;
  if (!ctx.run.gothes) nls.hessian_clear(ctx);
  nl_loop_start(ctx);
  if (!lincon()) ctx.nl.penalty = par.penalty;
  ctx.run.gotfac = false;
  if (lincon()) m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
  // A nonbasic variable beyond its bound starts on it (the basic variables
  // are computed from these values by the first factorization).
  for (int j = 1; j <= P.nb; ++j) {
    const int h = P.hs(j);
    if ((h == kHsLower || h == kHsFixed) && P.xn(j) < P.bl(j)) P.xn(j) = P.bl(j);
    if ((h == kHsUpper || h == kHsFixed) && P.xn(j) > P.bu(j)) P.xn(j) = P.bu(j);
  }
  inform = 0;

  for (;;) {
    S.nmaj += 1;
    firstpass = true;
    inform = 0;
    S.kp = 0;
    S.thresh[0] = S.thresh[1] = 1.0e20;
    S.lvltol = 1;
    S.tolrg = 0.0;
    m6difreset(ctx.nl.ev);
    m5dgen(ctx, kExpandStart, P, ns);
    if (S.dvx.on || S.dvx.sections) devex_start(ctx, P);
    if (!lincon()) {
      const MajorSetup r = nls.major_setup(ctx, P, ns, subcode);
      S.nmin = 0;
      S.nphase2 = 0;
      if (r.next == MajorNext::Stop) {
        stop(r.inform);
        break;
      }
      if (r.next == MajorNext::Converged) {
        optimal_exit();
        break;
      }
      if (S.nmaj > par.majmax) {
        ctx.prt(" XXX  Major iterations terminated before convergence");
        stop(TV_ITERATION_LIMIT);
        break;
      }
      if (S.itn >= par.itnmax) {
        stop(TV_ITERATION_LIMIT);
        break;
      }
      if (r.unchanged > 3 && ninfsub == 0) {
        stop(TV_CANNOT_IMPROVE);
        break;
      }
      if (S.nmaj == 2 && start == kCrashNonlinear) {
        crash_rows(kCrashNonlinear);
        start = kCrashNone;
      }
    }
    const Next nx = major();
    if (nx == Next::Stop) break;
    if (nx == Next::EndMajor) {
      if (par.prtlevel > 0) {
        ctx.prt(strf(" End of major itn%4d  -  minor itns terminated at%6d  -  total itns =%8d", S.nmaj,
                     S.nmin, S.itn));
      }
      ctx.sum(strf(" Minor itns terminated at%6d", S.nmin));
      S.state = kStateRg;
      subcode = SubproblemEnd::MinorLimit;
      if (lincon()) {
        stop(TV_ITERATION_LIMIT);
        break;
      }
    }
  }
  final_block();
}

// The basic slack of a free objective row of a linear program takes its
// value from the row itself: minus the row's activity, a sum of products.
// Solved for with the basis it carries the rounding of the solves, which a
// row scale far from 1 (4e8 on an objective row holding 1e-10 and 3) makes
// visible in the objective; the row is free, so the value changes nothing
// else.
void Loop::objective_slack_from_row() {
  const int jobj = S.jobj;
  if (jobj <= 0 || !lincon() || P.nnl() > 0 || P.hs(jobj) != kHsBasic) return;
  const double inf = ctx.par.mc.infbnd;
  if (P.bl(jobj) > -inf || P.bu(jobj) < inf) return;
  const int objrow = jobj - P.n;
  double activity = 0.0;
  for (int j = 1; j <= P.n; ++j) {
    for (int l = P.ka(j); l < P.ka(j + 1); ++l) {
      if (P.ha(l) == objrow) activity += P.a(l) * P.xn(j);
    }
  }
  P.xn(jobj) = -activity;
}

void Loop::final_block() {
  // A run that ends with perturbation in force (a limit, a stop request)
  // returns the point of the true bounds.
  if (S.perturbed && inform < TV_LU_STORAGE) {
    unperturb_bounds(ctx, P, ns);
    // Count what the true bounds leave infeasible.
    CDvec xbs = ctx.ws.dvec(ctx.part.xbs), blbs = ctx.ws.dvec(ctx.part.blbs), bubs = ctx.ws.dvec(ctx.part.bubs);
    S.ninf = 0;
    S.sinf = 0.0;
    for (int k = 1; k <= P.m + ns; ++k) {
      const double d = std::max(blbs(k) - xbs(k), xbs(k) - bubs(k));
      if (d > S.delta) {
        S.ninf += 1;
        S.sinf += d;
      }
    }
  }
  S.perturbed = false;
  ctx.run.gotfac = inform <= TV_CANNOT_IMPROVE;
  ctx.run.gothes = nls.hessian_held(ctx);
  S.degpct = 100.0 * S.ndegen / std::max(S.itn, 1);
  double xnorm = 0.0;
  for (int j = 1; j <= P.nb; ++j) xnorm = std::max(xnorm, std::fabs(P.xn(j)));
  S.xnorm = xnorm;
  objective_slack_from_row();
  S.objlin = S.jobj > 0 ? 0.0 - P.xn(S.jobj) * ctx.run.objscale : 0.0;
  S.obj = P.objconst + S.objlin + ctx.nl.fobj;
  ctx.run.ninf = S.ninf;
  ctx.run.sinf = S.sinf;
  ctx.run.obj = S.obj;
  const int nnl = P.nnl();
  S.nbasnl = 0;
  for (int j = 1; j <= nnl; ++j) S.nbasnl += P.hs(j) == kHsBasic ? 1 : 0;
  if (!lincon()) {
    nls.finish(ctx, P);
    if (S.nmin == 0) S.nmaj -= 1;
  }
  m5hs(HsMode::External, P.nb, P.bl, P.bu, P.hs, P.xn);
  if (par.newbfile > 0 && inform < TV_LU_STORAGE) save_new_basis(ctx, P, ns, inform + 1, S.itn, S.ninf, S.sinf, S.obj);
  if (!S.holdend) final_statistics(ctx, P, ns);
}

}  // namespace

void m5solv(Context& ctx, Problem& P, int& ns, int& start, int& inform) {
  Loop loop(ctx, P, ns, start, inform);
  loop.run();
}

}  // namespace tv
