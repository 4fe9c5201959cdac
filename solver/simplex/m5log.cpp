// Iteration log (m5log) and the final statistics.
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/page.h"
#include "core/run_state.h"
#include "lu/basis_state.h"
#include "nonlinear/nonlinear_state.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

bool linear_problem(const Problem& P, int ns) { return P.nnl() == 0 && ns == 0; }

// The objective shown by the log.
double log_objective(const Context& ctx, const Problem& P) {
  const SimplexState& S = ctx.spx;
  double obj = P.objconst + ctx.nl.fobj;
  if (S.jobj > 0) obj -= P.xn(S.jobj) * ctx.run.objscale;
  return obj;
}

}  // namespace

int m5log(Context& ctx, Problem& P, int ns) {
  SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  const bool first = S.nmin == 1;
  const int itn = S.itn % 100000000;
  const bool lincon = P.nncon == 0;
  const bool lin = linear_problem(P, ns);
  const double obj = log_objective(ctx, P);
  const int lu = ctx.bas.lenl + ctx.bas.lenu;
  const NonlinearState& N = ctx.nl;
  const int nobj = N.ev.obj.calls, ncon = N.ev.con.calls;
  const double condh = N.condh;
  auto tf = [](bool b) { return b ? 'T' : 'F'; };
  const bool logdue = first || (p.logfreq > 0 && S.itn % p.logfreq == 0);
  const bool sumdue = first || (p.sumfreq > 0 && S.itn % p.sumfreq == 0);

  // Print file.
  if (p.lprful > 0 && logdue) {
    if (S.prtlines >= 40 || S.headdue) {
      ctx.prt("");
      std::string h = lin ? "      Itn ph pp     dj     +sbs   -sbs    -bs  step    pivot     ninf  sinf,objective        L        U ncp"
                          : "      Itn ph pp     rg     +sbs   -sbs    -bs  step    pivot     ninf  sinf,objective        L        U ncp";
      if (!lin) h += "   nobj   ncon    nsb Hmod cond(H) conv";
      ctx.prt(h);
      S.prtlines = 0;
      S.headdue = false;
    }
    std::string line = strf("%9d %c%1d%3d%9.1E%7d%7d%7d%8.1E%9.1E%7d%16.8E%9d%9d%4d", itn, S.logflag,
                            S.state, S.kpq, S.logdj, S.jsbin, S.jsbout, S.jbsout, S.step, S.pivot,
                            S.ninf, S.ninf > 0 ? S.sinf : obj, ctx.bas.lenl, ctx.bas.lenu, ctx.bas.ncp);
    if (ns > 0) {
      line += strf("%7d%7d%7d%3d%2d%8.1E %c%c%c%c", nobj, ncon, ns, N.hmod1, N.hmod2, condh, tf(N.xconv),
                   tf(N.fconv), tf(N.gconv), tf(N.sconv));
    }
    ctx.prt(line);
    S.prtlines += 1;
    if (ns > 0 && (N.hmod1 == 2 || N.hmod2 == 2)) {
      ctx.prt(std::string(17, ' ') + strf("%9.1E%5d%5d%9.1E", N.modstep, N.modnr, N.modns, N.moddmin));
    }
  } else if (p.lprbrf > 0 && lincon && logdue) {
    if (S.prtlines >= 40 || S.headdue) {
      ctx.prt("");
      ctx.prt(lin ? "      Itn     dj     ninf   sinf       objective       LU"
                  : "      Itn     rg     ninf   sinf       objective       LU   nobj    nsb  cond(H)");
      S.prtlines = 0;
      S.headdue = false;
    }
    std::string line = strf("%9d%9.1E%7d%10.3E%16.8E%9d", itn, S.logdj, S.ninf, S.sinf, obj, lu);
    if (ns > 0) line += strf("%7d%7d%8.1E", nobj, ns, condh);
    ctx.prt(line);
    S.prtlines += 1;
  }

  // Summary file.
  if (p.lsmful > 0 && sumdue) {
    if (first || S.sumlines >= 10) {
      ctx.sum("");
      ctx.sum(lin ? "      Itn       dj   ninf      sinf       objective"
                  : "      Itn       rg   ninf      sinf       objective   nobj   ncon    nsb");
      S.sumlines = 0;
    }
    std::string line = strf("%9d%9.1E%7d%10.3E%16.8E", itn, S.logdj, S.ninf, S.sinf, obj);
    if (ns > 0) line += strf("%7d%7d%7d", nobj, ncon, ns);
    ctx.sum(line);
    S.sumlines += 1;
  } else if (p.lsmbrf > 0 && lincon && sumdue) {
    if (first || S.sumlines >= 10) {
      ctx.sum("");
      ctx.sum(lin ? "      Itn     dj     ninf   sinf       objective"
                  : "      Itn     rg     ninf   sinf       objective      nobj    nsb");
      S.sumlines = 0;
    }
    std::string line = strf("%9d%9.1E%7d%10.3E%16.8E", itn, S.logdj, S.ninf, S.sinf, obj);
    if (ns > 0) line += strf("%7d%7d", nobj, ns);
    ctx.sum(line);
    S.sumlines += 1;
  }

  if (p.dbglevel == 100) {
    Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
    ctx.prt(" BS and SB values...");
    std::string line;
    const int nbs1 = P.m + ns;
    for (int k = 1; k <= nbs1; ++k) {
      line += strf("%8d%17.8G", kbs(k), P.xn(kbs(k)));
      if (k % 5 == 0 || k == nbs1) {
        ctx.prt(line);
        line.clear();
      }
    }
  }

  int stop = 0;
  if (ctx.loglev > 0 && ctx.logfun != nullptr) {
    int kind = 1, major = S.nmaj - 1, minor = S.itn, ninf = S.ninf, nsb = ns, nc = ncon, bsswp = 0;
    double sinf = S.sinf, step = S.step, objective = obj, feasible = 0.0, optimal = 0.0, penalty = N.penalty;
    char flag = S.logflag;
    ctx.logfun(&kind, &stop, &major, &minor, &ninf, &sinf, &flag, &step, &objective, &feasible,
               &optimal, &nsb, &nc, &penalty, &bsswp, 1);
  }
  return stop;
}

