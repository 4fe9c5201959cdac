#include "files/m4savb.h"

#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/kernels.h"
#include "core/run_state.h"
#include "files/m4bfil.h"
#include "files/m4soln.h"
#include "files/save_state.h"
#include "lu/m2scal.h"
#include "nonlinear/nl_steps.h"
#include "nonlinear/nonlinear_state.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

// Largest |v(i)| over 1..count and its index (0 when all are 0).
void maxabs(CDvec v, int count, double& vmax, int& imax) {
  vmax = 0.0;
  imax = 0;
  for (int i = 1; i <= count; ++i) {
    if (std::fabs(v(i)) > vmax) {
      vmax = std::fabs(v(i));
      imax = i;
    }
  }
}

// The working feasibility tolerance of the EXPAND procedure at the end of
// the main loop: the tolerance of the phase-1 costs.
double expand_tol(const Context& ctx) {
  return ctx.spx.delta > 0.0 ? ctx.spx.delta : ctx.par.feastol;
}

void save(Context& ctx, Problem& P, int ns, int inform) {
  const Params& p = ctx.par;
  SaveState& S = ctx.sav;
  const int m = P.m, n = P.n, nb = P.nb;
  const double sense = p.objsense < 0 ? -1.0 : 1.0;
  const bool feasible = ctx.run.ninf == 0;
  const int jobj = P.objrow > 0 ? n + P.objrow : 0;
  Dvec g = ctx.ws.dvec(ctx.part.gobj);
  const int ng = std::min(P.nnobj, g.size());
  Dvec sc = ctx.ws.dvec(ctx.part.scales);
  const bool scaled = p.scaleopt > 0 && sc.size() >= nb;

  S.inform = inform;
  S.itn = ctx.spx.itn;
  S.cviol = S.cviolr = 0.0;
  S.icviol = 0;
  S.cviol_set = false;

  // Final reduced costs; phase-1 costs only at an infeasible point.
  m2rca(feasible, expand_tol(ctx), sense, m, n, ng, P.a, P.ha, P.ka, P.hs, P.bl, P.bu, g, P.pi, P.rc,
        P.xn);

  // Statistics of the scaled problem.
  m2binf(nb, P.xn, P.bl, P.bu, S.pinfmax, S.jpinf);
  m2dinf(nb, jobj, P.bl, P.bu, P.rc, P.xn, S.dinfmax, S.jdinf);
  double xmax_s = 0.0, pimax_s = 0.0;
  int jx_s = 0, ipi_s = 0;
  maxabs(P.xn, n, xmax_s, jx_s);
  maxabs(P.pi, m, pimax_s, ipi_s);

  if (scaled) {
    m2scla(ctx, 2, P, sc);
    unscale_rc(nb, sc, P.rc);
    // The nonlinear constraint values kept by the major iterations are
    // unscaled by their owner when it exists.
    for (int j = 1; j <= ng; ++j) g(j) /= sc(j);
    m2binf(nb, P.xn, P.bl, P.bu, S.pinfmax_u, S.jpinf_u);
    m2dinf(nb, jobj, P.bl, P.bu, P.rc, P.xn, S.dinfmax_u, S.jdinf_u);
    maxabs(P.xn, n, S.xmax, S.jxmax);
    maxabs(P.pi, m, S.pimax, S.ipimax);
  } else {
    S.pinfmax_u = S.pinfmax;
    S.jpinf_u = S.jpinf;
    S.dinfmax_u = S.dinfmax;
    S.jdinf_u = S.jdinf;
    S.xmax = xmax_s;
    S.jxmax = jx_s;
    S.pimax = pimax_s;
    S.ipimax = ipi_s;
  }
  S.pinorm = std::max(1.0, S.pimax);

  if (scaled) {
    ctx.both(strf(" Max x       (scaled)%9d%8.1E  Max pi      (scaled)%9d%8.1E", jx_s, xmax_s, ipi_s,
                  pimax_s));
  }
  ctx.both(strf(" Max x               %9d%8.1E  Max pi              %9d%8.1E", S.jxmax, S.xmax,
                S.ipimax, S.pimax));
  if (scaled) {
    ctx.both(strf(" Max Prim inf(scaled)%9d%8.1E  Max Dual inf(scaled)%9d%8.1E", S.jpinf, S.pinfmax,
                  S.jdinf, S.dinfmax));
  }
  ctx.both(strf(" Max Primal infeas   %9d%8.1E  Max Dual infeas     %9d%8.1E", S.jpinf_u,
                S.pinfmax_u, S.jdinf_u, S.dinfmax_u));

  // The user's signs for a feasible maximisation.
  if (feasible && sense < 0.0) {
    for (int i = 1; i <= m; ++i) P.pi(i) = -P.pi(i);
    for (int j = 1; j <= nb; ++j) P.rc(j) = -P.rc(j);
  }

  // The nonlinear constraints at the final point: their largest violation,
  // and the rows' slacks at their true values.  Unset (cviol_set false) when
  // funcon cannot be evaluated there.
  if (P.nncon > 0 && nl_constraint_violation(ctx, P, S.cviol, S.icviol)) {
    S.cviolr = S.cviol / (1.0 + S.xmax);
    S.cviol_set = true;
    ctx.both(strf(" Nonlinear constraint violn%11.1E", S.cviol));
  }

  ctx.run.obj = objective_value(ctx, P);

  if (p.pchfile > 0) m4pnch(ctx, P, p.pchfile);
  if (p.dumpfile > 0) m4dump(ctx, P, p.dumpfile);
  if (p.solfile > 0) m4soln(ctx, 1, P, ns, inform, S.itn);

  const int rep = p.repfile;
  if (rep == 91 || rep == 92 || rep == 93) {
    m2xmat(ctx.io, rep, P);
  } else if (rep == 81) {
    m2xsol(ctx.io, rep, P, ctx.par.objsense, inform, ctx.run.obj, ctx.run.ninf, ctx.run.sinf);
    ctx.sum("");
    ctx.sum(strf(" Solution exported to file%4d", rep));
  } else if (rep > 0) {
    ctx.both("");
    ctx.both(" XXX Report file requested.  m4rept does nothing.");
  }
  S.saved = true;
}

void report(Context& ctx, Problem& P, int ns) {
  const Params& p = ctx.par;
  if (p.prtfile > 0 && p.solprint > 0) {
    m4soln(ctx, 0, P, ns, ctx.sav.inform, ctx.sav.itn);
    ctx.sum("");
    ctx.sum(strf(" Solution printed on file%4d", p.prtfile));
  } else {
    ctx.sum("");
    ctx.sum(" Solution not printed");
  }
}

}  // namespace

double objective_value(const Context& ctx, const Problem& P) {
  double obj = P.objconst;
  if (P.objrow > 0) obj -= P.xn(P.n + P.objrow) * ctx.run.objscale;
  if (P.nnobj > 0) obj += ctx.nl.fobj;
  return obj;
}

void m4savb(Context& ctx, int mode, Problem& P, int ns, int inform) {
  if (mode == 1) {
    save(ctx, P, ns, inform);
  } else {
    report(ctx, P, ns);
  }
}

}  // namespace tv
