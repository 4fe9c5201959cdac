// m8setj: the set-up of each major iteration for nonlinear constraints
// (multipliers, damped step m8srch, infeasibility measures, log, right-hand
// side of the next subproblem, convergence and penalty control), and the
// other steps of the main loop that belong to the augmented Lagrangian: the
// reaction to an unbounded or infeasible subproblem, the end of a run and
// the constraint violation of the final point.
#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/m2amat.h"
#include "core/run_state.h"
#include "core/states.h"
#include "lu/basis_state.h"
#include "lu/m2scal.h"
#include "nonlinear/eval_calls.h"
#include "nonlinear/m8kern.h"
#include "nonlinear/nl_steps.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/rgit.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

double maxabs(CDvec v, int n) {
  double t = 0.0;
  for (int j = 1; j <= n; ++j) t = std::max(t, std::fabs(v(j)));
  return t;
}

AuglJob job_of(Context& ctx, Problem& P) {
  AuglJob J;
  J.n = P.n;
  J.nb = P.nb;
  J.nncon = P.nncon;
  J.nnjac = P.nnjac;
  J.njac = ctx.nl.lin.njac;
  J.a = P.a;
  J.ha = P.ha;
  J.ka = P.ka;
  J.bl = P.bl;
  J.bu = P.bu;
  J.xn = P.xn;
  J.hs = P.hs;
  J.penalty = &ctx.nl.penalty;
  J.lagrangian = ctx.par.lagrangian != 0;
  J.sinf = ctx.spx.sinf;
  J.io = &ctx.io;
  J.prtfile = ctx.par.prtfile;
  J.sumfile = ctx.par.sumfile;
  return J;
}

int augl(Context& ctx, Problem& P, int job) {
  const int r = m8augl(job, job_of(ctx, P), ctx.nl.av, ctx.nl.al);
  ctx.nl.lin.rhoeff = m8rhoeff(ctx.nl.penalty, P.nncon);
  return r;
}

// The bounds kept with the basic and superbasic variables follow new bounds.
void refresh_basis_bounds(Context& ctx, Problem& P, int ns) {
  const Workspace& ws = ctx.ws;
  CIvec kbs = ws.ivec(ctx.part.kbs);
  Dvec blbs = ws.dvec(ctx.part.blbs), bubs = ws.dvec(ctx.part.bubs);
  for (int k = 1; k <= P.m + ns; ++k) {
    const int j = kbs(k);
    if (j <= 0) continue;
    blbs(k) = P.bl(j);
    bubs(k) = P.bu(j);
  }
}

// Functions and gradients at x: f and J (unknown entries by differences),
// then f0 and its gradient.  Returns ev.ierr (0 when all went well).
int evaluate_point(Context& ctx, Problem& P) {
  NonlinearState& N = ctx.nl;
  Evaluator& ev = N.ev;
  AuglViews& V = N.av;
  const Linearization& L = N.lin;
  const Workspace& ws = ctx.ws;
  if (ev.derlevel < 2) m6dmmy(L.njac, V.gcon, ev.gdummy);
  m6fcon(ev, 2, P.nncon, P.nnjac, L.njac, P.ha, P.ka, P.xn, V.fcon, V.gcon);
  if (ev.ierr == 0 && jac_estimated(ev)) {
    m6dcon(ev, P.nncon, P.nnjac, L.njac, P.ha, P.ka, V.fcon, P.xn, V.gcon, V.fcon2, V.dl, V.gcon2);
  }
  if (ev.ierr != 0) return ev.ierr;
  if (P.nnobj > 0) {
    Dvec gobj = ws.dvec(ctx.part.gobj), gobj2 = ws.dvec(ctx.part.gobj2);
    double f = 0.0;
    if (obj_estimated(ev)) m6dmmy(P.nnobj, gobj, ev.gdummy);
    m6fobj(ev, 2, P.nnobj, f, gobj, P.xn);
    if (ev.ierr == 0 && obj_estimated(ev)) m6dobj(ev, P.nnobj, f, gobj, P.xn, gobj2);
    if (ev.ierr != 0) return ev.ierr;
    N.fobj = f;
  }
  return 0;
}

