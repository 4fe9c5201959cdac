#include "files/m4getb.h"

#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/run_state.h"
#include "files/m4bfil.h"
#include "files/save_state.h"
#include "lu/m2crsh.h"
#include "lu/m2scal.h"
#include "options/params.h"

namespace tv {

namespace {

double into(double x, double lo, double hi) { return std::max(lo, std::min(x, hi)); }

void initial_point(Context& ctx, Problem& P, int& ns, int& inform) {
  const Params& p = ctx.par;
  RunState& R = ctx.run;
  same_unit_warnings(ctx);
  if (R.startmode == kStartCold) {
    for (int j = P.n + 1; j <= P.nb; ++j) P.xn(j) = 0.0;
    for (int i = P.nncon + 1; i <= P.m; ++i) P.pi(i) = 0.0;
    bool got = false;
    if (p.oldbfile > 0) {
      got = m4oldb(ctx, P, p.oldbfile, ns, inform);
    } else if (p.insfile > 0) {
      got = m4inst(ctx, P, p.insfile, ns, inform);
    } else if (p.loadfile > 0) {
      got = m4load(ctx, P, p.loadfile, ns, inform);
    }
    if (got) R.gotbas = true;
    if (inform != 0) return;
  }
  for (int j = 1; j <= P.nb; ++j) P.xn(j) = into(P.xn(j), P.bl(j), P.bu(j));
}

void prepare_cycle(Context& ctx, Problem& P, int& start) {
  Params& p = ctx.par;
  RunState& R = ctx.run;
  const int m = P.m;
  const double sense = p.objsense < 0 ? -1.0 : 1.0;

  // Initial multipliers of the nonlinear rows from pi (user's sign).
  if (P.nncon > 0 && R.ninf == 0) {
    Dvec lambda = ctx.ws.dvec(ctx.part.lambda);
    double big = 0.0;
    for (int i = 1; i <= P.nncon; ++i) big = std::max(big, std::fabs(P.pi(i)));
    if (big >= 1.0e+10) {
      ctx.prt(" XXX Warning: pi(*) is big (perhaps not initialized).");
      ctx.prt(" XXX Setting  pi(*) = 0  for use as initial lambda.");
    }
    for (int i = 1; i <= P.nncon && i <= lambda.size(); ++i) {
      lambda(i) = big >= 1.0e+10 ? 0.0 : sense * P.pi(i);
    }
  }
  if (P.objrow > 0) P.pi(P.objrow) = -sense;

  Ivec rowtype = ctx.ws.ivec(ctx.part.bsfeas);
  Dvec sc = ctx.ws.dvec(ctx.part.scales);
  if (p.scaleopt > 0 && sc.size() >= P.nb) {
    if (!R.gotscl) {
      m2scal(ctx, P, rowtype, sc, ctx.ws.dvec(ctx.part.y).head(m), ctx.ws.dvec(ctx.part.y2).head(m));
      R.gotscl = true;
    }
    m2scla(ctx, 1, P, sc);
  }

  start = kCrashNone;
  if (!R.gotbas) {
    R.gotbas = true;
    const int crash = p.crashopt >= kCrashAll && p.crashopt <= kCrashLinearE ? p.crashopt : kCrashNone;
    start = crash;
    m2crsh(ctx, crash, P, rowtype, ctx.ws.ivec(ctx.part.kbs));
  }
}

}  // namespace

void m4getb(Context& ctx, int ncycle, Problem& P, int& ns, int& start, int& inform) {
  if (ncycle == 0) {
    initial_point(ctx, P, ns, inform);
  } else {
    prepare_cycle(ctx, P, start);
  }
}

void m4chek(Context& ctx, Problem& P, int& ns) {
  const Params& p = ctx.par;
  const int m = P.m, n = P.n, nb = P.nb;
  const double plinfy = p.mc.infbnd;
  const double big = 0.9 * plinfy;
  Ivec hs = P.hs;

  for (int j = 1; j <= nb; ++j) {
    if (hs(j) < 0) {
      hs(j) = 0;
    } else if (hs(j) > 3) {
      hs(j) -= 4;
      if (hs(j) > 3 || hs(j) < 0) hs(j) = 0;
    }
  }
  if (P.objrow > 0) {
    const int jobj = n + P.objrow;
    hs(jobj) = 3;
    P.bl(jobj) = -plinfy;
    P.bu(jobj) = plinfy;
  }

  // Superbasics in index order, up to the limit; basics up to m, the
  // objective row's place kept whatever its index.
  Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  const int maxs = std::min(std::max(p.maxs, 0), kbs.size() - m);
  const int jobj = P.objrow > 0 ? n + P.objrow : 0;
  int nsup = 0, nbasic = jobj > 0 ? 1 : 0, nbasic_all = nbasic;
  for (int j = 1; j <= nb; ++j) {
    if (j == jobj) continue;
    if (hs(j) == 2) {
      if (nsup < maxs) {
        ++nsup;
        kbs(m + nsup) = j;
      } else {
        hs(j) = 0;
      }
    } else if (hs(j) == 3) {
      ++nbasic_all;
      if (nbasic < m) {
        ++nbasic;
      } else {
        hs(j) = 0;
      }
    }
  }
  if (ctx.run.gothes && nsup != ctx.sav.ns_hessian) {
    ctx.both("");
    ctx.both(strf(" WARNING:%6d superbasics in hs(*); previously ns =%6d.  Hessian not saved", nsup,
                  ctx.sav.ns_hessian));
    ctx.run.gothes = false;
  }
  ns = nsup;
  if (nbasic_all != m) {
    ctx.both("");
    ctx.both(strf(" WARNING:%7d basics specified; preferably should have been%7d", nbasic_all, m));
  }

  // Place the nonbasic variables.
  const double tolb = p.mc.eps025;
  for (int j = 1; j <= nb; ++j) {
    if (hs(j) > 1) continue;
    const double bl = P.bl(j), bu = P.bu(j);
    double x = P.xn(j);
    if (std::fabs(x) >= big) x = 0.0;
    x = into(x, bl, bu);
    if (bu - x <= x - bl) {
      if (bu - x <= tolb) x = bu;
    } else if (x - bl <= tolb) {
      x = bl;
    }
    P.xn(j) = x;
    hs(j) = x > bl ? 1 : 0;
  }
}

}  // namespace tv
