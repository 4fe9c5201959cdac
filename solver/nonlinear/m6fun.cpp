// The subproblem objective F and its gradient (m6fun, m6grd), the unknown
// marks before an evaluation (m6fun0, job 0 of m6fun) and the final calls
// after the run (m6final).
#include "nonlinear/eval_calls.h"
#include "nonlinear/linearization.h"
#include "nonlinear/rgit.h"

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


bool m6fun(Evaluator& ev, int mode, int nnobj, Dvec x, double sobj, double sense, double objscale,
           double& f, Dvec g, double& F, Linearization* lin, bool trial) {
  f = 0.0;
  double fc = 0.0;
  if (lin != nullptr && lin->active()) {
    // The constraints first: funcon's values enter F through dl.
    Dvec fv = trial ? lin->fcon2 : lin->fcon;
    Dvec gv = trial ? lin->gcon2 : lin->gcon;
    if (mode == 2 && ev.derlevel < 2) m6dmmy(lin->njac, gv, ev.gdummy);
    m6fcon(ev, mode, lin->nncon, lin->nnjac, lin->njac, lin->ha, lin->ka, x, fv, gv);
    if (ev.ierr != 0) return false;
    fc = m8lagf(*lin, x, fv);
  }
  if (nnobj > 0) {
    m6fobj(ev, mode, nnobj, f, g, x);
    if (ev.ierr != 0) return false;
  }
  F = sense * (f - sobj * objscale) + fc;
  return true;
}

bool m6grd(Evaluator& ev, int nnobj, int nnl, double f, Dvec g, Dvec x, Dvec gwork, double sense,
           Dvec gsub, Linearization* lin) {
  if (nnobj > 0 && obj_estimated(ev)) {
    m6dobj(ev, nnobj, f, g, x, gwork);
    if (ev.ierr != 0) return false;
  }
  for (int j = 1; j <= nnobj; ++j) gsub(j) = sense * g(j);
  for (int j = nnobj + 1; j <= nnl; ++j) gsub(j) = 0.0;
  if (lin != nullptr && lin->active()) {
    if (jac_estimated(ev)) {
      // fcon2 and dl serve as the perturbed values; dl is formed afresh below.
      m6dcon(ev, lin->nncon, lin->nnjac, lin->njac, lin->ha, lin->ka, lin->fcon, x, lin->gcon, lin->fcon2,
             lin->dl, lin->gcon2);
      if (ev.ierr != 0) return false;
    }
    m8dl(*lin, x, lin->fcon, lin->dl);
    m8lagg(*lin, lin->gcon, gsub);
  }
  return true;
}

}  // namespace tv
