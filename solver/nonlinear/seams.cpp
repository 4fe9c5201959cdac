// Default bodies of the nonlinear steps called by the main loop (see seams.h).
#include "nonlinear/seams.h"

#include "core/context.h"
#include "nonlinear/nonlinear_state.h"

namespace tv {

void hessian_clear(Context& ctx) {
  if (ctx.part.hess.len > 0) ctx.ws.dvec(ctx.part.hess)(1) = 0.0;
}

bool hessian_held(Context& ctx) {
  return ctx.part.hess.len > 0 && ctx.ws.dvec(ctx.part.hess)(1) != 0.0;
}

double nl_reduced_gradient(Context& ctx, Problem& P, int ns) {
  (void)P;
  Dvec rg = ctx.ws.dvec(ctx.part.rg);
  for (int k = 1; k <= ns && k <= rg.size(); ++k) rg(k) = 0.0;
  return 0.0;
}

int nl_rgit(Context& ctx, Problem& P, int& ns, int& ierr) {
  (void)ctx;
  (void)P;
  (void)ns;
  ierr = 9;
  return 0;
}

bool nl_rgit_available() { return false; }

int nl_objective(Context& ctx, Problem& P, int ns) {
  (void)P;
  (void)ns;
  ctx.nl.fobj = 0.0;
  return 0;
}

int nl_first_feasible(Context& ctx, Problem& P) {
  (void)ctx;
  (void)P;
  return 0;
}

void nl_row_rhs(Context& ctx, Problem& P, Dvec r) {
  (void)ctx;
  (void)P;
  (void)r;
}

int nl_major_setup(Context& ctx, Problem& P, int& ns, int subcode, int& unchanged) {
  (void)ctx;
  (void)P;
  (void)ns;
  (void)subcode;
  unchanged = 0;
  return 0;
}

bool nl_unbounded(Context& ctx, Problem& P) {
  (void)ctx;
  (void)P;
  return false;
}

int nl_infeasible(Context& ctx, Problem& P) {
  (void)ctx;
  (void)P;
  return 1;
}

int nl_auglag_counter(Context& ctx) {
  (void)ctx;
  return 0;
}

void nl_finish(Context& ctx, Problem& P) {
  (void)ctx;
  (void)P;
}

}  // namespace tv
