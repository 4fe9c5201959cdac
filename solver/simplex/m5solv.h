// The main iteration loop shared by all problem types.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Solve the current problem from the basis given by hs (and, for a warm
// start, the superbasics held in kbs) with the workspace partitioned in
// ctx.part / ctx.ws.  `start` is the start value handed over by the run
// driver: 0 basis given, 1..3 the crash option used for this cycle (3: only
// the linear equality rows were crashed; the loop crashes the other rows once
// those are feasible).  It is updated as the loop goes (e.g. 3 becomes 4).
// On return: inform (result code), hs in external form, xn, pi (scaled
// problem), and in ctx.spx the counters and final values (itn, nmaj, ninf,
// sinf, objective values, pinorm, ndegen, the EXPAND tolerance delta).  The
// EXIT line and the final statistics have been printed.
void m5solv(Context& ctx, Problem& P, int& ns, int& start, int& inform);

}  // namespace tv
