// The main iteration loop shared by all problem types.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Solve the current problem from the basis given by hs (and, with ns > 0,
// the superbasics listed in kbs(m+1..m+ns)) with the workspace partitioned
// in ctx.part / ctx.ws.
//
// Before the call the driver sets:
//   ctx.spx.objscale, ctx.spx.jobj   objective row scale and n + objrow (or 0)
//   ctx.run.gothes                   whether the reduced Hessian is usable
//   ctx.par.partprice                the adjusted number of sections
//   m2bstart(ctx)                    once per solve (clears the factorization
//                                    count and the re-choice memory)
//   xn inside the bounds, the row types no longer needed in bsfeas.
// `start` is the start value: 0 basis given (or all-slack), 1..3 the crash
// mode used for this cycle (3: only the linear equality rows were crashed;
// the loop crashes the inequality rows itself once those rows are feasible,
// and the value then becomes 4, later 0).  It is updated as the loop goes.
//
// On return: inform (result code), hs in external form, xn, pi (scaled
// problem; rc only for the sections priced last, the solution save
// recomputes it), ctx.run.gotfac/gothes, ctx.run.ninf/sinf/obj, and in
// ctx.spx the counters and final values (see simplex_state.h).  The EXIT
// line and the final statistics have been printed.
void m5solv(Context& ctx, Problem& P, int& ns, int& start, int& inform);

// Largest infeasibilities of the unscaled problem, measured on the problem
// as held (scaled when `scaled`; hs in external form, after m5solv): bound
// violation and dual infeasibility with their variables, and max(1, largest
// unscaled |pi|).  The dual infeasibility skips basic and fixed variables
// and the objective row's slack.  Overwrites rc.
struct UnscaledInfeas {
  double pinf = 0.0, dinf = 0.0, pinorm = 1.0;
  int jpinf = 0, jdinf = 0;
};
UnscaledInfeas m5unsc(const Context& ctx, Problem& P, bool scaled);

// After m5solv on a linear program: when the optimal point violates the
// unscaled bounds by more than the Feasibility tolerance, or an unscaled
// reduced cost has the wrong sign by more than the Optimality tolerance,
// iterate on from the final basis on the unscaled problem (m5solv again,
// scaling off, the iteration count continued, phase 2 pricing against the
// absolute tolerance 0.1 * Optimality tolerance) and scale back.  Nothing
// happens unless inform is 0 and the problem is linear.  A clean-up that
// ends without an optimal point (other than by a limit, a stop request or a
// storage failure) is followed by m5solv on the problem as scaled, with the
// usual tolerances, from the basis reached; inform is that of the last call.
void m5clean(Context& ctx, Problem& P, int& ns, int& start, int& inform);

}  // namespace tv
