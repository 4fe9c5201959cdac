// Difference estimates of the Jacobian entries that funcon does not supply
// (m6dcon): one perturbation of x per column, which serves every unknown
// entry of that column.
#include "nonlinear/eval_calls.h"

namespace tv {

void m6dcon(Evaluator& ev, int nncon, int nnjac, int njac, CIvec ha, CIvec ka, CDvec fcon, Dvec x,
            Dvec gcon, Dvec cplus, Dvec cminus, Dvec gwork) {
  const bool central = ev.difmode == 2;
  const double h = central ? ev.cenint : ev.fwdint;
  Dvec gcall = gwork.size() >= njac ? gwork : gcon;
  int spent = 0;
  int lbefore = 0;  // Jacobian entries of the columns before j

  for (int j = 1; j <= nnjac && ev.ierr == 0; ++j) {
    int l = lbefore;
    bool unknown = false;
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int) {
      if (gcon(l1) == ev.gdummy) unknown = true;
    });
    const int lfirst = lbefore;
    lbefore = l;
    if (!unknown) continue;

    const double xj = x(j);
    const double delta = h * (1.0 + std::fabs(xj));
    x(j) = xj + delta;
    m6fcon(ev, 0, nncon, nnjac, njac, ha, ka, x, cplus, gcall);
    ++spent;
    if (ev.ierr == 0 && central) {
      x(j) = xj - delta;
      m6fcon(ev, 0, nncon, nnjac, njac, ha, ka, x, cminus, gcall);
      ++spent;
    }
    x(j) = xj;
    if (ev.ierr != 0) break;

    const double t = central ? 2.0 * delta : delta;
    CDvec cm = central ? CDvec(cminus) : fcon;
    bool ok = true;
    l = lfirst;
    jac_column(j, nncon, ha, ka, l, [&](int, int l1, int i) {
      if (gcon(l1) != ev.gdummy) return;
      const double g = (cplus(i) - cm(i)) / t;
      if (!detail::finite(g)) {
        ok = false;  // left unknown: the point is undefined anyway
        return;
      }
      gcon(l1) = g;
    });
    if (!ok) detail::not_finite(ev, false);
  }
  if (central) {
    ev.con.central += spent;
  } else {
    ev.con.forward += spent;
  }
}

}  // namespace tv
