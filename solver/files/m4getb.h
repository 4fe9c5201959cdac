// Start-up of a run and of each cycle: the initial point, the preparation
// of a cycle (multipliers, scaling, crash) and the basis check.
#pragma once

#include "core/problem.h"

namespace tv {

struct Context;

// ncycle = 0, the initial point: on a cold start the slacks and the
// multipliers of the linear rows become 0 and a basis file is read when one
// is named (old basis, else insert, else load; gotbas is set when one was
// read); then every xn(j) is moved into [bl(j), bu(j)].  inform = 30 when
// a basis file does not fit the problem.
// ncycle > 0, the preparation of that cycle: initial multipliers of the
// nonlinear rows, pi(objrow) = -sense, scaling (scales computed once), and
// a crash when no basis is present.  `start` receives the start value for
// the main loop: the crash mode used (1, 2 or 3), else 0.
void m4getb(Context& ctx, int ncycle, Problem& P, int& ns, int& start, int& inform);

// Basis check at the start of every cycle: states to 0..3, the objective
// row basic and free, superbasics beyond the Superbasics limit and basics
// beyond m made nonbasic, the superbasic list kbs(m+1..m+ns) filled, and
// every nonbasic variable placed inside its bounds (on a bound when within
// eps^0.25 of it).  hs is left in external form.
void m4chek(Context& ctx, Problem& P, int& ns);

}  // namespace tv
