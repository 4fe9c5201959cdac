// Crash: a start basis that is nearly triangular.
//
// Slacks are taken for inequality rows whose activity lies well inside the
// row bounds; then structural columns are chosen in five sweeps of decreasing
// preference (free columns, previously basic columns, columns with one or two
// significant entries, anything), each pivoting in a row not yet covered;
// rows left over get their slacks.
//
// Row states: 1 the row may receive a pivot, 2 the row has a significant
// entry in a column already chosen (a pivot there spoils triangularity, so it
// is used only as a last resort), 3 the row is covered.
#include "lu/m2crsh.h"

#include <algorithm>
#include <cmath>

#include "core/context.h"
#include "core/kernels.h"
#include "options/params.h"

namespace tv {

namespace {

constexpr int kFree = 1, kSpoilt = 2, kCovered = 3;

// Columns whose bounds are at least this wide both ways count as free.
constexpr double kFreeColBound = 1.0E+4;
// Columns whose entries are all this small are never chosen.
constexpr double kTinyColumn = 0.001;
// A slack this close to a bound is put on the bound instead of being basic.
constexpr double kNearBound = 0.25;

// Put the slack of row i on its nearer bound when it lies within kNearBound
// of one; returns true when it did.
bool onto_near_bound(Problem& P, int i) {
  const int j = P.n + i;
  const double d1 = P.xn(j) - P.bl(j);
  const double d2 = P.bu(j) - P.xn(j);
  if (std::min(d1, d2) > kNearBound) return false;
  if (d1 <= d2) {
    P.xn(j) = P.bl(j);
    P.hs(j) = kHsLower;
  } else {
    P.xn(j) = P.bu(j);
    P.hs(j) = kHsUpper;
  }
  return true;
}

}  // namespace

CrashStats m2crsh(Context& ctx, int crashuse, Problem& P, CIvec rowtype, Ivec rowstate) {
  CrashStats st;
  const int m = P.m, n = P.n, nb = P.nb, nncon = P.nncon;
  if (crashuse < 0 || crashuse > kCrashNonlinear) return st;
  Dvec xn = P.xn;
  Ivec hs = P.hs;
  const double tolx = ctx.par.mc.eps080;
  double crashtol = ctx.par.crashtol;
  if (!(crashtol >= 0.0 && crashtol < 1.0)) crashtol = 0.1;

  if (crashuse <= kCrashLinearE) {
    ctx.prt("");
    ctx.prt("");
    ctx.prt(strf(" Crash option%3d", ctx.par.crashopt));
    if (crashuse == kCrashLinearE && nncon < m) {
      ctx.prt("");
      ctx.prt(" Crash on linear E  rows:");
    }
  } else if (crashuse == kCrashLinearLG) {
    ctx.prt("");
    ctx.prt(" Crash on linear LG rows:");
  } else {
    ctx.prt("");
    ctx.prt(" Crash on nonlinear rows:");
  }

  // Slack values from the structurals: s = -A x.  In mode 4 the nonlinear
  // rows are left alone: their slacks include the constraint functions, which
  // A x alone does not give, and the crash does not touch those rows.
  if (crashuse <= kCrashLinearE) {
    Dvec s = xn.sub(n + 1, m);
    dload(m, 0.0, s, 1);
    m2apr5(5, n, nncon, P.nnjac, tolx, P.a, P.ha, P.ka, xn, s);
  } else if (crashuse == kCrashLinearLG) {
    if (nncon >= m) return st;
    for (int i = nncon + 1; i <= m; ++i) xn(n + i) = 0.0;
    for (int j = 1; j <= n; ++j) {
      const double xj = xn(j);
      if (std::fabs(xj) <= tolx) continue;
      for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
        const int i = P.ha(k);
        if (i > nncon) xn(n + i) -= xj * P.a(k);
      }
    }
  }

  if (crashuse == kCrashNone) {
    for (int j = 1; j <= n; ++j) hs(j) = kHsLower;
    for (int j = n + 1; j <= nb; ++j) hs(j) = kHsBasic;
    st.nbasic = m;
    return st;
  }

