// Routines of the iteration core: cost former and pricing, the simplex
// iteration and ratio test, EXPAND, the row check, and the log.
//
// They work on the problem arrays and the workspace regions in kbs order
// (kbs, xbs, blbs, bubs, bsfeas, grd, y, y2) and keep their state in
// ctx.spx (simplex_state.h).
#pragma once

#include <cmath>

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// ---- cost former and prices ---------------------------------------------
// Form grd, bsfeas, ninf, sinf and the next state.  `firstpass`: first pass
// of the major iteration; the previous state is infeasible when ctx.spx.ninf
// > 0 on entry.  `start`: the start value of the loop (kCrashLinearE prints
// the "linear E rows feasible" line).  Returns 0, or a nonzero code from a function
// evaluation.
int m5frmc(Context& ctx, Problem& P, int ns, bool firstpass, int start);

// mode 1, 2: solve B' pi = grd(1..m); modes 1, 3: pinorm = max(1, |pi|inf).
void m5setp(Context& ctx, int mode, Problem& P);
// Fresh prices for the current costs: keep the costs grd(1..m+ns) in gkept
// (what the prices were computed for), solve for pi and mark the reduced
// costs Devex pricing keeps as stale.
void fresh_prices(Context& ctx, Problem& P, int ns);

// Partial pricing.  Sets ctx.spx.jq (0: none), djq, ncand, kpq; writes jq to
// kbs(m+ns+1) and djq to rg(ns+1).  `increase` tells the direction.
void m5pric(Context& ctx, Problem& P, int ns, bool& increase);
// Pricing score of a nonbasic variable in state h (lower, upper or between
// its bounds): its reduced cost with the sign of the allowed move, either
// sign when it lies between its bounds.
inline double pricing_score(int h, double rc) {
  return h == kHsLower ? -rc : h == kHsUpper ? rc : std::fabs(rc);
}
// Among equal scores the first variable after `origin` (cyclically over
// 1..nb) wins over k (k = 0: none yet).  With the ties of phase 1 (costs of
// +-1, weights that stay 1 on 0/+-1 matrices) the choice then moves on
// from the last one instead of returning to the same few columns, which on
// transportation problems concentrates the steps on a few rows.
inline bool first_after(int j, int k, int origin, int nb) {
  if (k == 0) return true;
  const int dj = j > origin ? j - origin : j - origin + nb;
  const int dk = k > origin ? k - origin : k - origin + nb;
  return dj < dk;
}
// When nothing prices out: the first nonbasic variable lying strictly
// between its bounds, one of them finite, is chosen to move (up when
// |bl| >= |bu|).  Sets jq, djq and ncand; leaves them when there is none.
void choose_between_bounds(Context& ctx, Problem& P, bool& increase);

// ---- Devex pricing (devex_price.cpp) ---------------------------------------------
// Reset the reference framework: weight 1 for every variable, members the
// nonbasic ones (hs != 3).
void devex_reset(Context& ctx, Problem& P);
// Start of a major iteration: reset, and nothing kept of the reduced costs.
void devex_start(Context& ctx, Problem& P);
// After the cost former: true when the costs in grd are those pi and rc were
// last computed or updated for, so that the pivot row may update them
// instead of a transposed solve with the costs.
bool devex_costs_kept(Context& ctx, Problem& P);
// After a basis change at position jr (kbs(jr) still the leaving variable,
// hs already updated, y = B^-1 a_q up to sign, alpha its true entry jr):
// checks the entering weight, solves for the pivot row's rho into region
// work (destroying y) and leaves the update to the next pricing.
void devex_pivot(Context& ctx, Problem& P, int jr, double alpha);
// Partial Devex (m5pric with sections and weights, linear problems): the
// reduced costs of the columns j1..j2 and slacks i1..i2 of the section about
// to be priced, and the pending pivot row applied to their weights, in one
// walk over the section's entries; after the pricing, the pivot row is
// dropped (sections not priced since miss its update).
void devex_section_prices(Context& ctx, Problem& P, int j1, int j2, int i1, int i2);
void devex_section_done(Context& ctx);
// Devex pricing: same outputs as m5pric.
void devex_price(Context& ctx, Problem& P, int ns, bool& increase);

// ---- simplex iteration ------------------------------------------------------
struct ChzrResult {
  int jr = 0;           // blocking position (0 none)
  bool hitlow = false;  // it reaches its lower bound
  bool move = true;     // the step is not degenerate
  bool onbound = false; // the step is the exact step to the bound
  bool unbounded = false;
  double bound = 0.0, exact = 0.0, step = 0.0;
};

// Two-pass ratio test with the EXPAND tolerances (ctx.spx.delta, tau);
// counts degenerate steps in ctx.spx.ndegen.
// count is at most nbs + 1 (the length of region chzr).  With nnz >= 0,
// nz(1..nnz) lists in increasing order every position up to count where y
// is nonzero, and only those are visited (the same result as the full pass).
ChzrResult m5chzr(Context& ctx, int count, double stepmax, double tolinf, double tolpiv, CIvec bsfeas,
                  CDvec blbs, CDvec bubs, CDvec xbs, CDvec y, CIvec nz = {}, int nnz = -1);

// One simplex iteration for ctx.spx.jq.  Returns 0 or 2 (unbounded).
// basis_changed: position jr (1..m) now holds jq and the factors need the
// update (m2bsol request 4 with y2, jrep = jr).  prices_due: the prices
// must be recomputed.
int m5lpit(Context& ctx, Problem& P, bool increase, int& jr, bool& basis_changed,
           bool& prices_due);

// ---- bound perturbation (perturb_bounds.cpp) ----------------------------------
// The bound of variable j the basic variables are held to: its true bound,
// widened while perturbation is in force.
double working_bound(const Context& ctx, const Problem& P, int j, bool upper);
// After a feasible simplex iteration: switch perturbation on when the last
// window of iterations was degenerate enough (once per call, linear
// problems only).  True when it was switched on.
bool perturb_due(Context& ctx, Problem& P, int ns);
// Put the working bounds into blbs, bubs (after a factorization).
void perturb_basic_bounds(Context& ctx, Problem& P, int ns);
// Remove perturbation: true bounds, nonbasics back on them, basics
// recomputed, the point to be recounted.  Returns 1 when it was in force.
int unperturb_bounds(Context& ctx, Problem& P, int ns);

// ---- EXPAND and the row check -----------------------------------------------
// Modes of m5dgen.
enum : int {
  kExpandStart = 1,     // initialize
  kExpandReset = 2,     // reset at the Expand frequency
  kExpandPhaseEnd = 3,  // reset at the end of a phase (at most twice per phase)
};
// Returns the number of nonbasics moved by more than eps^0.67.
int m5dgen(Context& ctx, int mode, Problem& P, int ns);

// Modes of m5setx.
enum : int {
  kSetxSlacks = 0,     // set the slacks from the structurals
  kSetxRecompute = 1,  // recompute the basic values (one refinement) and check the rows
  kSetxCheck = 2,      // check the rows (Check frequency)
  kSetxCheckEnd = 3,   // check the rows before an optimal exit
  kSetxRefineAll = 4,  // refine the basic values with every nonzero x_j in the residual; no check
};
// Returns 0 or 10 (residuals too large).
int m5setx(Context& ctx, int mode, Problem& P, int ns);

// ---- log and exits ----------------------------------------------------------------
// Iteration log after a completed iteration; returns the stop request of
// the log callback (0 go on).
int m5log(Context& ctx, Problem& P, int ns);

// Final statistics on the print and the summary file.
void final_statistics(Context& ctx, Problem& P, int ns);

}  // namespace tv
