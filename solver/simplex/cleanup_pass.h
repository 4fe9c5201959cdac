// Clean-up of a linear program after an optimal exit (see cleanup_pass.cpp).
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// Largest infeasibilities of the unscaled problem, measured on the problem
// as held (scaled when `scaled`; hs in external form, after m5solv): bound
// violation and dual infeasibility with their variables, and max(1, largest
// unscaled |pi|).  The dual infeasibility skips basic and fixed variables
// and the objective row's slack.  Overwrites rc.
struct UnscaledInfeas {
  double pinf = 0.0, dinf = 0.0, pinorm = 1.0, rinf = 0.0;
  int jpinf = 0, jdinf = 0, irinf = 0;
};
UnscaledInfeas unscaled_infeasibilities(const Context& ctx, Problem& P, bool scaled);

// After m5solv on a linear program: when the optimal point violates the
// unscaled bounds by more than the Feasibility tolerance, or an unscaled
// reduced cost has the wrong sign by more than the Optimality tolerance, or
// a row's a x + s is off by more than the Feasibility tolerance relative to
// its terms, iterate on from the final basis on the unscaled problem (m5solv again,
// scaling off, the iteration count continued, phase 2 pricing against the
// absolute tolerance 0.1 * Optimality tolerance) and scale back.  Nothing
// happens unless inform is 0 and the problem is linear.  A clean-up that
// ends without an optimal point (other than by a limit, a stop request or a
// storage failure) is followed by m5solv on the problem as scaled, with the
// usual tolerances, from the basis reached; inform is that of the last call.
void cleanup_pass(Context& ctx, Problem& P, int& ns, int& start, int& inform);

}  // namespace tv
