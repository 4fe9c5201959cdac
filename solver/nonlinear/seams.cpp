// The default nonlinear steps (see seams.h): the solver's own for a
// nonlinear objective; the least that keeps the loop sound for the steps of
// nonlinear constraints, which the entry does not accept yet.
#include "nonlinear/seams.h"

#include "core/context.h"
#include "nonlinear/nl_steps.h"
#include "nonlinear/rgit.h"

namespace tv {

NonlinearSeams::NonlinearSeams()
    : hessian_clear(nl_hessian_clear),
      hessian_held(nl_hessian_held),
      reduced_gradient(nl_reduced_gradient),
      rgit(m7rgit),
      objective(nl_objective),
      gradient(nl_gradient),
      first_feasible(nl_first_feasible),
      row_rhs([](Context&, Problem&, Dvec) {}),
      major_setup([](Context&, Problem&, int&, SubproblemEnd) { return MajorSetup(); }),
      unbounded([](Context&, Problem&) { return Resume::GiveUp; }),
      infeasible([](Context&, Problem&) { return Resume::GiveUp; }),
      auglag_counter([](Context&) { return 0; }),
      finish([](Context&, Problem&) {}) {}

}  // namespace tv
