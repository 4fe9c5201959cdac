#include "core/tvsolv.h"

#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/exit_text.h"
#include "core/m2amat.h"
#include "core/page.h"
#include "core/run_state.h"
#include "core/states.h"
#include "core/timers.h"
#include "files/m4getb.h"
#include "files/m4savb.h"
#include "files/save_state.h"
#include "lu/basis_state.h"
#include "lu/m2bsol.h"
#include "lu/m2scal.h"
#include "nonlinear/nl_steps.h"
#include "options/params.h"
#include "simplex/cleanup_pass.h"
#include "simplex/m5.h"
#include "simplex/m5solv.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

void print_partial_price(Context& ctx, int m, int n) {
  const Params& p = ctx.par;
  const int nparp = p.partprice;
  ctx.prt(strf(" Scale option%3d,      Partial price%8d", p.scaleopt, nparp));
  ctx.prt(strf(" Partial price section size (A) %12d", n / nparp));
  ctx.prt(strf(" Partial price section size (I) %12d", m / nparp));
  ctx.prt(p.pricing == kPriceSteepest ? " Pricing rule                  steepest edge (reference framework, every column)"
          : p.pricing == kPriceDevex  ? " Pricing rule                  Devex (reference weights, every column)"
          : p.pricing == kPricePartialDevex ? " Pricing rule                  partial Devex (reference weights by sections)"
                                            : " Pricing rule                  partial (largest reduced cost by sections)");
  ctx.sum(strf(" Scale option%3d,    Partial price%4d", p.scaleopt, nparp));
}

// The multipliers of the nonlinear rows start from pi (start of the run and
// of every cycle).
void init_lagrangian(Context& ctx, Problem& P) { nl_init_lagrangian(ctx, P); }

// Model modification between cycles; true when it asks to stop.
bool call_matmod(Context& ctx, Problem& P, int ncycle) {
  ctx.both(strf(" matmod called with ncycle =%5d", ncycle));
  int stop = 0;
  if (ctx.sav.matmod) ctx.sav.matmod(ctx, P, ncycle, stop);
  return stop != 0;
}

// Undo the scaling of a cycle whose solution is not saved, so that the
// caller's matrix, bounds and point come back unscaled.
void unscale_unsaved(Context& ctx, Problem& P) {
  Dvec sc = ctx.ws.dvec(ctx.part.scales);
  if (ctx.par.scaleopt > 0 && sc.size() >= P.nb) m2scla(ctx, 2, P, sc);
  if (P.nncon > 0) nl_caller_bounds(ctx, P);
}

// The first variable whose lower bound lies above its upper bound by more
// than the Feasibility tolerance (relative to the bounds), 0 when none.
// Such a problem has no feasible point, but the simplex cannot see it when
// the variable stays nonbasic: a nonbasic variable sits on one of its
// bounds, and phase 1 measures only the basic ones.
int crossed_bounds(const Context& ctx, const Problem& P) {
  const double tol = ctx.par.feastol;
  for (int j = 1; j <= P.nb; ++j) {
    const double l = P.bl(j), u = P.bu(j);
    if (l - u > tol * std::max({1.0, std::fabs(l), std::fabs(u)})) return j;
  }
  return 0;
}

}  // namespace

bool solution_saved(int inform, int itn) {
  return inform < TV_BASIS_FILE && (itn > 0 || inform <= TV_INTERRUPT);
}

int partial_price_sections(int m, int n, int partprice) {
  int nparp = std::max(partprice, 1);
  if (n / nparp <= 9 && m / nparp <= 9) {
    const int big = std::max({m, n, 1});
    nparp = big <= 10 ? 1 : big / 10;
  }
  return nparp;
}

void run_start(Context& ctx, const Problem& P) {
  RunState& R = ctx.run;
  R.ninf = 0;
  R.sinf = 0.0;
  R.obj = 0.0;
  R.ncycle = 0;
  ctx.bas.lenl = ctx.bas.lenu = 0;
  basis_manager_start(ctx);  // factorization count and BS re-choice memory start afresh
  ctx.run.objscale = 1.0;
  ctx.spx.jobj = P.objrow > 0 ? P.n + P.objrow : 0;
  ctx.spx.itn = 0;
  {
    // Fresh results; the hook and what a Hot start relies on are kept.
    MatmodFn hook = std::move(ctx.sav.matmod);
    const int ns_hessian = ctx.sav.ns_hessian;
    ctx.sav = SaveState();
    ctx.sav.matmod = std::move(hook);
    ctx.sav.ns_hessian = ns_hessian;
  }
  ctx.par.partprice = partial_price_sections(P.m, P.n, ctx.par.partprice);
}

