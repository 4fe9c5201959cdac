#include "core/matcol.h"

#include "core/context.h"
#include "options/params.h"

namespace tv {

int matcol(Context& ctx, Problem& P, int nz, CDvec values, CIvec rows) {
  const int phcols = ctx.par.phcols;
  // The first empty phantom column (phantom columns are the last phcols).
  int jnew = 0;
  for (int j = P.n - phcols + 1; j <= P.n; ++j) {
    if (j >= 1 && P.ka(j) == P.ka(P.n + 1)) {
      jnew = j;
      break;
    }
  }
  if (jnew == 0) {
    ctx.both(" XXX  MATCOL  error.  Not enough Phantom columns.");
    return 1;
  }
  int kept = 0;
  for (int k = 1; k <= nz; ++k) kept += values(k) != 0.0 ? 1 : 0;
  if (kept == 0) {
    ctx.both(" XXX  MATCOL  error.  New column of  A  was zero.");
    return 1;
  }
  const int used = P.ka(P.n + 1) - 1;
  if (used + kept > P.a.size() || used + kept > P.ha.size()) {
    ctx.both(" XXX  MATCOL  error.  Not enough Phantom elements.");
    return 1;
  }
  int l = P.ka(jnew);
  for (int k = 1; k <= nz; ++k) {
    if (values(k) == 0.0) continue;
    P.a(l) = values(k);
    P.ha(l) = rows(k);
    ++l;
  }
  for (int j = jnew + 1; j <= P.n + 1; ++j) P.ka(j) += kept;
  P.ne = P.ka(P.n + 1) - 1;
  P.bl(jnew) = ctx.par.bldef;
  P.bu(jnew) = ctx.par.budef;
  return 0;
}

}  // namespace tv
