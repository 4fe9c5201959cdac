#include "core/setup.h"

#include <algorithm>

#include "core/context.h"
#include "core/m2core.h"
#include "core/run_state.h"
#include "lu/basis_state.h"
#include "lu/lumap.h"
#include "options/options.h"
#include "options/params.h"

namespace tv {

namespace {

int tvcjac(const Problem& P) {
  if (P.nncon <= 0) return 0;
  const int last = P.ka(P.nnjac + 1) - 1;
  if (P.nncon == P.m) return last;
  int count = 0;
  for (int k = 1; k <= last; ++k) count += P.ha(k) <= P.nncon ? 1 : 0;
  return count;
}

}  // namespace

int solve_settings(Context& ctx, const Problem& P) {
  Params& p = ctx.par;
  p.rowlim = P.m;
  p.collim = P.n;
  p.elmlim = P.ne;
  p.nncon = P.nncon;
  p.nnobj = P.nnobj;
  p.nnjac = P.nnjac;
  ctx.run.m = P.m;
  ctx.run.n = P.n;
  ctx.run.nb = P.nb;
  ctx.run.ne = P.ne;
  m3dflt(ctx, 2);
  ctx.run.njac = tvcjac(P);
  return ctx.run.njac;
}

int64_t partition_workspace(Context& ctx, int nwork) {
  Params& p = ctx.par;
  p.wstotal = nwork;
  ctx.run.nwork = nwork;
  CoreSizes s;
  s.m = ctx.run.m;
  s.n = ctx.run.n;
  s.ne = ctx.run.ne;
  s.nncon = p.nncon;
  s.nnobj = p.nnobj;
  s.nnjac = p.nnjac;
  s.njac = ctx.run.njac;
  s.maxs = p.maxs;
  s.hdim = p.hdim;
  s.scaleopt = p.scaleopt;
  s.wsuser = p.wsuser;
  s.devex = prices_every_column_by_weights(p.pricing) && std::max(p.nnobj, p.nnjac) == 0;
  s.steep = p.pricing == kPriceSteepest;
  const int64_t first = m2core(s, ctx.part);
  return m2bmap(ctx, 4, s.m, s.n, ctx.run.ne, ctx.part.nbs, first, nwork);
}

void bind_workspace(Context& ctx, double* z, int nwork) {
  Workspace& ws = ctx.ws;
  ws.bind(z, nwork);
  const Partition& r = ctx.part;
  for (const Region* g : {&r.bsfeas, &r.kbs, &r.chzr, &r.ynz, &r.dvxstart, &r.dvxcol, &r.dvxmark,
                          &r.dvxtouch, &r.dvxrhonz, &r.dvxlist, &r.dvxpos}) {
    ws.make_ints(g->start, g->len);
  }
  const LuMap& L = ctx.bas.map;
  ws.make_ints(L.ints, L.nints);
  ws.make_ints(L.lindc, L.lena);
  ws.make_ints(L.lindr, L.lena);
}

}  // namespace tv
