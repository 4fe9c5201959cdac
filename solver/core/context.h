// The solver context: everything one solve reads and writes besides the
// caller's arrays.  It gathers the parameter blocks, the unit table, the
// timers, the workspace partition and the run state of every subsystem, so
// that no solve shares mutable globals with another.  The C entry points use
// one process-wide context (default_context); C++ callers and tests make
// their own.
#pragma once

#include <string>

#include "core/problem.h"
#include "core/run_state.h"
#include "core/timers.h"
#include "core/units.h"
#include "core/workspace.h"
#include "files/save_state.h"
#include "lu/basis_state.h"
#include "nonlinear/nonlinear_state.h"
#include "options/params.h"
#include "simplex/simplex_state.h"
#include "tarvo.h"

namespace tv {

struct Context {
  Units io;
  Params par;
  Timers tim;
  Workspace ws;
  Partition part;
  RunState run;
  BasisState bas;
  SimplexState spx;
  SaveState sav;
  NonlinearState nl;

  // Callbacks of the current solve.
  int loglev = 0;
  tv_logfun logfun = nullptr;
  tv_funobj funobj = nullptr;
  tv_funcon funcon = nullptr;

  // Lines to the print file and to the summary file (dropped when absent).
  void prt(const std::string& s) { io.line(par.prtfile, s); }
  void sum(const std::string& s) { io.line(par.sumfile, s); }
  void both(const std::string& s) { prt(s); sum(s); }
};

// The context used by the extern "C" entries.
Context& default_context();

// The clocks of the context, reporting to its print and summary files at
// its Timing level (see m1time in timers.h).
void m1time(Context& ctx, int clock, int printopt);

}  // namespace tv
