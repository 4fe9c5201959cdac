// Preparation of a solve: what every entry does before the run driver, in
// routines that the entries, the tests and the benchmarks share.
//
//   solve_settings       the problem's dimensions into the settings and the
//                        run state, the parameters still unset resolved for
//                        this problem (m3dflt mode 2), the Jacobian counted
//   partition_workspace  the regions and the LU region for nwork words;
//                        returns minwork
//   bind_workspace       the caller's z bound, the integer regions started
//
// A caller that sizes the workspace itself partitions once with nwork 0 to
// learn minwork and again with the length it allocates (the LU region takes
// whatever is left).
#pragma once

#include <cstdint>

#include "core/problem.h"

namespace tv {

struct Context;

// Returns the number of Jacobian entries (tvcjac): the entries of columns
// 1..nnjac in rows 1..nncon.
int solve_settings(Context& ctx, const Problem& P);

int64_t partition_workspace(Context& ctx, int nwork);

void bind_workspace(Context& ctx, double* z, int nwork);

}  // namespace tv
