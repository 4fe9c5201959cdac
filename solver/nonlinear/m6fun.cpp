// The parts of the subproblem evaluation that concern only the callbacks:
// the unknown marks before an evaluation (m6fun job 0) and the final calls
// after the run.
#include "nonlinear/eval_calls.h"

namespace tv {

void m6fun0(const Evaluator& ev, int nnobj, Dvec gobj, int nncon, int njac, Dvec gcon,
            bool lagrangian) {
  if (nnobj > 0 && obj_estimated(ev)) m6dmmy(nnobj, gobj, ev.gdummy);
  if (nncon > 0 && lagrangian && ev.derlevel < 2) m6dmmy(njac, gcon, ev.gdummy);
}

void m6final(Evaluator& ev, int inform, int nnobj, int nncon, int nnjac, int njac, CIvec ha,
             CIvec ka, Dvec x, double& fobj, Dvec gobj, Dvec fcon, Dvec gcon) {
  detail::ScalingOff unscaled(ev);
  ev.ierr = 0;
  if (nncon > 0) {
    ev.nstate_con = 2 + inform;
    m6fcon(ev, 0, nncon, nnjac, njac, ha, ka, x, fcon, gcon);
  }
  if (nnobj > 0 && ev.ierr != 6) {
    ev.nstate_obj = 2 + inform;
    m6fobj(ev, 0, nnobj, fobj, gobj, x);
  }
}

}  // namespace tv