// prinf and duinf at x with the multipliers lambda (placed in pi).
void measure(Context& ctx, Problem& P) {
  NonlinearState& N = ctx.nl;
  AugLagState& st = N.al;
  AuglViews& V = N.av;
  const Workspace& ws = ctx.ws;
  for (int i = 1; i <= P.nncon; ++i) P.pi(i) = V.lambda(i);
  m8rc(P.n, P.m, P.nncon, P.nnjac, P.nnobj, P.a, P.ha, P.ka, V.gcon, P.pi, ws.dvec(ctx.part.gobj),
       ctx.par.objsense, ctx.spx.jobj, ctx.run.objscale, P.rc);
  st.prinf = m8cinf(P.n, P.nncon, P.nnjac, P.a, P.ha, P.ka, V.fcon, P.xn, P.bl, P.bu, V.dl, st.iprinf);
  st.duinf = m8dinf(P.nb, P.bl, P.bu, P.rc, P.xn, st.jduinf);
}

// The damped step from (xk, lambda) towards the subproblem's solution x
// with its multipliers (in V.work).  Returns 0 or an evaluation error.
int m8srch(Context& ctx, Problem& P) {
  NonlinearState& N = ctx.nl;
  AugLagState& st = N.al;
  AuglViews& V = N.av;
  Evaluator& ev = N.ev;
  const int nnjac = P.nnjac, nncon = P.nncon;
  const double prold = st.prinf, duold = st.duinf;
  // work: the multipliers' change (1..nncon), then the Jacobian variables'.
  Dvec dlam = V.work.head(nncon);
  Dvec dx = V.work.sub(nncon + 1, nnjac);
  for (int i = 1; i <= nncon; ++i) dlam(i) -= V.lambda(i);
  for (int j = 1; j <= nnjac; ++j) dx(j) = P.xn(j) - V.xk(j);

  const double d = ctx.par.majdamp;
  double step = std::min({1.0, d / (1e-15 + st.dxnorm), d / (1e-15 + st.dlnorm)});
  if (step >= 0.99) step = 1.0;
  double taken = 0.0;  // lambda = lambda(old) + taken * dlam
  for (;;) {
    if (step < 1.0) {
      for (int j = 1; j <= nnjac; ++j) P.xn(j) = V.xk(j) + step * dx(j);
    }
    for (int i = 1; i <= nncon; ++i) V.lambda(i) += (step - taken) * dlam(i);
    taken = step;
    const int ierr = evaluate_point(ctx, P);
    if (ierr == 0) break;
    if (ierr == -1 && step >= 1e-5) {
      ev.ierr = 0;
      step /= 10.0;
      continue;
    }
    st.step = step;
    return ierr;
  }
  st.step = step;
  measure(ctx, P);
  st.fullstep_ok = step == 1.0 && st.prinf <= 1.1 * (prold + 0.1) && st.duinf <= 1.1 * (duold + 0.1);
  // The accepted point becomes the reference: the Jacobian variables as
  // damped, the other variables as the subproblem left them.
  for (int j = 1; j <= P.nb; ++j) V.xk(j) = P.xn(j);
  return 0;
}

