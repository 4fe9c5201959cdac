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

// The start of a run, before the start mode and the first cycle: results
// and counters cleared, the factorization count started afresh, the
// objective row's scale (1) and slack index, the saved results cleared (the
// hook and what a Hot start relies on kept), and the number of partial
// pricing sections adjusted to the problem's size.  Prints nothing.  Tests
// and benchmarks that call the main loop directly start with it too.
void run_start(Context& ctx, const Problem& P);

// Partial pricing: sections of fewer than ten columns and ten rows are not
// worth it; about ten sections instead (one when the problem is tiny).
int partial_price_sections(int m, int n, int partprice);

// A cycle's point is usable, and is saved and reported, after any result up
// to 19, and after 20..29 only when some iterations were done.  Otherwise the
// problem is only unscaled and no solution is printed.
bool solution_saved(int inform, int itn);

}  // namespace tv
