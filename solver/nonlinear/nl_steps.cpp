// The nonlinear steps of a solve (see nl_steps.h).
#include "nonlinear/nl_steps.h"

#include "core/context.h"
#include "core/kernels.h"
#include "core/run_state.h"
#include "core/timers.h"
#include "lu/m2scal.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/rgit.h"
#include "nonlinear/verify.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

// An evaluation failed: a stop request has written its EXIT line; an
// undefined function leaves it to the main loop (" EXIT -- function not
// defined ...").  Either way the run ends with result 6.
int evaluation_failed(Context& ctx) {
  if (ctx.nl.ev.ierr == 6) ctx.nl.exit_printed = true;
  ctx.nl.ev.ierr = 0;
  return TV_USER_STOP;
}

// Value of the objective row's slack (0 without an objective row).
double objective_slack(const Context& ctx, const Problem& P) {
  return ctx.spx.jobj > 0 ? P.xn(ctx.spx.jobj) : 0.0;
}

}  // namespace

void nl_start(Context& ctx, const Problem& P) {
  const Params& p = ctx.par;
  NonlinearState& N = ctx.nl;
  Evaluator& ev = N.ev;
  m6start(ev);
  ev.funobj = ctx.funobj;
  ev.funcon = ctx.funcon;
  ev.probnum = p.probnum;
  const Region& user = ctx.part.user;
  ev.uwork = user.len > 0 ? ctx.ws.raw() + (user.start - 1) : nullptr;
  ev.nuwork = user.len;
  ev.derlevel = p.derlevel;
  ev.fwdint = p.fwdint;
  ev.cenint = p.cenint;
  ev.gdummy = p.gdummy;
  ev.scaleopt = p.scaleopt;
  ev.n = P.n;
  ev.scales = ctx.ws.dvec(ctx.part.scales);
  ev.xsave = ctx.ws.dvec(ctx.part.xsave);
  if (ev.scaleopt >= 2 && (ev.scales.size() < P.nb || ev.xsave.size() < P.nnl())) ev.scaleopt = 0;
  ev.io = &ctx.io;
  ev.prtfile = p.prtfile;
  ev.sumfile = p.sumfile;
  ev.page_ejects = p.page_ejects;
  ev.timlevel = p.timlevel;
  ev.clock = [&ctx](int k) { m1time(ctx, k, 0); };
  N.fobj = N.fsub = 0.0;
  N.hreset = true;
  N.condh = 1.0;
  nl_auglag_views(ctx, P);
  nl_loop_start(ctx);
}

void nl_loop_start(Context& ctx) {
  NonlinearState& N = ctx.nl;
  N.exit_printed = false;
  N.ev.ierr = 0;
  N.retry = 0;
  N.nrestart = 0;
  N.canprice = true;
  N.rgmax = 0.0;
  N.nsubit = 0;
  N.hmod1 = N.hmod2 = 0;
  N.xconv = N.fconv = N.gconv = N.sconv = false;
  N.penalty = 0.0;
}

void nl_hessian_clear(Context& ctx) { ctx.nl.hreset = true; }

bool nl_hessian_held(Context& ctx) { return ctx.part.hess.len > 0 && !ctx.nl.hreset; }

double nl_reduced_gradient(Context& ctx, Problem& P, int ns) {
  const SimplexState& S = ctx.spx;
  const Workspace& ws = ctx.ws;
  const int m = P.m;
  Ivec kbs = ws.ivec(ctx.part.kbs);
  Dvec grd = ws.dvec(ctx.part.grd), rg = ws.dvec(ctx.part.rg);
  // While feasible the costs of the superbasics are the objective's gradient
  // (the cost former keeps only the objective row's); the prices belong to
  // the same gradient.  While infeasible they are the phase-1 costs.
  if (S.ninf == 0) {
    m7bsg(m + ns, P.nnl(), kbs, ws.dvec(ctx.part.gsub), grd, S.jobj, -ctx.par.objsense * ctx.run.objscale);
  }
  return m7rg(m, ns, P.n, P.a, P.ha, P.ka, kbs, grd, P.pi, rg);
}

int nl_objective(Context& ctx, Problem& P, int) {
  NonlinearState& N = ctx.nl;
  Dvec gobj = ctx.ws.dvec(ctx.part.gobj);
  m6fun0(N.ev, P.nnobj, gobj, 0, 0, Dvec(), false);
  double f = 0.0, F = 0.0;
  if (!m6fun(N.ev, 2, P.nnobj, P.xn, objective_slack(ctx, P), ctx.par.objsense, ctx.run.objscale, f, gobj, F,
             N.linearization())) {
    return evaluation_failed(ctx);
  }
  N.fobj = f;
  N.fsub = F;
  return 0;
}

