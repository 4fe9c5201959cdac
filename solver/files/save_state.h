// Values kept by the solution save for tvsolf, the entry and the reports,
// and the driver's hook between cycles.
#pragma once

#include <functional>

#include "core/problem.h"

namespace tv {

struct Context;

// Model modification between cycles: called with ncycle = 0 before the first
// cycle and after every cycle but the last.  Setting stop nonzero ends the
// cycles.  The default (empty) does nothing.
using MatmodFn = std::function<void(Context& ctx, Problem& P, int ncycle, int& stop)>;

struct SaveState {
  // Largest primal and dual infeasibilities of the scaled problem (the
  // variables tvsolf marks) and of the unscaled one.
  double pinfmax = 0.0, dinfmax = 0.0;
  int jpinf = 0, jdinf = 0;
  double pinfmax_u = 0.0, dinfmax_u = 0.0;
  int jpinf_u = 0, jdinf_u = 0;
  // Largest |x| over the columns and largest |pi|, with their indices, for
  // the final (unscaled) values; pinorm = max(1, pimax).
  double xmax = 0.0, pimax = 0.0;
  int jxmax = 0, ipimax = 0;
  double pinorm = 1.0;
  // Largest violation of a nonlinear constraint, its row, and the violation
  // relative to 1 + xmax; cviol_set tells whether they were evaluated.
  double cviol = 0.0, cviolr = 0.0;
  int icviol = 0;
  bool cviol_set = false;

  int inform = 0;      // result code of the saved solution
  int itn = 0;         // iterations of the saved cycle
  bool saved = false;  // the last cycle's solution is saved (unscaled, final rc)
  int ns_hessian = 0;  // superbasics when the reduced Hessian was last kept

  MatmodFn matmod;     // the model-modification hook (none by default)
};

}  // namespace tv
