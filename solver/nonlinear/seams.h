// The nonlinear steps of the main loop, as a table of functions in the
// context (ctx.seams).
//
// The linear code paths are complete without them: with no nonlinear
// variables and no superbasics none of them is reached except
// hessian_clear, which keeps the reduced-Hessian state consistent.  The
// defaults (NonlinearSeams()) are the solver's own steps (nl_steps.h,
// m7rgit.cpp); the steps of nonlinear constraints are still the least that
// keeps the loop sound, documented per entry.  Tests install fakes to drive
// the loop's branches for superbasics and major iterations.  Each entry is
// one step: nothing here copies the loop.
#pragma once

#include <functional>

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// What the loop does after a reduced-gradient iteration.
enum class RgNext : int {
  Step = 0,             // a step was taken: prices are not due, the iteration is counted
  SubspaceOptimal = 1,  // the current subspace is optimal: price again at once
  FormCosts = 4,        // restart the iteration from the cost former
  FactorBS = 6,         // refactorize with "BS" (re-choose the basic and superbasic sets)
};
struct RgResult {
  RgNext next = RgNext::Step;
  int inform = 0;  // nonzero ends the step with this result (2, 5, 9, 11)
};

// How the last subproblem of a major iteration ended (for the next set-up).
enum class SubproblemEnd : int { Optimal = 0, Infeasible = 1, Unbounded = 2, MinorLimit = 3 };

// What the set-up of a major iteration decides.
enum class MajorNext : int {
  Iterate = 0,    // go on with the minor iterations
  Converged = 1,  // the major iterations converged: optimal exit
  Stop = 2,       // end the run with `inform` (e.g. 18 or 19 for a stop request of the log callback)
};
struct MajorSetup {
  MajorNext next = MajorNext::Iterate;
  int inform = 0;
  int unchanged = 0;  // consecutive major iterations in which the Jacobian variables did not change
};

// Whether the augmented-Lagrangian reaction to an unbounded or infeasible
// subproblem lets the iterations go on.
enum class Resume : int { Iterate = 0, GiveUp = 1 };

struct NonlinearSeams {
  NonlinearSeams();  // the default steps

  // ---- reduced-Hessian factor R (region hess) --------------------------------
  // Mark that no factor is held: R is reset before its next use.
  std::function<void(Context&)> hessian_clear;
  // True when a factor is held.
  std::function<bool(Context&)> hessian_held;

  // ---- reduced-gradient iteration -----------------------------------------------
  // Reduced gradient of the ns superbasics into region rg; returns rgnorm.
  std::function<double(Context&, Problem&, int ns)> reduced_gradient;
  // One reduced-gradient iteration.  When it replaces a basic variable it
  // updates the factors itself (m2bsol request 4).  A result with inform 5,
  // 6 or 11 has written its EXIT line (ctx.nl.exit_printed).
  std::function<RgResult(Context&, Problem&, int& ns)> rgit;
  // The iteration takes several candidates from pricing (multiple pricing);
  // otherwise pricing chooses one at a time.
  bool multiple_pricing = true;

  // ---- functions ------------------------------------------------------------------
  // Objective function at the current point while feasible (cost former);
  // sets ctx.nl.fobj.  Returns 0, or a result that ends the run (6: a
  // callback asked to stop, or the functions are undefined here).
  std::function<int(Context&, Problem&, int ns)> objective;
  // Gradient of the objective at the current point, before fresh prices
  // while feasible: the subproblem gradient (region gsub, difference
  // estimates included) and the costs grd of the basic and superbasic
  // variables.  Returns 0 or 6 as `objective`.
  std::function<int(Context&, Problem&, int ns)> gradient;
  // First feasible point with nonlinear variables: unscale (Scale option 2),
  // evaluate the functions, verify the derivatives.  Returns 0 to go on, or
  // 6, 7, 8.
  std::function<int(Context&, Problem&, int ns)> first_feasible;
  // Right-hand side of the nonlinear rows for the row check: r(1..nncon).
  // Default: leaves the zeros.
  std::function<void(Context&, Problem&, Dvec r)> row_rhs;

  // ---- nonlinear constraints ----------------------------------------------------
  // Set-up of a major iteration (linearize, Jacobian, the kind-2 log call),
  // told how the last subproblem ended.
  std::function<MajorSetup(Context&, Problem&, int& ns, SubproblemEnd last)> major_setup;
  // Unbounded subproblem: the penalty may be raised.
  std::function<Resume(Context&, Problem&)> unbounded;
  // Infeasible subproblem (augmented Lagrangian, mode 5: the right-hand
  // side is perturbed).
  std::function<Resume(Context&, Problem&, int ns)> infeasible;
  // Right-hand-side perturbations in this major iteration: an optimal
  // subproblem after one counts as infeasible.
  std::function<int(Context&)> auglag_counter;
  // End of a run with nonlinear constraints: the nonlinear rows get the
  // caller's bounds back.
  std::function<void(Context&, Problem&)> finish;
};

}  // namespace tv
