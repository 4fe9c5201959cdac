// Bound perturbation against degeneracy in phase 2 of a linear program.
//
// On network-like problems most basic variables sit on a bound, so most
// steps have length zero (or EXPAND's minimum step) and the ratio test's
// ties are broken by the pivot size alone: the method can walk a long way
// along degenerate vertices.  While perturbation is in force, every basic
// variable's bounds as seen by the cost former and the ratio test (blbs,
// bubs) are widened by a small random amount, different for every variable
// and every bound: a variable on its true bound is then strictly inside its
// working bounds, steps have positive length and ties are broken at random.
// A variable that leaves the basis does so on its working bound, slightly
// outside the true one, and stays there while nonbasic (EXPAND's resets use
// the working bounds too).
//
// It is switched on when the phase-2 steps turn out degenerate (at least a
// fifth of a window of iterations), once per call.  It is removed before an
// optimal, unbounded or final exit: the nonbasic variables go back to their
// true bounds, the basic variables are recomputed, and the iterations go on
// (phase 1 first when the basics now violate a bound) until the unperturbed
// problem is optimal.  The amounts follow from a hash of the variable's
// index, so nothing is stored and a run is reproducible.
#include <cmath>
#include <cstdint>

#include "core/context.h"
#include "lu/basis_state.h"
#include "options/params.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

namespace tv {

namespace {

// Window of the degeneracy test and the share of degenerate steps that
// switches perturbation on.
constexpr int kWindow = 100;
constexpr int kDegenerateInWindow = 20;
// Widening of a bound b: (1 + |b|) feastol times a number in [1, kSpread).
constexpr double kSpread = 10.0;

double unit_hash(uint64_t x) {
  x += 0x9E3779B97F4A7C15ULL;
  x = (x ^ (x >> 30)) * 0xBF58476D1CE4E5B9ULL;
  x = (x ^ (x >> 27)) * 0x94D049BB133111EBULL;
  x ^= x >> 31;
  return double(x >> 11) * (1.0 / 9007199254740992.0);
}

}  // namespace

double working_bound(const Context& ctx, const Problem& P, int j, bool upper) {
  const double b = upper ? P.bu(j) : P.bl(j);
  const double inf = ctx.par.mc.infbnd;
  if (!ctx.spx.perturbed || std::fabs(b) >= inf || P.bl(j) == P.bu(j) || j == ctx.spx.jobj) return b;
  const double d = ctx.par.feastol * (1.0 + std::fabs(b)) * (1.0 + (kSpread - 1.0) * unit_hash(2ULL * j + (upper ? 1 : 0)));
  return upper ? b + d : b - d;
}

void perturb_basic_bounds(Context& ctx, Problem& P, int ns) {
  if (!ctx.spx.perturbed) return;
  CIvec kbs = ctx.ws.ivec(ctx.part.kbs);
  Dvec blbs = ctx.ws.dvec(ctx.part.blbs), bubs = ctx.ws.dvec(ctx.part.bubs);
  const double inf = ctx.par.mc.infbnd;
  for (int k = 1; k <= P.m + ns; ++k) {
    const int j = kbs(k);
    if (j <= 0) continue;
    // A bound made infinite on purpose (crash of the E rows) stays so.
    if (blbs(k) > -inf) blbs(k) = working_bound(ctx, P, j, false);
    if (bubs(k) < inf) bubs(k) = working_bound(ctx, P, j, true);
  }
}

bool perturb_due(Context& ctx, Problem& P, int ns) {
  SimplexState& S = ctx.spx;
  if (S.perturbed || S.nperturb > 0 || S.ninf > 0 || P.nnl() > 0 || ns > 0 || S.dualtol > 0.0) return false;
  if (S.itn - S.pwinitn < kWindow) return false;
  const bool due = S.ndegen - S.pwindegen >= kDegenerateInWindow;
  S.pwinitn = S.itn;
  S.pwindegen = S.ndegen;
  if (!due) return false;
  S.perturbed = true;
  S.nperturb += 1;
  perturb_basic_bounds(ctx, P, ns);
  ctx.both(strf(" Itn%9d -- bounds perturbed against degeneracy", S.itn));
  return true;
}

int unperturb_bounds(Context& ctx, Problem& P, int ns) {
  SimplexState& S = ctx.spx;
  if (!S.perturbed) return 0;
  S.perturbed = false;
  // True bounds for the basic variables; the nonbasic ones back on them.
  CIvec kbs = ctx.ws.ivec(ctx.part.kbs);
  Dvec blbs = ctx.ws.dvec(ctx.part.blbs), bubs = ctx.ws.dvec(ctx.part.bubs);
  const double inf = ctx.par.mc.infbnd;
  for (int k = 1; k <= P.m + ns; ++k) {
    const int j = kbs(k);
    if (j <= 0) continue;
    if (blbs(k) > -inf) blbs(k) = P.bl(j);
    if (bubs(k) < inf) bubs(k) = P.bu(j);
  }
  int moved = 0;
  for (int j = 1; j <= P.nb; ++j) {
    const int h = P.hs(j);
    double b;
    if (h == kHsLower) {
      b = P.bl(j);
    } else if (h == kHsUpper || h == kHsFixed) {
      b = P.bu(j);
    } else {
      continue;
    }
    if (P.xn(j) != b) {
      P.xn(j) = b;
      ++moved;
    }
  }
  if (m5setx(ctx, kSetxRecompute, P, ns) != 0) ctx.bas.demand = kDemandRowCheck;
  S.ninf = 1;  // the cost former recounts
  ctx.both(strf(" Itn%9d -- bound perturbation removed,%8d  nonbasics set on bound, basics recomputed", S.itn, moved));
  return 1;
}

}  // namespace tv
