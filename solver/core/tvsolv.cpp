#include "core/tvsolv.h"

#include <algorithm>

#include "core/context.h"
#include "core/m2amat.h"
#include "core/states.h"

namespace tv {

// Provisional driver: interprets the start mode, adjusts partial pricing and
// prints the matrix statistics.  The cycles (scaling, crash, main loop,
// solution save) are not connected yet, so it reports that nothing was solved.
void tvsolv(Context& ctx, std::string_view start, Problem& P, int& ns, int& inform, int& nmajor,
            int& nitns) {
  Params& p = ctx.par;
  const int m = P.m, n = P.n;
  ctx.run.ninf = 0;
  ctx.run.ncycle = 0;
  ctx.spx.objscale = 1.0;
  ctx.spx.jobj = P.objrow > 0 ? n + P.objrow : 0;
  nmajor = 0;
  nitns = 0;

  set_start_mode(ctx, start, ns);

  int nparp = std::max(p.partprice, 1);
  if (n / nparp <= 9 && m / nparp <= 9) {
    const int big = std::max({m, n, 1});
    nparp = big <= 10 ? 1 : big / 10;
  }
  p.partprice = nparp;
  ctx.prt(strf(" Scale option%3d,      Partial price%8d", p.scaleopt, nparp));
  ctx.prt(strf(" Partial price section size (A) %12d", n / nparp));
  ctx.prt(strf(" Partial price section size (I) %12d", m / nparp));
  ctx.sum(strf(" Scale option%3d,    Partial price%4d", p.scaleopt, nparp));

  if (p.scaleopt == 1 && n == P.nnl()) p.scaleopt = 0;

  m2amat(ctx, 1, P, ctx.ws.ivec(ctx.part.bsfeas));
  inform = 99;
}

}  // namespace tv
