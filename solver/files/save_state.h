// Values kept by the solution save for tvsolf and the reports.
#pragma once

namespace tv {

struct SaveState {
  // Largest primal and dual infeasibilities, scaled and unscaled problem.
  double pinfmax = 0.0, dinfmax = 0.0;
  int jpinf = 0, jdinf = 0;
  double pinfmax_u = 0.0, dinfmax_u = 0.0;
  int jpinf_u = 0, jdinf_u = 0;
  double xmax = 0.0;
  double pinorm = 1.0;
  double cviol = 0.0, cviolr = 0.0;
  int icviol = 0;
  int inform = 0;     // result code of the saved solution
};

}  // namespace tv
