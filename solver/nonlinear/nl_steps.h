// The nonlinear steps of a solve that sit between the run driver, the main
// loop and the evaluation routines: the start of a run, the objective and
// its gradient for the cost former and the prices, the first feasible point
// (evaluation and derivative checks), and the final calls of the callbacks.
// The main loop reaches the loop-level steps through ctx.seams (seams.h),
// whose defaults are these.
#pragma once

#include "core/problem.h"
#include "nonlinear/seams.h"

namespace tv {

struct Context;

// Start of a run (tvsolv): the evaluator is set up from the parameters and
// the context's callbacks (counters cleared, nstate 1 for both callbacks,
// forward differences), the reduced-gradient state is cleared.
void nl_start(Context& ctx, const Problem& P);

// Start of a call of the main loop: nothing pending from an earlier call.
void nl_loop_start(Context& ctx);

// The steps installed in ctx.seams.
void nl_hessian_clear(Context& ctx);
bool nl_hessian_held(Context& ctx);
double nl_reduced_gradient(Context& ctx, Problem& P, int ns);
int nl_objective(Context& ctx, Problem& P, int ns);
int nl_gradient(Context& ctx, Problem& P, int ns);
int nl_first_feasible(Context& ctx, Problem& P, int ns);

// ---- nonlinear constraints (m8setj.cpp) ----------------------------------------
// Views of the major iterations' workspace vectors (start of a run).
void nl_auglag_views(Context& ctx, const Problem& P);
// Initial multipliers from pi(1..nncon) (start of a cycle).
void nl_init_lagrangian(Context& ctx, Problem& P);
MajorSetup nl_major_setup(Context& ctx, Problem& P, int& ns, SubproblemEnd last);
Resume nl_unbounded(Context& ctx, Problem& P);
Resume nl_infeasible(Context& ctx, Problem& P, int ns);
int nl_auglag_counter(Context& ctx);
void nl_finish(Context& ctx, Problem& P);
void nl_row_rhs(Context& ctx, Problem& P, Dvec r);
// The unscaled problem gets the nonlinear rows' bounds exactly as the
// caller passed them.
void nl_caller_bounds(Context& ctx, Problem& P);
// The nonlinear rows at the final (unscaled) point: f by funcon, the
// largest violation cviol and its row; the rows' slacks take their true
// values -(f + linear terms).  False when f could not be evaluated.
bool nl_constraint_violation(Context& ctx, Problem& P, double& cviol, int& icviol);

// The final call of each callback at the unscaled solution (scaling off,
// nstate = 2 + inform).  Returns -1 when a callback asked to stop, else 0.
int nl_final_calls(Context& ctx, Problem& P, int inform);

}  // namespace tv