  // Set-up: row states, slacks of the rows not crashed, the crash rows i1..i2.
  int i1 = 1, i2 = m;
  if (crashuse <= kCrashLinearE) {
    i1 = crashuse == kCrashAll ? 1 : nncon + 1;
    for (int j = 1; j <= n; ++j) {
      if (hs(j) == kHsBasic) hs(j) = kHsBetween;  // preferred in pass 3
    }
    for (int i = 1; i < i1; ++i) {
      rowstate(i) = kCovered;
      hs(n + i) = kHsBasic;
    }
    for (int i = i1; i <= m; ++i) {
      if (crashuse == kCrashLinearE && rowtype(i) != 0) {
        rowstate(i) = kCovered;
        hs(n + i) = kHsBasic;
      } else {
        rowstate(i) = kFree;
        hs(n + i) = kHsLower;
      }
    }
  } else {
    // Modes 4 and 5 keep the basic structurals; rows where those have
    // entries are marked spoilt.
    const bool linear = crashuse == kCrashLinearLG;
    i1 = linear ? nncon + 1 : 1;
    i2 = linear ? m : nncon;
    for (int i = 1; i <= m; ++i) {
      const bool crashed = i >= i1 && i <= i2 && (!linear || rowtype(i) != 0);
      if (crashed) {
        rowstate(i) = kFree;
        hs(n + i) = kHsLower;
      } else {
        rowstate(i) = kCovered;
      }
    }
    for (int j = 1; j <= n; ++j) {
      if (hs(j) != kHsBasic) continue;
      for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
        const int i = P.ha(k);
        if (P.a(k) == 0.0 || i < i1 || i > i2) continue;
        if (linear && rowtype(i) != 1) continue;
        rowstate(i) = kSpoilt;
      }
    }
  }
  // Count the basic variables actually present.  In modes 1..3 this is the
  // number of covered rows; in modes 4 and 5 a structural made basic earlier
  // may pivot in a row now being crashed, and counting rows instead would
  // leave more than m basic variables.
  int nbasic = 0;
  for (int j = 1; j <= nb; ++j) {
    if (hs(j) == kHsBasic) ++nbasic;
  }
  for (int i = i1; i <= i2; ++i) {
    if (rowstate(i) != kCovered) ++st.ncrash;
  }

  if (st.ncrash > 0) {
    // Pass 1: slacks of inequality and free rows well inside their bounds.
    for (int i = i1; i <= i2; ++i) {
      if (hs(n + i) == kHsBasic || rowtype(i) == 0) continue;
      if (onto_near_bound(P, i) || nbasic >= m) continue;
      hs(n + i) = kHsBasic;
      rowstate(i) = kCovered;
      ++st.slacks;
      ++nbasic;
    }

    // Passes 2..6: free columns, preferred columns, then columns with one
    // significant entry, two, and any number.
    int* counter[7] = {nullptr, nullptr, &st.freecols, &st.preferred, &st.unit, &st.dbl,
                       &st.triangle};
    for (int pass = 2; pass <= 6 && nbasic < m; ++pass) {
      for (int j = 1; j <= n && nbasic < m; ++j) {
        if (hs(j) > kHsUpper || P.bl(j) == P.bu(j)) continue;
        const int k1 = P.ka(j), k2 = P.ka(j + 1) - 1;
        if (k2 < k1) continue;
        if (pass == 2 && !(P.bl(j) <= -kFreeColBound && P.bu(j) >= kFreeColBound)) continue;
        if (pass == 3 && hs(j) >= 0) continue;

        double amax = 0.0;
        for (int k = k1; k <= k2; ++k) {
          if (rowtype(P.ha(k)) != 2) amax = std::max(amax, std::fabs(P.a(k)));
        }
        if (amax <= kTinyColumn) continue;
        const double tol = crashtol * amax;

        int nz = 0, ncov = 0, ifree = 0, ispoilt = 0;
        double afree = 0.0, aspoilt = 0.0;
        for (int k = k1; k <= k2; ++k) {
          const int i = P.ha(k);
          const double aij = std::fabs(P.a(k));
          if (aij <= tol || hs(n + i) == kHsBasic) continue;
          ++nz;
          if (rowstate(i) == kCovered) {
            ++ncov;
          } else if (rowstate(i) == kFree) {
            if (aij > afree) {
              afree = aij;
              ifree = i;
            }
          } else if (aij > aspoilt) {
            aspoilt = aij;
            ispoilt = i;
          }
        }
        if ((pass == 4 && nz != 1) || (pass == 5 && nz != 2)) continue;
        int ip = ifree;
        if (ip == 0 && ncov == 0) ip = ispoilt;
        if (ip == 0) continue;

        ++nbasic;
        ++*counter[pass];
        rowstate(ip) = kCovered;
        hs(j) = kHsBasic;
        if (nbasic >= m) break;
        for (int k = k1; k <= k2; ++k) {
          const int i = P.ha(k);
          if (i != ip && std::fabs(P.a(k)) > tol && rowstate(i) == kFree && hs(n + i) != kHsBasic)
            rowstate(i) = kSpoilt;
        }
      }
    }

    st.pad = std::max(m - nbasic, 0);
    ctx.prt(strf(" Slacks%6d  Free cols%6d  Preferred%6d", st.slacks, st.freecols, st.preferred));
    ctx.prt(strf(" Unit  %6d  Double   %6d  Triangle %6d  Pad%6d", st.unit, st.dbl, st.triangle,
                 st.pad));

    // Pad with slacks.
    for (int i = 1; i <= m && nbasic < m; ++i) {
      if (rowstate(i) == kCovered) continue;
      hs(n + i) = kHsBasic;
      rowstate(i) = kCovered;
      ++nbasic;
    }
  }

  // Nonbasic slacks of crashed inequality rows near a bound go onto it.
  for (int i = i1; i <= i2; ++i) {
    if (hs(n + i) != kHsBasic && rowtype(i) != 0) onto_near_bound(P, i);
  }
  st.nbasic = nbasic;
  return st;
}

}  // namespace tv
