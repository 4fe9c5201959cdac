// Multiplier estimates with the signs their rows' states allow.
#include <algorithm>
#include <cmath>

#include "nonlinear/m8kern.h"

namespace tv {

void m8chkm(int nncon, double bound, CIvec hs, Dvec lambda) {
  double big = std::fabs(bound);
  for (int i = 1; i <= nncon; ++i) {
    double t = lambda(i);
    if (hs(i) == 0)
      t = std::min(t, 0.0);
    else if (hs(i) == 1)
      t = std::max(t, 0.0);
    lambda(i) = std::min(std::max(t, -big), big);
  }
}

}  // namespace tv
