// Workspace partition (m2core) and the workspace estimate.
#pragma once

#include <cstdint>

namespace tv {

struct Context;

// Lay out regions 1..26 and the LU region for the dimensions stored in
// ctx.par / ctx.run, and return the words needed (64-bit; the caller checks
// it against nwork and against the 32-bit range).  mode 4: the problem lives
// in the caller's arrays.  Integer regions get their int32 objects here.
int64_t m2core(Context& ctx, int mode);

}  // namespace tv
