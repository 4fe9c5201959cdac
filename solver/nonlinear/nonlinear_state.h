// State of the nonlinear evaluation, reduced Hessian and major iterations.
#pragma once

namespace tv {

struct NonlinearState {
  int nstate_obj = 1;  // nstate the next funobj call receives
  int nstate_con = 1;  // nstate the next funcon call receives
  double fobj = 0.0;   // nonlinear objective value
};

}  // namespace tv
