// The default nonlinear steps (see seams.h).
#include "nonlinear/seams.h"

#include "core/context.h"
#include "nonlinear/nonlinear_state.h"

namespace tv {

namespace {

void hessian_clear(Context& ctx) {
  if (ctx.part.hess.len > 0) ctx.ws.dvec(ctx.part.hess)(1) = 0.0;
}

bool hessian_held(Context& ctx) {
  return ctx.part.hess.len > 0 && ctx.ws.dvec(ctx.part.hess)(1) != 0.0;
}

double reduced_gradient(Context& ctx, Problem&, int ns) {
  Dvec rg = ctx.ws.dvec(ctx.part.rg);
  for (int k = 1; k <= ns && k <= rg.size(); ++k) rg(k) = 0.0;
  return 0.0;
}

RgResult rgit(Context&, Problem&, int&) { return {RgNext::Step, 9}; }

int objective(Context& ctx, Problem&, int) {
  ctx.nl.fobj = 0.0;
  return 0;
}

}  // namespace

NonlinearSeams::NonlinearSeams()
    : hessian_clear(tv::hessian_clear),
      hessian_held(tv::hessian_held),
      reduced_gradient(tv::reduced_gradient),
      rgit(tv::rgit),
      objective(tv::objective),
      first_feasible([](Context&, Problem&) { return 0; }),
      row_rhs([](Context&, Problem&, Dvec) {}),
      major_setup([](Context&, Problem&, int&, SubproblemEnd) { return MajorSetup(); }),
      unbounded([](Context&, Problem&) { return Resume::GiveUp; }),
      infeasible([](Context&, Problem&) { return Resume::GiveUp; }),
      auglag_counter([](Context&) { return 0; }),
      finish([](Context&, Problem&) {}) {}

}  // namespace tv
