// Model modification between cycles: a new column in the phantom columns.
#pragma once

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// Add a column into the phantom columns reserved by the Phantom columns and
// Phantom elements parameters (the last Phantom columns of the problem,
// empty until used).  The caller's arrays a/ha must have room for ne +
// Phantom elements entries.  The column gets the default bounds of the MPS
// input.  Returns 0, or 1 after printing one of the MATCOL error lines.
int matcol(Context& ctx, Problem& P, int nz, CDvec values, CIvec rows);

}  // namespace tv
