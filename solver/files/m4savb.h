// End-of-cycle solution save (mode 1) and report (mode 2).
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// mode 1, save: turn the main loop's final (scaled, internal-sign) state into
// the solution: reduced costs, unscaled problem and values, the largest
// infeasibilities (kept in ctx.sav for tvsolf), the user's signs of pi and
// rc for a feasible maximisation, the objective (ctx.run.obj), and the
// requested files (punch, dump, solution file, report/export file).  Prints
// the " Max x" / " Max pi" / " Max ... inf" lines.  Expects hs in external
// form and ctx.run.ninf, ctx.run.sinf, ctx.spx.itn of the cycle just ended;
// leaves the problem unscaled.
// mode 2, report: the solution report on the print file when Solution yes.
void m4savb(Context& ctx, int mode, Problem& P, int ns, int inform);

// The objective of the current point: objconst + the linear objective row
// (from its slack, times the objective row scale) + the nonlinear objective.
double objective_value(const Context& ctx, const Problem& P);

}  // namespace tv
