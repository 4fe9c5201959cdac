// Constants of a line search and the texts of its exits.
#include <algorithm>
#include <cmath>

#include "nonlinear/srch.h"

namespace tv {

SearchConsts m6scon(const SearchSetup& s) {
  SearchConsts c;
  c.maxf = s.gradients ? 10 : 15;
  c.gtp = s.gtp;
  c.g0 = (1.0 - kSearchMu) * s.gtp;
  c.targtg = (kSearchMu - s.eta) * s.gtp;
  c.epsaf = std::max(s.fprec, s.eps) * (1.0 + std::fabs(s.f));
  c.tolrel = std::max(s.eps, s.eps080);
  // A zero direction norm would make every step "meaningful": fall back on
  // alfmax, which the first call then rejects or accepts on its own.
  c.tolabs = s.pnorm > 0.0 ? std::min(s.alfmax, (1.0 + s.xnorm) * s.eps080 / s.pnorm) : s.alfmax;
  c.tolsml = c.tolabs;
  int n = std::min(s.x.size(), s.p.size());
  for (int j = 1; j <= n; ++j) {
    double pj = std::fabs(s.p(j));
    if (pj > 0.0) c.tolsml = std::min(c.tolsml, (1.0 + std::fabs(s.x(j))) * s.eps080 / pj);
  }
  // Below alfmin a forward-difference estimate of F is no better than noise.
  c.alfmin = 0.0;
  if (!s.gradients && s.fwddif && s.pnorm > 0.0) c.alfmin = s.difint * (1.0 + s.xnorm) / s.pnorm;
  return c;
}

namespace {

struct ExitText {
  int inform;
  const char* text;
};
constexpr ExitText kExitTexts[] = {
    {4, "max step too small."},
    {5, "step too small."},
    {6, "no minimizer."},
    {7, "too many functions."},
    {8, "uphill direction."},
};

}  // namespace

const char* srchmsg(int inform) {
  for (const ExitText& e : kExitTexts)
    if (e.inform == inform) return e.text;
  return "";
}

}  // namespace tv
