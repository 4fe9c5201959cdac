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
//   ctx.run.objscale, ctx.spx.jobj   objective row scale and n + objrow (or 0)
//   ctx.run.gothes                   whether the reduced Hessian is usable
//   ctx.par.partprice                the adjusted number of sections
//   basis_manager_start(ctx)                    once per solve (clears the factorization
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

}  // namespace tv
