// A complete line search on a function of the step alone.  The search
// driver of the reduced-gradient iteration follows the same pattern with
// the trial point x + alfa p formed and evaluated in place of phi.
#include "nonlinear/srch.h"

namespace tv {

LineResult srch1d(bool cubic, SearchConsts c, double f0, double alfmax, double alfa,
                  const LineFn& phi, bool debug, Units& units, int iprint) {
  LineResult res;
  SearchState st;
  double f = f0, g = c.gtp;  // phi and phi' at the last trial
  for (;;) {
    st = SearchState{};
    double ftry = 0.0, gtry = 0.0;
    bool undefined = false;
    for (;;) {
      if (cubic)
        srchc(st, c, alfmax, ftry, gtry, alfa, debug, units, iprint);
      else
        srchq(st, c, alfmax, ftry, alfa, debug, units, iprint);
      if (st.done) break;
      f = 0.0;
      g = 0.0;
      int status = phi(alfa, f, g);
      ++res.nfun;
      if (status == -1) {
        undefined = true;
        break;
      }
      if (status != 0) {
        res.inform = -1;
        res.alfmax = alfmax;
        return res;
      }
      ftry = f - f0 - kSearchMu * c.gtp * alfa;
      gtry = g - kSearchMu * c.gtp;
    }
    if (!undefined) break;
    // Undefined at alfa: search again inside a tenth of the failing step.
    alfmax = alfa / 10.0;
    alfa = alfmax;
    ++res.restarts;
  }

  res.inform = st.inform;
  res.alfmax = alfmax;
  if (st.inform == 8) {
    res.f = f0;
    res.g = c.gtp;
    return res;
  }
  res.alfa = st.alfbst;
  if (cubic && st.imprvd) {
    res.f = f;
    res.g = g;
    return res;
  }
  f = 0.0;
  g = 0.0;
  int status = phi(res.alfa, f, g);
  ++res.nfun;
  if (status != 0) {
    res.inform = -1;
    return res;
  }
  res.f = f;
  res.g = g;
  return res;
}

}  // namespace tv
