// The solver context: everything one solve reads and writes besides the
// caller's arrays: the unit table, the clocks, the workspace and its
// partition, the parameters and the state of every subsystem, so that no
// solve shares mutable globals with another.  The C entry points use one
// process-wide context (default_context); C++ callers and tests make their
// own.
//
// The parameters and each subsystem's state are declared in their own
// headers, and the context holds them by reference: a file includes the
// state headers it uses, so a field added to one of them rebuilds only its
// users.
//   par    options/params.h              run  core/run_state.h
//   bas    lu/basis_state.h              spx  simplex/simplex_state.h
//   sav    files/save_state.h            nl   nonlinear/nonlinear_state.h
//   seams  nonlinear/seams.h (the table of nonlinear steps the loop calls)
#pragma once

#include <memory>
#include <string>

#include "core/timers.h"
#include "core/units.h"
#include "core/workspace.h"
#include "nonlinear/callbacks.h"
#include "tarvo.h"

namespace tv {

struct Params;
struct RunState;
struct BasisState;
struct SimplexState;
struct SaveState;
struct NonlinearState;
struct NonlinearSeams;

struct Context {
  Context();
  ~Context();
  Context(const Context&) = delete;
  Context& operator=(const Context&) = delete;

 private:
  struct Parts;
  std::unique_ptr<Parts> parts_;

 public:
  Units io;
  Timers tim;
  Workspace ws;
  Partition part;
  Params& par;
  RunState& run;
  BasisState& bas;
  SimplexState& spx;
  SaveState& sav;
  NonlinearState& nl;
  NonlinearSeams& seams;

  // Callbacks of the current solve.  funobj and funcon stay set from one
  // solve to the next (tvsetfun); loglev and logfun are the entry's.
  int loglev = 0;
  tv_logfun logfun = nullptr;
  FunObj funobj;
  FunCon funcon;

  // Lines to the print file and to the summary file (dropped when absent).
  void prt(const std::string& s);
  void sum(const std::string& s);
  void both(const std::string& s);
};

// The context used by the extern "C" entries.
Context& default_context();

// The clocks of the context, reporting to its print and summary files at
// its Timing level (see m1time in timers.h).
void m1time(Context& ctx, int clock, int printopt);

}  // namespace tv
