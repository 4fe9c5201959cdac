// State of the nonlinear evaluation, the reduced Hessian and the
// reduced-gradient iteration (one instance per context).
//
// The subproblem objective is F = sense * (f(x) - s_obj * objscale): the
// nonlinear objective f of funobj plus the objective row's value (its slack
// s_obj is minus the row activity), negated for maximization, so that the
// iteration always minimizes.  Its gradient over the nonlinear columns is
// kept in region gsub (sense * gobj); `fobj` is f itself, the value the log
// and the final statistics show.
#pragma once

#include "nonlinear/auglag.h"
#include "nonlinear/evaluator.h"
#include "nonlinear/linearization.h"

namespace tv {

struct NonlinearState {
  Evaluator ev;            // callbacks, call counts, derivative level, difference mode
  double fobj = 0.0;       // f at the current point (0 while infeasible)
  double fsub = 0.0;       // F at the current point
  double penalty = 0.0;    // working penalty parameter (0 without nonlinear constraints)
  // The EXIT line of the result being returned has been written already (by
  // a callback wrapper, the derivative checks or the reduced-gradient
  // iteration), so the main loop must not write its own.
  bool exit_printed = false;

  // ---- reduced Hessian R (region hess) ---------------------------------------
  // R is to be reset to the identity before its next use.  A flag, not a
  // value in R: with Hessian dimension 0 every word of R is a diagonal entry.
  bool hreset = true;
  double condh = 1.0;      // cond(H) = (dmax/dmin)^2 over the triangle of R
  int hmod1 = 0;           // BFGS update of the last iteration: 0 none, 1 done, 2 nearly singular
  int hmod2 = 0;           // basis-swap update of the last iteration: 0 none, 1 done, 2 nearly singular
  // An update that left R nearly singular (a code 2 above) is shown on a
  // second log line: the step, the triangle's order, ns and R's smallest
  // diagonal.
  double modstep = 0.0, moddmin = 0.0;
  int modnr = 0, modns = 0;

  // ---- reduced-gradient iteration ---------------------------------------------
  int retry = 0;           // recovery attempts since the last successful step
  int nrestart = 0;        // of those, the ones that asked pricing for a new superbasic
  bool canprice = true;    // the last pricing chose a variable
  double rgmax = 0.0;      // largest |rg| of the current superbasics
  int nsubit = 0;          // consecutive iterations that used R in the same subspace
  bool xconv = false, fconv = false, gconv = false, sconv = false;  // last convergence test

  // ---- nonlinear constraints (empty views without them) --------------------------
  Linearization lin;       // the subproblem's linearization, read by F and its gradient
  AugLagState al;          // major-iteration control
  AuglViews av;            // the workspace vectors of the major iterations
  double prinfn_last = 0.0;  // relative constraint violation of the last major iteration
  Dvec gtrial;             // F's gradient at a trial point of the line search (nnl)
  // The linearization when the constraints take part in F, else null.
  Linearization* linearization() { return lin.active() ? &lin : nullptr; }
};

}  // namespace tv