// The debug listings of the Print level digits, in the user's units: with
// Scale option 2 unscaled copies go to the work vectors (free here).
void print_vectors(Context& ctx, Problem& P) {
  const Params& p = ctx.par;
  AuglViews& V = ctx.nl.av;
  const int n = P.n, nncon = P.nncon, nnjac = P.nnjac;
  CDvec sc = ctx.ws.dvec(ctx.part.scales);
  if (p.scaleopt < 2 || sc.size() < P.nb) {
    m8prtj(ctx.io, p.prtfile, p.prtlevel, ctx.spx.nmaj, nncon, nnjac, P.ha, P.ka, P.xn, P.hs, V.lambda, V.fcon,
           V.gcon);
    return;
  }
  // work: x (nnjac) then lambda (nncon); fcon2: f; gcon2: J.
  Dvec x = V.work.head(nnjac), lam = V.work.sub(nnjac + 1, nncon);
  for (int j = 1; j <= nnjac; ++j) x(j) = P.xn(j) * sc(j);
  for (int i = 1; i <= nncon; ++i) {
    lam(i) = V.lambda(i) / sc(n + i);
    V.fcon2(i) = V.fcon(i) * sc(n + i);
  }
  int l = 0;
  for (int j = 1; j <= nnjac; ++j) {
    jac_column(j, nncon, P.ha, P.ka, l, [&](int, int l1, int i) { V.gcon2(l1) = V.gcon(l1) * sc(n + i) / sc(j); });
  }
  m8prtj(ctx.io, p.prtfile, p.prtlevel, ctx.spx.nmaj, nncon, nnjac, P.ha, P.ka, x, P.hs, lam, V.fcon2, V.gcon2);
}

// Header and line of the major-iteration log; the kind-2 call of the log
// callback.  Returns its stop request.
int major_log(Context& ctx, Problem& P, int ns, SubproblemEnd last) {
  NonlinearState& N = ctx.nl;
  AugLagState& st = N.al;
  SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  const int major = S.nmaj - 1;
  const char letter = " IUT"[static_cast<int>(last)];
  double objective = P.objconst + N.fobj;
  if (S.jobj > 0) objective -= P.xn(S.jobj) * ctx.run.objscale;
  const int lu = ctx.bas.lenl + ctx.bas.lenu;
  const int ncon = N.ev.con.calls;
  const char* mark = p.prtlevel > 0 ? " >" : "  ";
  if (S.nmaj % 20 == 2 || st.headdue || p.prtlevel > 0) {
    ctx.prt("");
    ctx.prt(" Major minor     total  ninf step     objective     Feasible Optimal   nsb   ncon       LU penalty BSwap");
  }
  ctx.prt(strf("%6d%6d%c%9d%6d%8.1E%16.8E%8.1E%8.1E%6d%7d%9d%8.1E%6d%s", major, st.minors, letter, S.itn, S.ninf,
               st.step, objective, st.prinfn, st.duinfn, ns, ncon, lu, N.penalty, st.nswap, mark));
  if (S.nmaj % 10 == 2) {
    ctx.sum("");
    ctx.sum(" Major minor  step     objective  Feasible Optimal   nsb   ncon penalty BSwap");
  }
  ctx.sum(strf("%6d%6d%c%8.1E%13.5E%8.1E%8.1E%6d%7d%8.1E%6d%s", major, st.minors, letter, st.step, objective,
               st.prinfn, st.duinfn, ns, ncon, N.penalty, st.nswap, mark));
  if (p.prtlevel > 0) {
    ctx.prt("");
    ctx.prt(strf(" Maximum change in Jacobian vars =%12.2E    ( =%11.2E normalized)", st.dxmax, st.dxnorm));
    ctx.prt(strf(" Maximum change in multipliers   =%12.2E    ( =%11.2E normalized)", st.dlmax, st.dlnorm));
    ctx.prt(strf(" Maximum constraint violation    =%12.2E    ( =%11.2E normalized)", st.prinf, st.prinfn));
    ctx.sum(strf(" Change in Jacobn vars =%12.2E", st.dxmax));
    ctx.sum(strf(" Change in multipliers =%12.2E", st.dlmax));
  }
  st.headdue = false;
  S.prtlines = 0;

  int stop = 0;
  if (ctx.loglev > 0 && ctx.logfun != nullptr) {
    // The arguments in the order of the minor-iteration call.
    int kind = 2, mj = major, minor = st.minors, ninf = S.ninf, nsb = ns, nc = ncon, bsswp = st.nswap;
    double sinf = S.sinf, stp = st.step, obj = objective, feasible = st.prinfn, optimal = st.duinfn,
           penalty = N.penalty;
    char flag = letter;
    ctx.logfun(&kind, &stop, &mj, &minor, &ninf, &sinf, &flag, &stp, &obj, &feasible, &optimal, &nsb, &nc,
               &penalty, &bsswp, 1);
  }
  if (p.prtlevel > 1) print_vectors(ctx, P);
  return stop;
}

