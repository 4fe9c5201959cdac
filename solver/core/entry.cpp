// The subroutine entry: checks the problem, resolves the parameters, counts
// the Jacobian, partitions the workspace and runs the driver.
#include "core/entry.h"

#include <climits>
#include <cmath>
#include <cstring>
#include <string>

#include "core/context.h"
#include "core/exit_text.h"
#include "core/kernels.h"
#include "core/page.h"
#include "core/run_state.h"
#include "core/setup.h"
#include "core/timers.h"
#include "core/tvsolv.h"
#include "files/save_state.h"
#include "options/options.h"
#include "options/params.h"

namespace tv {

namespace {

// Refuse problem data that would make the solver read outside the arrays or
// compute with NaN.  Prints what is wrong; returns false when invalid.
bool check_problem(Context& ctx, const Problem& P, const double* z, int nwork) {
  std::string why;
  const long long nb = static_cast<long long>(P.n) + P.m;
  if (P.m < 0 || P.n < 0 || P.ne < 0) {
    why = strf("negative dimension: m = %d, n = %d, ne = %d", P.m, P.n, P.ne);
  } else if (P.nb != nb) {
    why = strf("nb = %d is not n + m = %lld", P.nb, nb);
  } else if (P.nnames != 1 && P.nnames != P.nb) {
    why = strf("nnames = %d is neither 1 nor nb = %d", P.nnames, P.nb);
  } else if (P.nncon < 0 || P.nncon > P.m || P.nnobj < 0 || P.nnobj > P.n || P.nnjac < 0 ||
             P.nnjac > P.n) {
    why = strf("nonlinear dimensions out of range: nncon = %d, nnobj = %d, nnjac = %d", P.nncon,
               P.nnobj, P.nnjac);
  } else if (P.objrow < 0 || P.objrow > P.m) {
    why = strf("objrow = %d is not in 0..m", P.objrow);
  } else if (z == nullptr || nwork < 0) {
    why = "no workspace";
  }
  if (why.empty()) {
    if (P.ka(1) != 1) why = strf("ka(1) = %d, expected 1", P.ka(1));
    for (int j = 1; why.empty() && j <= P.n; ++j) {
      if (P.ka(j + 1) < P.ka(j)) why = strf("ka(%d) = %d is less than ka(%d) = %d", j + 1, P.ka(j + 1), j, P.ka(j));
    }
    if (why.empty() && P.ka(P.n + 1) != P.ne + 1)
      why = strf("ka(n+1) = %d, expected ne + 1 = %d", P.ka(P.n + 1), P.ne + 1);
  }
  for (int k = 1; why.empty() && k <= P.ne; ++k) {
    if (P.ha(k) < 1 || P.ha(k) > P.m) {
      why = strf("row index ha(%d) = %d is not in 1..m", k, P.ha(k));
    } else if (!std::isfinite(P.a(k))) {
      why = strf("a(%d) is not a finite number", k);
    }
  }
  for (int j = 1; why.empty() && j <= P.nb; ++j) {
    if (!std::isfinite(P.bl(j)) || !std::isfinite(P.bu(j))) {
      why = strf("bound of variable %d is not a finite number (use +-1e20 for infinite bounds)", j);
    } else if (!std::isfinite(P.xn(j))) {
      why = strf("xn(%d) is not a finite number", j);
    }
  }
  if (why.empty()) return true;
  ctx.both(" XXX  Invalid problem data: " + why);
  ctx.both(exit_text(TV_BAD_DATA));
  return false;
}

enum class Variant { Nose, Noss };

void entry(Context& ctx, Variant variant, std::string_view start, Problem& P, const char* names,
           int& ns, double* z, int nwork, int loglev, tv_logfun logfun, EntryResult& r) {
  r = EntryResult();
  m1time(ctx, 0, 0);

  if (!check_problem(ctx, P, z, nwork)) {
    r.inform = TV_BAD_DATA;
    return;
  }

  // Settings, defaults and the Jacobian count; a Jacobian that is not full
  // is held sparse.
  Params& p = ctx.par;
  const int njac = solve_settings(ctx, P);
  // A row count without Jacobian columns is no nonlinear constraint.
  P.nncon = p.nncon;
  P.nnjac = p.nnjac;
  if (variant == Variant::Nose) {
    if (static_cast<long long>(p.nncon) * p.nnjac != njac) p.jacform = 2;
  } else if (p.nncon > 0 && p.nnjac > 0 && p.nncon != njac / p.nnjac) {
    p.jacform = 2;
  }

  const long long need = partition_workspace(ctx, nwork);
  if (need > INT_MAX) {
    r.minwork = INT_MAX;
    r.inform = TV_WORKSPACE;
    ctx.both(exit_text(TV_WORKSPACE, kExitWorkspace64, need));
    return;
  }
  r.minwork = static_cast<int>(need);
  if (nwork < r.minwork) {
    r.inform = TV_WORKSPACE;
    ctx.both(exit_text(TV_WORKSPACE, kExitUsual, nwork, r.minwork));
    return;
  }
  bind_workspace(ctx, z, nwork);

  m3dflt(ctx, 3);
  // The problem name always comes from the caller; the objective, rhs,
  // ranges and bounds names only when the caller gives them, so that names
  // set by SPECS phrases survive a caller that passes blanks.
  std::memcpy(p.names[0], names, 8);
  for (int k = 1; k < 5; ++k) {
    const char* nm = names + 8 * k;
    bool blank = true;
    for (int c = 0; c < 8; ++c) blank = blank && nm[c] == ' ';
    if (!blank) std::memcpy(p.names[k], nm, 8);
  }

  ctx.loglev = loglev;
  ctx.logfun = logfun;
  int inform = 0;
  tvsolv(ctx, start, P, ns, inform, r.nmajor, r.nitns);
  r.inform = inform;
  r.ninf = ctx.run.ninf;
  r.sinf = ctx.run.sinf;
  r.obj = ctx.run.obj;
  // ncstat stays 0 unless the constraint functions were evaluated at the end.
  if (variant == Variant::Nose && P.nncon > 0 && ctx.sav.cviol_set) {
    r.cviol = ctx.sav.cviol;
    r.cviolr = ctx.sav.cviolr;
    r.ncstat = r.cviolr <= p.rowtol ? 1 : 2;
  }
  m1time(ctx, 0, 2);
}

const char kBlankNames[41] = "                                        ";

}  // namespace

void tvstart(Context& ctx, int iprint, int isumm, int ispecs) {
  ctx.par.prtfile = iprint;
  ctx.par.sumfile = isumm;
  ctx.par.specfile = ispecs;
  ctx.par.mc = kMachine;
  // Parameters first: a title that cannot be printed (no memory) must not
  // leave the settings of the previous run in force.
  m3dflt(ctx, 1);
  print_title_box(ctx);
}

void tvnose(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
            int nwork, int loglev, tv_logfun logfun, EntryResult& r) {
  entry(ctx, Variant::Nose, start, P, names ? names : kBlankNames, ns, z, nwork, loglev, logfun, r);
}

void tvsetfun(Context& ctx, FunObj funobj, FunCon funcon) {
  ctx.funobj = std::move(funobj);
  ctx.funcon = std::move(funcon);
}

void tvnoss(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
            int nwork, EntryResult& r) {
  entry(ctx, Variant::Noss, start, P, names ? names : kBlankNames, ns, z, nwork, 0, nullptr, r);
}

void tarvo_entry(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns,
                 double* z, int nwork, EntryResult& r) {
  const bool ok = P.m >= 0 && P.n >= 0 && P.nb == P.n + P.m;
  if (ok) m2swap(1, P.m, P.n, P.bl, P.bu, P.hs, P.xn, P.rc);
  tvnoss(ctx, start, P, names, ns, z, nwork, r);
  if (ok) m2swap(2, P.m, P.n, P.bl, P.bu, P.hs, P.xn, P.rc);
}

}  // namespace tv
