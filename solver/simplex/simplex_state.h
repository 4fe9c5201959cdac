// State of the main iteration loop, pricing and the ratio test.
//
// What the run driver reads after m5solv returns:
//   itn, nmaj           iterations and major iterations of the call
//   ninf, sinf          number and sum of the infeasibilities at the end
//   objlin              linear objective: the objective row's value (unscaled
//                       through ctx.run.objscale), 0 without an objective row
//   obj                 objconst + objlin + the nonlinear objective value
//                       (the value the entry returns as `obj`)
//   pinorm              max(1, largest |pi|) of the last prices
//   delta               EXPAND working feasibility tolerance at the end
//   ndegen, degpct      degenerate steps (of the last major iteration) and
//                       their percentage of itn
//   xnorm               largest |xn(j)| at the end
//   nbasnl              basic nonlinear columns at the end
// The same ninf, sinf and obj are also stored in ctx.run (block cycle2).
#pragma once

namespace tv {

// What the next iteration does (SimplexState::state).
enum : int {
  kStatePhase1 = 1,   // infeasible: a phase-1 simplex step
  kStatePhase2 = 2,   // feasible, linear: a phase-2 simplex step
  kStatePriceRg = 3,  // price, then reduced-gradient steps
  kStateRg = 4,       // reduced-gradient steps on the present superbasics before pricing again
};

// Devex pricing (devex_price.cpp).  Reduced costs are kept in rc for every
// nonbasic variable and brought up to date from the pivot row while the
// costs stay the same; the prices pi follow the same update.
struct DevexState {
  bool on = false;        // Devex pricing in this call
  bool sections = false;  // partial Devex: the weights within partial pricing's sections
  bool rcvalid = false;   // rc and pi hold the reduced costs and prices for the costs in gkept
  bool pending = false;   // a pivot row (B'^-1 e_r in region work) is still to be applied
  bool wupd = false;      // ... to the weights too (false after a framework reset)
  int jq = 0, jp = 0;     // entering and leaving variable of that pivot
  int lastq = 0;          // the last variable chosen (ties go to the next ones)
  double alpha = 0.0;     // its pivot (B^-1 a_q)_r
  double wq = 1.0;        // the entering variable's weight
  double theta = 0.0;     // d_q / alpha: pi += theta * rho, d_j -= theta * alpha_rj
  double cleave = 0.0;    // the leaving variable's cost while basic
  double cobj = 0.0;      // cost of a nonbasic objective slack in rc
  int nreset = 0;         // framework resets in this call (weights grown or estimate off)
  int nfreshrc = 0;       // pricings that computed rc from fresh prices
  // The structural columns by rows (workspace regions dvxstart, dvxcol,
  // dvxval; built at the first pricing of a call), so that a sparse rho
  // gives the pivot row from its nonzeros alone, and that row as a dense
  // vector over the columns (dvxrow) with the list of the columns it
  // touches (dvxtouch, ntouched of them; dvxmark flags them).
  bool rowsbuilt = false;
  int ntouched = 0;
  // The nonzeros of rho (region dvxrhonz, increasing): nrhonz of them, set
  // by the pivot that computed rho.
  int nrhonz = 0;
  // The largest |pi(i)| and its row while pi is updated from rho (piarg 0:
  // not known, after fresh prices).
  double pimax = 0.0;
  int piarg = 0;
  // Candidate list (regions dvxlist, dvxpos): every nonbasic variable whose
  // score d_j (reduced cost with the sign of the allowed move) was positive
  // when last evaluated.  Rebuilt by every full pass, kept by the sparse
  // updates, pruned lazily by the scans.
  int nlist = 0;
  bool listinit = false;   // dvxpos cleared in this call
  bool scorestale = false; // the weights were reset since the scores were stored
  bool listvalid = false;  // the list holds every variable with a positive score
  // Steepest-edge weights, exact within the framework (regions dvxtau,
  // dvxtrhs): the update of the pending pivot uses tau = B'^-1 D y / y_r,
  // D selecting the positions of the framework's basic members.
  bool se = false;
  // gkept is 0 but at this position (0: everywhere), as grd at the time
  // it was kept; -1 when not known.
  int keptslot = -1;
};

struct SimplexState {
  // Set by the driver before the call (the objective row's scale is
  // ctx.run.objscale, set by the scaling).
  int jobj = 0;           // index of the objective row's slack (n + objrow, or 0)