// Scale option 2: the scales are computed again now that the Jacobian is
// in the matrix (the first ones saw only the values the caller put there).
// The multipliers follow the row scales like pi.  True when rescaled.
bool rescale(Context& ctx, Problem& P) {
  Dvec sc = ctx.ws.dvec(ctx.part.scales);
  if (ctx.par.scaleopt < 2 || sc.size() < P.nb) return false;
  AuglViews& V = ctx.nl.av;
  const int n = P.n, m = P.m;
  augl(ctx, P, kAuglLoad);
  for (int i = 1; i <= P.nncon; ++i) V.lambda(i) /= sc(n + i);
  m2scla(ctx, 2, P, sc);
  Ivec rowtype = ctx.ws.ivec(ctx.part.bsfeas).head(m);
  m2amat(ctx, 2, P, rowtype);
  m2scal(ctx, P, rowtype, sc, ctx.ws.dvec(ctx.part.y).head(m), ctx.ws.dvec(ctx.part.y2).head(m));
  m2scla(ctx, 1, P, sc);
  for (int i = 1; i <= P.nncon; ++i) V.lambda(i) *= sc(n + i);
  ctx.nl.hreset = true;
  return true;
}

MajorSetup fail(Context& ctx, int ierr) {
  MajorSetup r;
  r.next = MajorNext::Stop;
  if (ierr == 6) ctx.nl.exit_printed = true;
  ctx.nl.ev.ierr = 0;
  r.inform = TV_USER_STOP;
  return r;
}

}  // namespace

void nl_auglag_views(Context& ctx, const Problem& P) {
  NonlinearState& N = ctx.nl;
  const Workspace& ws = ctx.ws;
  const int nncon = P.nncon;
  AuglViews& V = N.av;
  Linearization& L = N.lin;
  L = Linearization();
  V = AuglViews();
  N.al = AugLagState();
  N.gtrial = Dvec();
  if (nncon <= 0) return;
  Dvec f6 = ws.dvec(ctx.part.fcon6);
  V.fcon = f6.sub(1, nncon);
  V.fcon2 = f6.sub(nncon + 1, nncon);
  V.fk = f6.sub(2 * nncon + 1, nncon);
  V.dl = f6.sub(3 * nncon + 1, nncon);
  V.blsave = f6.sub(4 * nncon + 1, nncon);
  V.busave = f6.sub(5 * nncon + 1, nncon);
  V.rhs = ws.dvec(ctx.part.fcon1);
  V.lambda = ws.dvec(ctx.part.lambda).head(nncon);
  V.gcon = ws.dvec(ctx.part.gcon);
  V.gcon2 = ws.dvec(ctx.part.gcon2);
  V.gspare = ws.dvec(ctx.part.gcon3);
  Dvec x2 = ws.dvec(ctx.part.xfull2);
  V.xk = x2.sub(1, P.nb);
  V.work = x2.sub(P.nb + 1, P.nb);
  N.gtrial = V.work.head(std::max(P.nnl(), 1));
  L.nncon = 0;  // inactive until the second major iteration
  L.nnjac = P.nnjac;
  L.njac = ctx.part.njac;
  L.lagrangian = ctx.par.lagrangian != 0;
  L.ha = P.ha;
  L.ka = P.ka;
  L.a = P.a;
  L.xk = V.xk;
  L.fk = V.fk;
  L.lambda = V.lambda;
  L.fcon = V.fcon;
  L.gcon = V.gcon;
  L.fcon2 = V.fcon2;
  L.gcon2 = V.gcon2;
  L.dl = V.dl;
  if (ws.dvec(ctx.part.gconkeep).size() >= L.njac) N.ev.gconkeep = ws.dvec(ctx.part.gconkeep);
}

