// Steps of the nonlinear Parts that the main loop and the basis manager call.
//
// The linear code paths are complete without them: with no nonlinear
// variables and no superbasics none of these is reached except
// hessian_clear, which keeps the reduced-Hessian region consistent.  The reduced-gradient iteration, the function evaluations and
// the major-iteration set-up are filled in by the nonlinear work; until then
// each one does the least that keeps the loop sound (documented per
// function).  Nothing here copies the loop: each function is one step.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Mark that no reduced-Hessian factor is held (first word of R = 0).
void hessian_clear(Context& ctx);
// True when a reduced-Hessian factor is held (first word of R nonzero).
bool hessian_held(Context& ctx);

// Reduced gradient of the superbasics into the rg region; returns rgnorm.
// (Not built yet: returns 0.)
double nl_reduced_gradient(Context& ctx, Problem& P, int ns);

// One reduced-gradient iteration.  Returns its result code (0 step taken,
// 1 subspace optimal, 4 form the costs again, 6 refactorize with "BS") and
// sets ierr (0, 2, 5, 9, 11).  When it replaces a basic variable it updates
// the factors itself (m2bsol request 4).
// (Not built yet: returns 0 with ierr = 9, so the loop ends with
// " EXIT -- the current point cannot be improved upon".)
int nl_rgit(Context& ctx, Problem& P, int& ns, int& ierr);
// True when the reduced-gradient iteration is available.  Until it is,
// pricing chooses one candidate at a time (multiple pricing would hand the
// candidates to that iteration).
bool nl_rgit_available();

// Objective function at the current point while feasible (cost former).
// Returns 0, or a nonzero result when a callback asked to stop.
// (Not built yet: the nonlinear objective value stays 0.)
int nl_objective(Context& ctx, Problem& P, int ns);

// First feasible point with nonlinear variables: unscale (Scale option 2),
// evaluate the functions, verify the derivatives.  Returns the result code
// (0 go on, 6, 7, 8 stop).  (Not built yet: returns 0.)
int nl_first_feasible(Context& ctx, Problem& P);

// Right-hand side of the nonlinear rows for the row check: r(1..nncon).
// (Not built yet: leaves zeros.)
void nl_row_rhs(Context& ctx, Problem& P, Dvec r);

// Set-up of major iteration nmaj with nonlinear constraints (linearize,
// Jacobian, the kind-2 log call).  Returns: 0 go on with the minor
// iterations, 1 the major iterations converged (optimal exit), or a result
// code (>= 2, e.g. 18 or 19 for a stop request of the log callback) that
// ends the run; the main loop prints its EXIT line.  `unchanged` receives the count of consecutive major iterations
// in which the Jacobian variables did not change.
// (Not built yet: returns 0 with unchanged = 0.)
int nl_major_setup(Context& ctx, Problem& P, int& ns, int subcode, int& unchanged);

// Unbounded subproblem with nonlinear constraints: returns true when the
// penalty was changed and the iterations should continue.
// (Not built yet: returns false.)
bool nl_unbounded(Context& ctx, Problem& P);

// Infeasible subproblem with nonlinear constraints (augmented Lagrangian,
// mode 5).  Returns 0 when the iterations should continue.
// (Not built yet: returns 1.)
int nl_infeasible(Context& ctx, Problem& P);

// Counter kept by the augmented-Lagrangian code that qualifies an optimal or
// infeasible subproblem.  (Not built yet: 0.)
int nl_auglag_counter(Context& ctx);

// Multipliers at the end of a run with nonlinear constraints.
void nl_finish(Context& ctx, Problem& P);

}  // namespace tv
