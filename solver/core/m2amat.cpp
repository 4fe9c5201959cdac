#include "core/m2amat.h"

#include <cmath>

#include "core/context.h"
#include "options/params.h"

namespace tv {

void m2amat(Context& ctx, int mode, const Problem& P, Ivec rowtype) {
  const int m = P.m, n = P.n;
  const double t = 0.9 * 1.0e+20;

  int rnormal = 0, rfree = 0, rfixed = 0;
  for (int i = 1; i <= m; ++i) {
    const double l = P.bl(n + i), u = P.bu(n + i);
    if (l <= -t && u >= t) {
      rowtype(i) = 2;
      ++rfree;
    } else if (l == u) {
      rowtype(i) = 0;
      ++rfixed;
    } else if (l <= -t || u >= t) {
      rowtype(i) = 1;
      ++rnormal;
    } else {
      rowtype(i) = 1;
    }
  }
  if (mode == 2 || ctx.par.prtfile <= 0) return;
  const int rbounded = m - rnormal - rfree - rfixed;

  int cnormal = 0, cfree = 0, cfixed = 0;
  for (int j = 1; j <= n; ++j) {
    const double l = P.bl(j), u = P.bu(j);
    if (l == u) {
      ++cfixed;
    } else if ((l == 0.0 && u >= t) || (l <= -t && u == 0.0)) {
      ++cnormal;
    } else if (l <= -t && u >= t) {
      ++cfree;
    }
  }
  const int cbounded = n - cnormal - cfree - cfixed;

  // Element statistics over the columns that are not fixed.
  double amax = 0.0, amin = 0.0, omax = 0.0, omin = 0.0;
  bool aset = false, oset = false;
  int nobjc = 0;
  for (int j = 1; j <= n; ++j) {
    if (!(P.bl(j) < P.bu(j))) continue;
    for (int k = P.ka(j); k < P.ka(j + 1); ++k) {
      const int i = P.ha(k);
      const double v = std::fabs(P.a(k));
      if (i == P.objrow) {
        if (v > 0.0) {
          ++nobjc;
          if (!oset) {
            omax = omin = v;
            oset = true;
          } else {
            omax = std::fmax(omax, v);
            omin = std::fmin(omin, v);
          }
        }
      } else if (i >= 1 && i <= m && rowtype(i) <= 1) {
        if (!aset) {
          amax = amin = v;
          aset = true;
        } else {
          amax = std::fmax(amax, v);
          amin = std::fmin(amin, v);
        }
      }
    }
  }
  // Density in single precision, as always printed; guard empty shapes.
  float density = 0.0f;
  if (m > 0 && n > 0) {
    const float mn = static_cast<float>(m) * static_cast<float>(n);
    density = 100.0f * static_cast<float>(P.ne) / mn;
  }

  ctx.prt("");
  ctx.prt("");
  ctx.prt("");
  ctx.prt(" Matrix Statistics");
  ctx.prt(" -----------------");
  ctx.prt(strf("        %12s%12s%12s%12s%12s", "Total", "Normal", "Free", "Fixed", "Bounded"));
  ctx.prt(strf(" Rows   %12d%12d%12d%12d%12d", m, rnormal, rfree, rfixed, rbounded));
  ctx.prt(strf(" Columns%12d%12d%12d%12d%12d", n, cnormal, cfree, cfixed, cbounded));
  ctx.prt("");
  ctx.prt(strf(" No. of matrix elements%21d     Density%12.3f", P.ne, static_cast<double>(density)));
  ctx.prt(strf(" Biggest %35.4E  (excluding fixed columns,", amax));
  ctx.prt(strf(" Smallest%35.4E   free rows, and RHS)", amin));
  ctx.prt("");
  ctx.prt(strf(" No. of objective coefficients%14d", nobjc));
  if (nobjc > 0) {
    ctx.prt(strf(" Biggest %35.4E  (excluding fixed columns)", omax));
    ctx.prt(strf(" Smallest%35.4E", omin));
  }
  const int nncon = ctx.par.nncon, nnjac = ctx.par.nnjac, nnobj = ctx.par.nnobj;
  const int nnl = nnobj > nnjac ? nnobj : nnjac;
  ctx.prt("");
  ctx.prt("");
  ctx.prt(strf(" Nonlinear constraints %7d     Linear constraints %7d", nncon, m - nncon));
  ctx.prt(strf(" Nonlinear variables   %7d     Linear variables   %7d", nnl, n - nnl));
  ctx.prt(strf(" Jacobian  variables   %7d     Objective variables%7d", nnjac, nnobj));
}

}  // namespace tv