  // Counters.
  int itnstart = 0;   // the count a call starts from (a clean-up pass goes on counting)
  int itn = 0;        // iterations so far
  int nmaj = 0;       // major iteration number
  int nmin = 0;       // minor iterations in the current major iteration
  int nphase2 = 0;    // minor iterations done while feasible (this major)
  int nfresh = 0;     // iterations since the last factorization
  int state = 1;      // 1 phase-1 simplex, 2 phase-2 simplex, 3/4 reduced gradient
  int nsame = 0;      // iterations without objective change
  int nsamelim = 1000;
  int nwred = 0;      // reductions of the weight on the objective

  // Feasibility and objective.
  int ninf = 0;
  double sinf = 0.0;
  double wtobj = 0.0;   // weight on the objective while infeasible
  // grd is 0 but at this position (0: everywhere): the objective's cost
  // alone, set by a feasible pass of the cost former on a linear problem
  // without superbasics; -1 when not known.
  int grdslot = -1;
  double wttie = 0.0;   // the objective's weight in phase 1 that only breaks ties
  // The objective's weight in the phase-1 costs.
  double phase1_weight() const { return wtobj + wttie; }
  double objlin = 0.0;  // linear objective (row value)
  double objlog = 0.0;  // objective the cost former reports (sense applied)
  double objtrue = 0.0; // sense * objlin + objconst
  double objsub = 0.0;  // subproblem objective
  double obj = 0.0;     // objconst + objlin + nonlinear value
  double objprev = 0.0; // for the objective-change test
  bool everfeas = false;  // a feasible point was seen in this call
  int objslot = 0;      // position of the objective slack in kbs (0: nonbasic)

  // Prices.
  double dualtol = 0.0; // > 0: phase 2 prices against this absolute tolerance (clean-up pass)
  double pinorm = 1.0;
  double rgnorm = 0.0;
  bool needpi = true;   // prices are due
  int kp = 0;           // section priced last
  double thresh[2] = {1.0e20, 1.0e20};  // partial-pricing thresholds: infeasible, feasible
  int jq = 0;           // chosen variable (0: none)
  double djq = 0.0;     // its reduced cost
  int ncand = 0;        // variables chosen
  int kpq = 0;          // section of the chosen variable
  int jbig = 0;         // variable with the biggest score below the tolerance
  double djbig = 0.0;   // its reduced cost
  DevexState dvx;

  // Entries of region ynz listed by the last simplex iteration (the
  // nonzeros of y = B^-1 a_q, then m + 1).
  int nynz = 0;

  // Reduced-gradient tolerances.
  int lvltol = 1;
  double tolrg = 0.0;

  // EXPAND.
  double delta = 0.0, delta0 = 0.0, tau = 0.0;
  int ndegen = 0;
  int itnreset = 0;       // iteration of the last reset
  int nreset[2] = {0, 0}; // mode-3 resets while infeasible, feasible

  // Bound perturbation against degeneracy (perturb_bounds.cpp).
  bool perturbed = false;  // the basic variables see widened bounds
  int nperturb = 0;        // perturbations in this call
  int pwinitn = 0, pwindegen = 0;  // start of the current degeneracy window: itn, ndegen

  // Factorization bookkeeping.
  int lusize0 = 0;        // L + U nonzeros after the last factorization

  // Iteration log.
  bool headdue = true;    // a heading is due on the print file
  int prtlines = 0;       // lines since the last print heading
  int sumlines = 0;       // lines since the last summary heading
  double logdj = 0.0;     // dj (or rg) of the chosen variable
  int jsbin = 0, jsbout = 0, jbsout = 0;  // +sbs, -sbs, -bs
  double step = 0.0, pivot = 0.0;
  char logflag = ' ';

  // End of the run: with holdend the loop keeps its EXIT line (heldcode,
  // heldvalue; -1 none) and final statistics for the caller to print once
  // after a clean-up pass.
  bool holdend = false;
  int heldcode = -1;
  int heldvalue = 0;

  // Final values.
  double xnorm = 1.0;
  double degpct = 0.0;
  int nbasnl = 0;
};

}  // namespace tv
