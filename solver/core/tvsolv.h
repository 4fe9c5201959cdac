// The run driver: start mode, statistics, initial point and the cycles.
#pragma once

#include <string_view>

#include "core/problem.h"

namespace tv {

struct Context;

// One solve once the workspace is partitioned.  `ns` in/out; inform out;
// nmajor and nitns are summed over the cycles.
void tvsolv(Context& ctx, std::string_view start, Problem& P, int& ns, int& inform, int& nmajor,
            int& nitns);

// A cycle's point is usable, and is saved and reported, after any result up
// to 19, and after 20..29 only when some iterations were done.  Otherwise the
// problem is only unscaled and no solution is printed.
bool solution_saved(int inform, int itn);

}  // namespace tv