void nl_init_lagrangian(Context& ctx, Problem& P) {
  AuglViews& V = ctx.nl.av;
  // The rows' bounds as the caller gave them, before any scaling, to be
  // returned exactly (scaling and unscaling may change the last bit).
  Dvec keep = ctx.ws.dvec(ctx.part.conbnd);
  if (keep.size() >= 2 * P.nncon) {
    for (int i = 1; i <= P.nncon; ++i) {
      keep(i) = P.bl(P.n + i);
      keep(P.nncon + i) = P.bu(P.n + i);
    }
  }
  const double sense = ctx.par.objsense;
  double big = 0.0;
  for (int i = 1; i <= P.nncon; ++i) big = std::max(big, std::fabs(P.pi(i)));
  if (big >= 1.0e10) {
    ctx.prt(" XXX Warning: pi(*) is big (perhaps not initialized).");
    ctx.prt(" XXX Setting  pi(*) = 0  for use as initial lambda.");
  }
  for (int i = 1; i <= P.nncon; ++i) V.lambda(i) = big >= 1.0e10 ? 0.0 : sense * P.pi(i);
}

MajorSetup nl_major_setup(Context& ctx, Problem& P, int& ns, SubproblemEnd last) {
  NonlinearState& N = ctx.nl;
  AugLagState& st = N.al;
  AuglViews& V = N.av;
  Linearization& L = N.lin;
  SimplexState& S = ctx.spx;
  Params& p = ctx.par;
  const MachineConstants& mc = p.mc;
  const int nncon = P.nncon, nnjac = P.nnjac;
  MajorSetup r;
  st.minors = S.nmin;
  st.nrhsp = 0;

  if (S.nmaj == 1) {
    // Before the first subproblem, which only makes the linear constraints
    // feasible: the nonlinear rows are free and satisfied at the start.
    Dvec gobj = ctx.ws.dvec(ctx.part.gobj);
    for (int j = 1; j <= P.nnobj; ++j) gobj(j) = 0.0;
    const double pen0 = N.penalty > 0.0 ? N.penalty : 1.0;
    st.penmax = 10.0 * pen0;
    st.penmin = 1e-4 * pen0;
    st.prbest = st.dubest = st.pdbest = 1e20;
    st.nconv = st.nunchanged = 0;
    st.headdue = true;
    for (int i = 1; i <= nncon; ++i) V.fcon(i) = V.fk(i) = 0.0;
    for (int j = 1; j <= P.nb; ++j) V.xk(j) = P.xn(j);
    augl(ctx, P, kAuglSave);
    st.saved = true;
    augl(ctx, P, kAuglStart);
    // r = A x + s over the nonlinear rows.
    for (int i = 1; i <= nncon; ++i) V.rhs(i) = P.xn(P.n + i);
    for (int j = 1; j <= P.n; ++j) {
      for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
        if (P.ha(k) <= nncon) V.rhs(P.ha(k)) += P.a(k) * P.xn(j);
      }
    }
    L.nncon = 0;
    return r;
  }

  // The subproblem's multipliers with their signs.
  Dvec lamsub = V.work.head(nncon);
  for (int i = 1; i <= nncon; ++i) lamsub(i) = P.pi(i);
  m8chkm(nncon, 1.0 / mc.eps080, P.hs.sub(P.n + 1, nncon), lamsub);

  if (S.nmaj == 2) {
    // The caller's bounds back before they are saved again.
    augl(ctx, P, kAuglRestore);
    augl(ctx, P, kAuglProject);
    for (int i = 1; i <= nncon; ++i) V.lambda(i) = lamsub(i);
    int ierr = evaluate_point(ctx, P);
    if (ierr != 0) return fail(ctx, ierr);
    if (rescale(ctx, P)) {
      ierr = evaluate_point(ctx, P);
      if (ierr != 0) return fail(ctx, ierr);
    }
    for (int j = 1; j <= P.nb; ++j) V.xk(j) = P.xn(j);
    augl(ctx, P, kAuglSave);
    measure(ctx, P);
    st.step = 0.0;
    st.dxmax = st.dxnorm = st.dlmax = st.dlnorm = 0.0;
    st.prbest = st.prinf;
    st.dubest = st.duinf;
    st.pdbest = st.prinf + st.duinf;
  } else {
    augl(ctx, P, kAuglRestore);
    augl(ctx, P, kAuglProject);
    double xkmax = 0.0;
    st.dxmax = 0.0;
    for (int j = 1; j <= nnjac; ++j) {
      st.dxmax = std::max(st.dxmax, std::fabs(P.xn(j) - V.xk(j)));
      xkmax = std::max(xkmax, std::fabs(V.xk(j)));
    }
    st.dxnorm = st.dxmax / (1.0 + xkmax);
    const double lmax = maxabs(V.lambda, nncon);
    st.dlmax = 0.0;
    for (int i = 1; i <= nncon; ++i) st.dlmax = std::max(st.dlmax, std::fabs(lamsub(i) - V.lambda(i)));
    st.dlnorm = lmax <= mc.eps050 ? 1.0 : st.dlmax / (1.0 + lmax);
    const int ierr = m8srch(ctx, P);
    if (ierr != 0) return fail(ctx, ierr);
    st.prbest = std::min(st.prbest, st.prinf);
    st.dubest = std::min(st.dubest, st.duinf);
    st.newbest = st.prinf + st.duinf < st.pdbest;
    if (st.newbest) st.pdbest = st.prinf + st.duinf;
    if (st.dxnorm <= mc.eps080) {
      ctx.both(" Jacobian variables have not changed");
      st.nunchanged += 1;
    } else {
      st.nunchanged = 0;
    }
  }

  // The linearization at the accepted point.
  augl(ctx, P, kAuglLoad);
  for (int i = 1; i <= nncon; ++i) V.fk(i) = V.fcon(i);
  double xmax = 0.0;
  for (int j = 1; j <= P.n; ++j) xmax = std::max(xmax, std::fabs(P.xn(j)));
  st.prinfn = st.prinf / (1.0 + xmax);
  st.duinfn = st.duinf / (1.0 + maxabs(V.lambda, nncon));
  N.prinfn_last = st.prinfn;

  const int stop = major_log(ctx, P, ns, last);

  // r = Jk xk - fk.
  for (int i = 1; i <= nncon; ++i) V.rhs(i) = -V.fk(i);
  for (int j = 1; j <= nnjac; ++j) {
    for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
      if (P.ha(k) <= nncon) V.rhs(P.ha(k)) += P.a(k) * V.xk(j);
    }
  }
  L.nncon = nncon;
  L.rhoeff = m8rhoeff(N.penalty, nncon);

  bool converged = false;
  if (last == SubproblemEnd::Optimal || last == SubproblemEnd::MinorLimit) {
    const double tenth = static_cast<double>(0.1f);
    const bool near = st.prinfn <= tenth && st.duinfn <= tenth;
    const bool within = p.radius >= st.prinfn && p.radius >= st.dlnorm && p.radius >= st.dxnorm;
    const bool tight = st.prinfn <= mc.eps050 && st.duinfn <= mc.eps050;
    if (st.prinfn <= p.rowtol && st.duinfn <= p.opttol) {
      st.nconv += 1;
    } else {
      st.nconv = 0;
    }
    converged = st.nconv >= 2 || (st.nconv >= 1 && tight);
    if (p.completion == 0 && near && st.optsub) {
      p.completion = 1;
      ctx.both(" Completion Full    now requested");
    }
    if (st.optsub && within && N.penalty > st.penmin && st.step == 1.0 && (st.fullstep_ok || st.newbest)) {
      N.penalty = std::max(st.penmin, N.penalty / 10.0);
    }
    if (S.nmaj >= 5 && st.dlnorm >= 1e5 && N.penalty < st.penmax) {
      const double old = N.penalty;
      if (N.penalty <= 0.0) N.penalty = 1.0;
      N.penalty = std::min(st.penmax, 2.0 * N.penalty);
      if (N.penalty > old) ctx.both(strf(" Penalty parameter increased to%12.2E", N.penalty));
    }
    L.rhoeff = m8rhoeff(N.penalty, nncon);
  } else {
    st.nconv = 0;
  }
  st.optsub = false;

  r.unchanged = st.nunchanged;
  if (stop == 1 || stop == 2) {
    r.next = MajorNext::Stop;
    r.inform = stop == 1 ? TV_TIME_LIMIT : TV_INTERRUPT;
  } else if (converged) {
    r.next = MajorNext::Converged;
  }
  return r;
}

