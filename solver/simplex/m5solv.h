// The main iteration loop shared by all problem types.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Solve the current problem from the basis given by hs (and, with ns > 0,
// the superbasics listed in kbs(m+1..m+ns)) with the workspace partitioned
// in ctx.part / ctx.ws.
//
// Before the call the driver sets (run_start in core/tvsolv.h does the
// first four once per solve):
//   ctx.run.objscale, ctx.spx.jobj   objective row scale and n + objrow (or 0)
//   ctx.par.partprice                the adjusted number of sections
//   basis_manager_start(ctx)         clears the factorization count and the
//                                    re-choice memory
//   ctx.run.gothes                   whether the reduced Hessian is usable
//   xn inside the bounds, the row types no longer needed in bsfeas.
// `start` is the start value, a crash mode of lu/m2crsh.h: kCrashNone when
// the basis was given (or all-slack), else the crash used for this cycle
// (kCrashLinearE: only the linear equality rows were crashed; the loop
// crashes the inequality rows itself once those rows are feasible, and the
// value becomes kCrashLinearLG, later kCrashNone).  It is updated as the
// loop goes.
//
// On return: inform (result code), hs in external form, xn, pi (scaled
// problem; rc only for the sections priced last, the solution save
// recomputes it), ctx.run.gotfac/gothes, ctx.run.ninf/sinf/obj, and in
// ctx.spx the counters and final values (see simplex_state.h).  The EXIT
// line and the final statistics have been printed.
void m5solv(Context& ctx, Problem& P, int& ns, int& start, int& inform);

}  // namespace tv
