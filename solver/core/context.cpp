#include "core/context.h"

namespace tv {

void m1time(Context& ctx, int clock, int printopt) {
  const ClockReport out{ctx.io, ctx.par.prtfile, ctx.par.sumfile, ctx.par.timlevel};
  m1time(ctx.tim, out, clock, printopt);
}

Context& default_context() {
  static Context ctx;
  return ctx;
}

}  // namespace tv
