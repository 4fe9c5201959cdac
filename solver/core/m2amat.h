// Row types and matrix statistics.
#pragma once

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// Row types into rowtype(1..m): 0 equality, 1 inequality, 2 free.  Unless
// mode is 2, print the matrix statistics on the print file.
void m2amat(Context& ctx, int mode, const Problem& P, Ivec rowtype);

}  // namespace tv