void tvsolv(Context& ctx, std::string_view start, Problem& P, int& ns, int& inform, int& nmajor,
            int& nitns) {
  Params& p = ctx.par;
  RunState& R = ctx.run;
  const int m = P.m, n = P.n;

  run_start(ctx, P);
  nmajor = 0;
  nitns = 0;
  inform = 0;

  set_start_mode(ctx, start, ns);
  // Scale option 1 scales only the linear part: nothing when every column is
  // nonlinear.  Settled before it is printed, so the line shows what is used.
  if (p.scaleopt == 1 && n == P.nnl()) p.scaleopt = 0;
  print_partial_price(ctx, m, n);
  // The callbacks' first calls of this run receive nstate 1.
  nl_start(ctx, P);

  Ivec rowtype = ctx.ws.ivec(ctx.part.bsfeas);
  m2amat(ctx, 1, P, rowtype);
  if (P.nncon > 0) init_lagrangian(ctx, P);

  ctx.prt(" Initial basis");
  ctx.prt(" -------------");
  if (R.startmode != kStartCold) {
    ctx.prt(" start = " + std::string(start));
  } else if (p.oldbfile <= 0 && p.insfile <= 0 && p.loadfile <= 0) {
    ctx.prt(" No basis file supplied");
  }
  int startval = 0;
  m4getb(ctx, 0, P, ns, startval, inform);
  if (inform != 0) return;

  bool stop = false;
  if (p.cyclim > 1) stop = call_matmod(ctx, P, 0);

  int printed = 0;  // the cycle whose solution was printed last
  bool saved = false;
  const int cyclim = std::max(p.cyclim, 1);
  for (int k = 1; k <= cyclim && !stop; ++k) {
    R.ncycle = k;
    inform = 0;
    if (!R.gotbas) R.gotfac = R.gothes = false;
    if (k >= 2) {
      m1page(ctx, 0);
      ctx.prt(strf(" Start of Cycle%5d", k));
      ctx.prt(" -------------------");
      ctx.prt(run_flag_line(R));
      ctx.sum(" Start of Cycle");
      if (P.nncon > 0) init_lagrangian(ctx, P);
      m2amat(ctx, 2, P, rowtype);
    } else if (P.nncon > 0) {
      init_lagrangian(ctx, P);
    }

    m4getb(ctx, k, P, ns, startval, inform);
    if (inform != 0) return;

    m4chek(ctx, P, ns);
    m5hs(HsMode::Internal, P.nb, P.bl, P.bu, P.hs, P.xn);
    m1page(ctx, 0);
    ctx.prt(" Iterations");
    ctx.prt(" ----------");

    m1time(ctx, kClockSolve, 0);
    // A linear program may get a clean-up pass after its optimal exit: the
    // run shows one EXIT line and one block of final statistics, at the end.
    SimplexState& S = ctx.spx;
    S.holdend = P.nnl() == 0 && P.nncon == 0;
    S.heldcode = -1;
    m5solv(ctx, P, ns, startval, inform);
    cleanup_pass(ctx, P, ns, startval, inform);
    if (S.holdend && inform == TV_OPTIMAL) {
      if (const int j = crossed_bounds(ctx, P); j > 0) {
        ctx.both(strf(" XXX  Variable%8d has its lower bound above its upper bound", j));
        inform = TV_INFEASIBLE;
        S.heldcode = TV_INFEASIBLE;
        S.heldvalue = 0;
      }
    }
    if (S.holdend) {
      S.holdend = false;
      if (S.heldcode >= 0) print_exit(ctx, S.heldcode, kExitUsual, S.heldvalue);
      final_statistics(ctx, P, ns);
    }
    m1time(ctx, -kClockSolve, 0);
    nmajor += ctx.spx.nmaj;
    nitns += ctx.spx.itn;
    ctx.sav.ns_hessian = ns;

    saved = solution_saved(inform, ctx.spx.itn);
    ctx.sav.saved = false;
    if (!saved) {
      unscale_unsaved(ctx, P);
      break;
    }
    m1time(ctx, kClockOutput, 0);
    m4savb(ctx, 1, P, ns, inform);
    if (k > cyclim - p.cycprt) {
      m4savb(ctx, 2, P, ns, inform);
      printed = k;
    }
    m1time(ctx, -kClockOutput, 0);

    if (inform == TV_USER_STOP) break;
    // The final call of the callbacks at the unscaled solution.
    if (R.ninf == 0 && nl_final_calls(ctx, P, inform) < 0) break;
    if (inform > TV_INTERRUPT) break;
    if (k < cyclim && call_matmod(ctx, P, k)) break;
  }

  // The last cycle's solution, unless already printed or not saved.
  if (saved && R.ncycle > 0 && printed != R.ncycle) {
    m1time(ctx, kClockOutput, 0);
    m4savb(ctx, 2, P, ns, inform);
    m1time(ctx, -kClockOutput, 0);
  }
}

}  // namespace tv