void final_statistics(Context& ctx, Problem& P, int ns) {
  const SimplexState& S = ctx.spx;
  const Params& p = ctx.par;
  const int nnl = P.nnl();
  std::vector<std::string> L;
  L.push_back("");
  L.push_back(" Problem name" + std::string(17, ' ') + std::string(p.names[0], 8));
  L.push_back(strf(" No. of iterations%20d   Objective value%22.10E", S.itn, S.obj));
  if (S.ninf > 0) L.push_back(strf(" No. of infeasibilities%15d   Sum of infeas%24.10E", S.ninf, S.sinf));
  if (nnl > 0) {
    L.push_back(strf(" No. of major iterations%14d   Linear objective%21.10E", S.nmaj, P.objconst + S.objlin));
    const Evaluator& ev = ctx.nl.ev;
    L.push_back(strf(" Penalty parameter%20.6f   Nonlinear objective%18.10E", ctx.nl.penalty, ctx.nl.fobj));
    L.push_back(strf(" No. of calls to funobj%15d   No. of calls to funcon%15d", ev.obj.calls, ev.con.calls));
    // The level in force: lowered when funobj does not set every gradient.
    if (ev.derlevel < 3) {
      L.push_back(strf(" Calls with mode=2 (f, known g)%7d%7d", ev.obj.mode2, ev.con.mode2));
      L.push_back(strf(" Calls for forward differencing%7d%7d", ev.obj.forward, ev.con.forward));
      L.push_back(strf(" Calls for central differencing%7d%7d", ev.obj.central, ev.con.central));
    }
  }
  if (nnl > 0 || ns > 0) {
    L.push_back(strf(" No. of superbasics%19d   No. of basic nonlinears%14d", ns, S.nbasnl));
  }
  L.push_back(strf(" No. of degenerate steps%14d   Percentage%27.2f", S.ndegen, S.degpct));
  for (const std::string& s : L) ctx.prt(s);
  for (const std::string& s : L) ctx.sum(s);
}

}  // namespace tv
