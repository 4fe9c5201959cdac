// Line search along a descent direction p.
//
// The search works on the shifted function
//     psi(alfa) = F(x + alfa p) - F(x) - mu alfa g'p,   mu = 1e-4,
// whose slope at 0 is g0 = (1 - mu) g'p; psi(alfa) <= 0 is the sufficient
// decrease condition.  The step routines srchc (cubic, psi and psi') and
// srchq (parabolic, psi only) do no evaluation themselves: they are called
// in reverse communication,
//     SearchState st;            // st.first = true
//     srchc(st, c, alfmax, 0, 0, alfa, ...);
//     while (!st.done) { ftry = psi(alfa); gtry = psi'(alfa);
//                        srchc(st, c, alfmax, ftry, gtry, alfa, ...); }
//     // st.inform says why; st.alfbst is the step.
// All the state of one search lives in the caller's SearchState, so
// searches of different solves share nothing.
#pragma once

#include <functional>

#include "core/array.h"

namespace tv {

class Units;

constexpr double kSearchMu = 1.0e-4;  // sufficient-decrease parameter mu

// Constants of one search (fixed while it runs, apart from tolabs).
struct SearchConsts {
  int maxf = 10;        // evaluations allowed: 10 cubic, 15 parabolic
  double gtp = 0.0;     // g'p at the start
  double g0 = 0.0;      // psi'(0) = (1 - mu) g'p
  double targtg = 0.0;  // bound on |psi'| at a minimizer: (mu - eta) g'p
  double epsaf = 0.0;   // absolute precision of F
  double tolrel = 0.0;  // relative step tolerance
  double tolabs = 0.0;  // absolute step tolerance; a search may divide it by 10
  double tolsml = 0.0;  // smallest meaningful step
  double alfmin = 0.0;  // (parabolic) steps below this are not worth taking
};

// What the constants are computed from.
struct SearchSetup {
  bool gradients = true;  // every derivative known: cubic search
  double f = 0.0;         // F(x)
  double gtp = 0.0;       // g'p
  double alfmax = 0.0;    // largest step
  double xnorm = 0.0;     // norm of x and of p as the iteration keeps them
  double pnorm = 0.0;
  CDvec x, p;             // the moving variables (for tolsml)
  double fprec = 0.0;     // "Function precision"
  double eta = 0.1;       // "Linesearch tolerance"
  bool fwddif = false;    // forward differences in use with estimated entries
  double difint = 0.0;    // "Difference interval"
  double eps = 0.0, eps080 = 0.0;
};

SearchConsts m6scon(const SearchSetup& s);

// State of one search.  Set first = true to start one; the routine sets it
// false.  Results: done, inform (below), numf (evaluations used), imprvd
// (the last trial is the best point), alfbst with fbest = psi(alfbst) and,
// for srchc, gbest = psi'(alfbst).
struct SearchState {
  bool first = true, done = false, imprvd = false;
  int inform = 0, numf = 0;
  double alfbst = 0.0, fbest = 0.0, gbest = 0.0;

  // Kept between the calls of one search.
  bool braktd = false;  // an interval containing a minimizer is known
  bool crampd = false;  // alfmax <= tolabs
  bool extrap = false;  // the next default step extrapolates
  bool moved = false;   // a step alfbst > 0 has been accepted
  bool wset = false;    // a second point w is known
  bool vset = false;    // (parabolic) a third point v is known
  int nsamea = 0, nsameb = 0;  // calls since a or b last changed
  double a = 0.0, b = 0.0;     // interval ends relative to alfbst, a <= 0 <= b
  double fa = 0.0;             // (parabolic) psi at a
  double factor = 5.0;         // extrapolation factor
  double tolmax = 0.0;
  double xtry = 0.0;           // last trial relative to alfbst
  double xw = 0.0, fw = 0.0, gw = 0.0;  // point w relative to alfbst
  double xv = 0.0, fv = 0.0;            // point v relative to alfbst
};

// inform on done:
//   1 found, alfbst < alfmax       2 found, alfbst = alfmax
//   3 better point, tests not met  4 no better point, alfmax <= tolabs
//   5 (parabolic) no better point, the interval lies below alfmin
//   6 no minimizer                 7 too many functions
//   8 at the first call: alfmax <= tolsml or g0 >= 0 (no evaluation)
// -1 is left to the caller (a callback asked to stop).
void srchc(SearchState& st, SearchConsts& c, double alfmax, double ftry, double gtry, double& alfa,
           bool debug, Units& units, int iprint);
void srchq(SearchState& st, SearchConsts& c, double alfmax, double ftry, double& alfa, bool debug,
           Units& units, int iprint);

// Text of a search exit ("" for the successful exits and unknown codes).
const char* srchmsg(int inform);

// One complete search on phi(alfa) = F(x + alfa p), for callers that can
// evaluate the function along the line directly.  phi(alfa, f, g) sets f
// (and g = phi'(alfa) for the cubic search) and returns 0, or -1 when phi is
// undefined at alfa, or anything else to stop.  An undefined trial starts
// the search again with a tenth of the failing step as both the new alfmax
// and the first trial (the search ends with inform 8 once alfmax <=
// tolsml).  At the end phi is evaluated once more at the accepted step
// unless the cubic search's last trial was already that point.
struct LineResult {
  int inform = 0;       // as above, or -1 when phi asked to stop
  double alfa = 0.0;    // accepted step (0 with inform 8 or -1)
  double alfmax = 0.0;  // alfmax in force at the end
  double f = 0.0;       // phi(alfa)
  double g = 0.0;       // phi'(alfa) (cubic search)
  int nfun = 0;         // calls of phi
  int restarts = 0;     // restarts after an undefined trial
};
using LineFn = std::function<int(double alfa, double& f, double& g)>;
LineResult srch1d(bool cubic, SearchConsts c, double f0, double alfmax, double alfa,
                  const LineFn& phi, bool debug, Units& units, int iprint);

}  // namespace tv
