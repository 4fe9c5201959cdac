// The solution report (print file or solution file) and variable names.
#pragma once

#include <string>

#include "core/problem.h"
#include "files/m4name.h"

namespace tv {

struct Context;

// Status word of a saved or written solution: k = 0 proceeding, inform + 1
// otherwise, clamped to 0..5.
const char* status_word(int k);

// Write the solution report: dest 0 the print file, 1 the solution file
// (Solution file unit).  The solution must be the saved (unscaled, final)
// one; itn is the iteration count shown in the STATUS line.
void m4soln(Context& ctx, int dest, const Problem& P, int ns, int inform, int itn);

// One line of the report: number, name, flag (0..4), state (0..5 from
// tvsolf), five values (v[2] lower and v[3] upper limit) and the last
// integer.  dest 0 uses fixed format and None for infinite limits, dest 1
// E format throughout.
std::string m4solp(Context& ctx, int dest, int number, const std::string& name, int flag,
                   int state, const double v[5], int last);

}  // namespace tv
