// The default nonlinear steps (see seams.h): the solver's own.
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
      row_rhs(nl_row_rhs),
      major_setup(nl_major_setup),
      unbounded(nl_unbounded),
      infeasible(nl_infeasible),
      auglag_counter(nl_auglag_counter),
      finish(nl_finish) {}

}  // namespace tv
