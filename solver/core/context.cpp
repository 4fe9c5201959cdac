#include "core/context.h"

#include "core/run_state.h"
#include "files/save_state.h"
#include "lu/basis_state.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/seams.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

namespace tv {

struct Context::Parts {
  Params par;
  RunState run;
  BasisState bas;
  SimplexState spx;
  SaveState sav;
  NonlinearState nl;
  NonlinearSeams seams;
};

Context::Context()
    : parts_(std::make_unique<Parts>()),
      par(parts_->par),
      run(parts_->run),
      bas(parts_->bas),
      spx(parts_->spx),
      sav(parts_->sav),
      nl(parts_->nl),
      seams(parts_->seams) {}

Context::~Context() = default;

void Context::prt(const std::string& s) { io.line(par.prtfile, s); }
void Context::sum(const std::string& s) { io.line(par.sumfile, s); }
void Context::both(const std::string& s) {
  prt(s);
  sum(s);
}

void m1time(Context& ctx, int clock, int printopt) {
  const ClockReport out{ctx.io, ctx.par.prtfile, ctx.par.sumfile, ctx.par.timlevel};
  m1time(ctx.tim, out, clock, printopt);
}

Context& default_context() {
  static Context ctx;
  return ctx;
}

}  // namespace tv