Resume nl_unbounded(Context& ctx, Problem& P) {
  return augl(ctx, P, kAuglPenalty) == 0 ? Resume::Iterate : Resume::GiveUp;
}

Resume nl_infeasible(Context& ctx, Problem& P, int ns) {
  if (augl(ctx, P, kAuglPerturb) != 0) return Resume::GiveUp;
  refresh_basis_bounds(ctx, P, ns);
  return Resume::Iterate;
}

int nl_auglag_counter(Context& ctx) { return ctx.nl.al.nrhsp; }

void nl_finish(Context& ctx, Problem& P) {
  // The caller's bounds of the nonlinear rows, whatever the exit.
  if (ctx.nl.al.saved) augl(ctx, P, kAuglRestore);
  ctx.nl.lin.nncon = 0;
}

void nl_row_rhs(Context& ctx, Problem& P, Dvec r) {
  const Dvec rhs = ctx.nl.av.rhs;
  for (int i = 1; i <= P.nncon && i <= rhs.size(); ++i) r(i) = rhs(i);
}

void nl_caller_bounds(Context& ctx, Problem& P) {
  CDvec keep = ctx.ws.dvec(ctx.part.conbnd);
  if (keep.size() < 2 * P.nncon || !ctx.nl.al.saved) return;
  for (int i = 1; i <= P.nncon; ++i) {
    P.bl(P.n + i) = keep(i);
    P.bu(P.n + i) = keep(P.nncon + i);
  }
}

bool nl_constraint_violation(Context& ctx, Problem& P, double& cviol, int& icviol) {
  NonlinearState& N = ctx.nl;
  AuglViews& V = N.av;
  Evaluator& ev = N.ev;
  nl_caller_bounds(ctx, P);
  if (P.nncon <= 0 || V.fcon.size() < P.nncon || !ev.funcon) return false;
  detail::ScalingOff unscaled(ev);
  const int ierr0 = ev.ierr;
  ev.ierr = 0;
  m6fcon(ev, 0, P.nncon, P.nnjac, N.lin.njac, P.ha, P.ka, P.xn, V.fcon, V.gcon2);
  const bool ok = ev.ierr == 0;
  ev.ierr = ierr0;
  if (!ok) return false;
  cviol = m8cinf(P.n, P.nncon, P.nnjac, P.a, P.ha, P.ka, V.fcon, P.xn, P.bl, P.bu, V.dl, icviol);
  // The nonlinear rows' slacks take their true values.
  for (int i = 1; i <= P.nncon; ++i) P.xn(P.n + i) = V.dl(i);
  return true;
}

}  // namespace tv