int nl_gradient(Context& ctx, Problem& P, int ns) {
  NonlinearState& N = ctx.nl;
  const Workspace& ws = ctx.ws;
  const int nnl = P.nnl();
  Dvec gobj = ws.dvec(ctx.part.gobj), gobj2 = ws.dvec(ctx.part.gobj2), gsub = ws.dvec(ctx.part.gsub);
  if (!m6grd(N.ev, P.nnobj, nnl, N.fobj, gobj, P.xn, gobj2, ctx.par.objsense, gsub, N.linearization())) {
    return evaluation_failed(ctx);
  }
  m7bsg(P.m + ns, nnl, ws.ivec(ctx.part.kbs), gsub, ws.dvec(ctx.part.grd), ctx.spx.jobj,
        -ctx.par.objsense * ctx.run.objscale);
  return 0;
}

int nl_first_feasible(Context& ctx, Problem& P, int ns) {
  NonlinearState& N = ctx.nl;
  Evaluator& ev = N.ev;
  const Params& p = ctx.par;
  const Workspace& ws = ctx.ws;
  const int nnobj = P.nnobj;
  // The callbacks and the checks see the user's variables: with Scale
  // option 2 the problem is unscaled meanwhile.
  Dvec sc = ws.dvec(ctx.part.scales);
  const bool rescale = p.scaleopt >= 2 && sc.size() >= P.nb;
  const int scaleopt = ev.scaleopt;
  if (rescale) m2scla(ctx, 2, P, sc);
  ev.scaleopt = 0;

  Dvec gobj = ws.dvec(ctx.part.gobj), gobj2 = ws.dvec(ctx.part.gobj2);
  double f = 0.0;
  if (P.nncon > 0) {
    // The constraints first: their values and Jacobian here, checked
    // against differences.  Work: the second full-length vector for p, the
    // trial constraint vector and dl for f2 and jp.
    AuglViews& V = N.av;
    m8chkj(ev, p.verlevel, p.conchk1, p.conchk2, P.nncon, P.nnjac, N.lin.njac, P.ha, P.ka,
           P.bl.head(P.nnjac), P.bu.head(P.nnjac), P.xn, V.fcon, V.gcon, V.work.head(P.nnjac), V.fcon2, V.dl,
           V.gcon2);
  }
  if (nnobj > 0 && ev.ierr == 0) {
    m6fun0(ev, nnobj, gobj, 0, 0, Dvec(), false);
    m6fobj(ev, 2, nnobj, f, gobj, P.xn);
    if (ev.ierr == 0) {
      m7chkg(ev, p.verlevel, p.objchk1, p.objchk2, nnobj, P.bl.head(nnobj), P.bu.head(nnobj), P.xn, f,
             gobj, ws.dvec(ctx.part.work).head(nnobj), ws.dvec(ctx.part.y2).head(nnobj), gobj2);
    }
  }

  ev.scaleopt = scaleopt;
  if (rescale) {
    m2scla(ctx, 1, P, sc);
    // The lists in kbs order follow the values as scaled again.
    Ivec kbs = ws.ivec(ctx.part.kbs);
    Dvec xbs = ws.dvec(ctx.part.xbs), blbs = ws.dvec(ctx.part.blbs), bubs = ws.dvec(ctx.part.bubs);
    for (int k = 1; k <= P.m + ns; ++k) {
      const int j = kbs(k);
      if (j <= 0) continue;
      xbs(k) = P.xn(j);
      blbs(k) = P.bl(j);
      bubs(k) = P.bu(j);
    }
  }
  if (ev.ierr == 7 || ev.ierr == 8) {
    N.exit_printed = true;
    const int r = ev.ierr == 7 ? TV_OBJ_GRADIENTS : TV_CON_GRADIENTS;
    ev.ierr = 0;
    return r;
  }
  if (ev.ierr != 0) return evaluation_failed(ctx);
  N.fobj = f;
  N.fsub = p.objsense * (f - objective_slack(ctx, P) * ctx.run.objscale);
  return 0;
}

int nl_final_calls(Context& ctx, Problem& P, int inform) {
  if (P.nnl() == 0) return 0;
  NonlinearState& N = ctx.nl;
  const Workspace& ws = ctx.ws;
  double f = 0.0;
  // The constraints' final call goes into the trial vectors, so that the
  // values kept for the report stay.
  const bool con = P.nncon > 0 && N.av.fcon2.size() >= P.nncon;
  m6final(N.ev, inform, P.nnobj, con ? P.nncon : 0, P.nnjac, N.lin.njac, P.ha, P.ka, P.xn, f,
          ws.dvec(ctx.part.gobj2), con ? N.av.fcon2 : Dvec(), con ? N.av.gcon2 : Dvec());
  const int ierr = N.ev.ierr;
  N.ev.ierr = 0;
  return ierr == 6 ? -1 : 0;
}

}  // namespace tv
