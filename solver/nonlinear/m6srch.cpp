// m6srch: the line search of the reduced-gradient iteration.  It drives the
// step routines srchc/srchq in reverse communication, forming every trial
// point x + alfa p over the basic and superbasic variables and evaluating F
// there; a trial where the functions are undefined restarts the search
// within a tenth of the failing step.
#include <algorithm>
#include <cmath>
#include <string>

#include "core/context.h"
#include "core/run_state.h"
#include "nonlinear/linearization.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/rgit.h"
#include "nonlinear/srch.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

namespace tv {

SearchOutcome m6srch(Context& ctx, Problem& P, int count, CDvec y, const SearchCall& call) {
  NonlinearState& N = ctx.nl;
  Evaluator& ev = N.ev;
  const Params& par = ctx.par;
  const Workspace& ws = ctx.ws;
  const int nnobj = P.nnobj, nnl = P.nnl();
  const int jobj = ctx.spx.jobj;
  const double sense = par.objsense, objscale = ctx.run.objscale;
  CIvec kbs = ws.ivec(ctx.part.kbs);
  CDvec xbs = ws.dvec(ctx.part.xbs);
  Dvec gobj = ws.dvec(ctx.part.gobj), gobj2 = ws.dvec(ctx.part.gobj2), gsub = ws.dvec(ctx.part.gsub);
  Dvec xn = P.xn;
  SearchOutcome out;
  Linearization* lin = N.linearization();
  // F's gradient at a trial point (with the constraint terms only).
  Dvec gtrial = N.gtrial;

  SearchSetup su;
  su.gradients = call.cubic;
  su.f = call.f0;
  su.gtp = call.gtp;
  su.alfmax = call.alfmax;
  su.xnorm = call.xnorm;
  su.pnorm = call.pnorm;
  su.x = xbs.head(count);
  su.p = y.head(count);
  su.fprec = par.fprec;
  su.eta = par.lstol;
  su.fwddif = call.fwddif;
  su.difint = par.fwdint;
  su.eps = par.mc.eps;
  su.eps080 = par.mc.eps080;
  SearchConsts c = m6scon(su);

  // Trials: function values only for the parabolic search, with gradients
  // (into gobj2, so that gobj keeps the gradient at x) for the cubic one.
  const int mode = call.cubic ? 2 : 0;
  double lastF = call.f0, lastf = N.fobj;
  auto place = [&](double alfa) {
    for (int k = 1; k <= count; ++k) xn(kbs(k)) = xbs(k) + alfa * y(k);
  };
  auto trial = [&](double alfa, double& ftry, double& gtry) {
    place(alfa);
    const double sobj = jobj > 0 ? xn(jobj) : 0.0;
    double f = 0.0, F = 0.0;
    if (!m6fun(ev, mode, nnobj, xn, sobj, sense, objscale, f, gobj2, F, lin, true)) return false;
    lastF = F;
    lastf = f;
    ftry = F - call.f0 - kSearchMu * call.gtp * alfa;
    if (call.cubic) {
      // F's gradient at the trial point over the nonlinear columns: the
      // objective's, plus the constraint terms (dl is the trial's).
      if (lin != nullptr) {
        for (int j = 1; j <= nnl; ++j) gtrial(j) = j <= nnobj ? sense * gobj2(j) : 0.0;
        m8lagg(*lin, lin->gcon2, gtrial);
      }
      double slope = 0.0;
      for (int k = 1; k <= count; ++k) {
        const int j = kbs(k);
        if (lin != nullptr && j <= nnl) {
          slope += gtrial(j) * y(k);
        } else if (j <= nnobj) {
          slope += sense * gobj2(j) * y(k);
        } else if (j == jobj) {
          slope -= sense * objscale * y(k);
        }
      }
      gtry = slope - kSearchMu * call.gtp;
    }
    return true;
  };

  const bool debug = call.debug;
  const int iprint = par.prtfile;
  double alfmax = call.alfmax, alfa = call.alfa;
  SearchState st;
  for (;;) {
    st = SearchState{};
    if (debug) {
      ctx.prt("");
      ctx.prt("");
      ctx.prt(" " + std::string(44, '-'));
      ctx.prt(strf(" Output from m6srch following iteration%9d   Norm p =%11.2E     Norm g =%11.2E",
                   ctx.spx.itn, call.pnorm, call.gnorm));
    }
    double ftry = 0.0, gtry = 0.0;
    bool undefined = false;
    for (;;) {
      if (call.cubic) {
        srchc(st, c, alfmax, ftry, gtry, alfa, debug, ctx.io, iprint);
      } else {
        srchq(st, c, alfmax, ftry, alfa, debug, ctx.io, iprint);
      }
      if (st.done) break;
      if (trial(alfa, ftry, gtry)) continue;
      if (ev.ierr != -1) {  // a callback asked to stop
        place(0.0);
        out.inform = -1;
        out.numf = st.numf;
        return out;
      }
      undefined = true;
      break;
    }
    if (!undefined) break;
    // Undefined at alfa: search again within a tenth of that step (tolabs
    // and tolsml stay; once alfmax <= tolsml the search ends with exit 8).
    ev.ierr = 0;
    alfmax = alfa / 10.0;
    alfa = alfmax;
  }

  out.inform = st.inform;
  out.numf = st.numf;
  const bool gained = st.inform != 8 && st.alfbst > 0.0;
  if (gained) {
    out.alfa = st.alfbst;
    if (call.cubic && st.imprvd) {
      // The last trial is the best point: x, F and the gradient stand.
      for (int j = 1; j <= nnobj; ++j) gobj(j) = gobj2(j);
      if (lin != nullptr) {
        for (int i = 1; i <= lin->nncon; ++i) lin->fcon(i) = lin->fcon2(i);
        for (int l = 1; l <= lin->njac; ++l) lin->gcon(l) = lin->gcon2(l);
      }
      out.f = lastF;
      out.fobj = lastf;
    } else {
      place(out.alfa);
      const double sobj = jobj > 0 ? xn(jobj) : 0.0;
      m6fun0(ev, nnobj, gobj, 0, 0, Dvec(), false);
      if (!m6fun(ev, 2, nnobj, xn, sobj, sense, objscale, out.fobj, gobj, out.f, lin)) {
        out.inform = -1;
        return out;
      }
    }
    if (!m6grd(ev, nnobj, nnl, out.fobj, gobj, xn, gobj2, sense, gsub, lin)) {
      out.inform = -1;
      return out;
    }
    N.fobj = out.fobj;
  } else {
    // No better point: back to x, whose F and gradient are unchanged.
    place(0.0);
    out.alfa = 0.0;
    out.f = call.f0;
    out.fobj = N.fobj;
  }
  if (out.inform >= 7 && !debug) {
    ctx.prt(strf(" alfmax =%11.2E    pnorm  =%11.2E    gnorm  =%11.2E    g(t)p  =%11.2E    numf =%3d",
                 alfmax, call.pnorm, call.gnorm, call.gtp, out.numf));
  }
  return out;
}

}  // namespace tv
