#include "files/m4nlst.h"

#include <cmath>

namespace tv {

int m4nlst(int nlstart, int nnl, int maxs, double tol, double bigbnd, CDvec bl, CDvec bu, Dvec xn,
           Ivec hs) {
  if (nlstart < kNlStartSuperbasic || nlstart > kNlStartNonbasic) return 0;
  // Room left in the superbasic list (the basis check keeps the first maxs
  // columns with hs = 2 in index order).
  int room = maxs;
  if (nlstart == kNlStartSuperbasic) {
    for (int j = 1; j <= hs.size(); ++j) {
      if (hs(j) == 2) --room;
    }
  }
  int changed = 0;
  for (int j = 1; j <= nnl; ++j) {
    if (hs(j) == 2 || hs(j) == 3) continue;  // the caller's own choice
    const double x = xn(j), lo = bl(j), up = bu(j);
    const bool lofin = lo > -bigbnd, upfin = up < bigbnd;
    const bool assigned = (lofin || upfin) ? x - lo > tol && up - x > tol : x != 0.0;
    if (!assigned) continue;
    if (nlstart == kNlStartSuperbasic) {
      if (room <= 0) break;
      --room;
      hs(j) = 2;
    } else if (nlstart == kNlStartBasic) {
      hs(j) = 3;
    } else {
      if (lofin && (!upfin || x - lo <= up - x)) {
        xn(j) = lo;
      } else if (upfin) {
        xn(j) = up;
      }
      hs(j) = 4;
    }
    ++changed;
  }
  return changed;
}

}  // namespace tv
