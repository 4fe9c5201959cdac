// Difference estimates of the objective gradient entries that funobj does
// not supply (m6dobj).
#include "nonlinear/eval_calls.h"

namespace tv {

void m6dobj(Evaluator& ev, int nnobj, double fobj, Dvec gobj, Dvec x, Dvec gwork) {
  const bool central = ev.difmode == 2;
  const double h = central ? ev.cenint : ev.fwdint;
  // The perturbed calls need no gradient; what a callback writes there
  // anyway must not spoil the entries it supplies.
  Dvec gcall = gwork.size() >= nnobj ? gwork : gobj;
  int spent = 0;

  for (int j = 1; j <= nnobj; ++j) {
    if (gobj(j) != ev.gdummy) continue;
    const double xj = x(j);
    const double delta = h * (1.0 + std::fabs(xj));
    double fplus = 0.0, fminus = fobj;
    x(j) = xj + delta;
    m6fobj(ev, 0, nnobj, fplus, gcall, x);
    ++spent;
    if (ev.ierr == 0 && central) {
      x(j) = xj - delta;
      m6fobj(ev, 0, nnobj, fminus, gcall, x);
      ++spent;
    }
    x(j) = xj;
    if (ev.ierr != 0) break;
    const double g = central ? (fplus - fminus) / (2.0 * delta) : (fplus - fobj) / delta;
    if (!detail::finite(g)) {
      detail::not_finite(ev, true);
      break;
    }
    gobj(j) = g;
  }
  if (central) {
    ev.obj.central += spent;
  } else {
    ev.obj.forward += spent;
  }
}

}  // namespace tv
