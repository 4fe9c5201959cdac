// The line search on functions of one variable with known minimizers, and
// every exit of both step routines.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "core/units.h"
#include "nonlinear/srch.h"
#include "options/params.h"

using namespace tv;

namespace {

// Constants for phi with phi(0) = f0, phi'(0) = gtp, moving one variable
// from 0 with p = 1.
SearchConsts consts(bool cubic, double f0, double gtp, double alfmax, double eta = 0.1) {
  double x = 0.0, p = 1.0;
  return m6scon({.gradients = cubic, .f = f0, .gtp = gtp, .alfmax = alfmax, .pnorm = 1.0,
                 .x = CDvec(&x, 1), .p = CDvec(&p, 1), .fprec = kMachine.eps080, .eta = eta,
                 .eps = kMachine.eps, .eps080 = kMachine.eps080});
}

struct Trace {
  LineResult r;
  std::vector<double> trials;
};

// phi given as a function returning f and f'; `undefined_beyond` makes it
// undefined for alfa > that value.
template <class F>
Trace search(bool cubic, F fn, double f0, double gtp, double alfmax, double alfa, double eta = 0.1,
           double undefined_beyond = 1e300) {
  Units units;
  Trace run;
  SearchConsts c = consts(cubic, f0, gtp, alfmax, eta);
  run.r = srch1d(
      cubic, c, f0, alfmax, alfa,
      [&](double t, double& f, double& g) {
        run.trials.push_back(t);
        if (t > undefined_beyond) return -1;
        fn(t, f, g);
        return 0;
      },
      false, units, 0);
  return run;
}

// Step routine fed directly: every trial alfa > 0 gets psi = fval, psi' = -1.
SearchState flat_search(bool cubic, SearchConsts c, double alfmax, double alfa, double fval) {
  Units units;
  SearchState st;
  for (int calls = 0; calls < 50 && !st.done; ++calls)
    cubic ? srchc(st, c, alfmax, fval, -1.0, alfa, false, units, 0)
          : srchq(st, c, alfmax, fval, alfa, false, units, 0);
  return st;
}

}  // namespace

TEST(LineSearch, ConstantsOfASearch) {
  double x[2] = {1.0, -3.0}, p[2] = {20.0, 0.5};
  SearchSetup s{.gradients = false, .f = 2.0, .gtp = -4.0, .alfmax = 10.0, .xnorm = 1.0,
                .pnorm = 4.0, .x = CDvec(x, 2), .p = CDvec(p, 2), .fprec = 1e-10, .eta = 0.1,
                .fwddif = true, .difint = 1e-6, .eps = kMachine.eps, .eps080 = kMachine.eps080};
  SearchConsts c = m6scon(s);
  EXPECT_EQ(c.maxf, 15);
  EXPECT_DOUBLE_EQ(c.epsaf, 3e-10);
  EXPECT_DOUBLE_EQ(c.g0, -3.9996);
  EXPECT_DOUBLE_EQ(c.targtg, 0.3996);
  EXPECT_EQ(c.tolrel, kMachine.eps080);
  EXPECT_DOUBLE_EQ(c.tolabs, 0.5 * kMachine.eps080);
  EXPECT_DOUBLE_EQ(c.tolsml, 0.1 * kMachine.eps080);  // (1 + |x1|) eps^0.8 / |p1|
  EXPECT_DOUBLE_EQ(c.alfmin, 5e-7);
  s.gradients = true;
  c = m6scon(s);
  EXPECT_EQ(c.maxf, 10);
  EXPECT_EQ(c.alfmin, 0.0);

  EXPECT_STREQ(srchmsg(4), "max step too small.");
  EXPECT_STREQ(srchmsg(5), "step too small.");
  EXPECT_STREQ(srchmsg(6), "no minimizer.");
  EXPECT_STREQ(srchmsg(7), "too many functions.");
  EXPECT_STREQ(srchmsg(8), "uphill direction.");
  EXPECT_STREQ(srchmsg(1), "");
}

TEST(LineSearch, KnownMinimizersBothRoutines) {
  for (bool cubic : {true, false}) {
    SCOPED_TRACE(cubic ? "srchc" : "srchq");
    // Quadratic (a - 2)^2, minimizer 2, found from a first trial of 1.
    auto quad = [](double a, double& f, double& g) {
      f = (a - 2.0) * (a - 2.0);
      g = 2.0 * (a - 2.0);
    };
    Trace q = search(cubic, quad, 4.0, -4.0, 10.0, 1.0, 0.01);
    EXPECT_EQ(q.r.inform, 1);
    EXPECT_NEAR(q.r.alfa, 2.0, 0.02);
    EXPECT_NEAR(q.r.f, (q.r.alfa - 2) * (q.r.alfa - 2), 1e-15);  // phi at the accepted step
    EXPECT_LE(q.r.nfun, cubic ? 4 : 6);

    // Cubic a^3 - 3a, minimizer 1, reached by extrapolation from 0.2.
    auto cub = [](double a, double& f, double& g) {
      f = a * a * a - 3.0 * a;
      g = 3.0 * a * a - 3.0;
    };
    Trace c = search(cubic, cub, 0.0, -3.0, 100.0, 0.2, 0.01);
    EXPECT_EQ(c.r.inform, 1);
    EXPECT_NEAR(c.r.alfa, 1.0, 0.02);

    // Still decreasing, slowly enough, at alfmax: inform 2.
    Trace m = search(cubic, quad, 4.0, -4.0, 1.99, 1.9, cubic ? 0.01 : 0.1);
    EXPECT_EQ(m.r.inform, 2);
    EXPECT_EQ(m.r.alfa, 1.99);

    // Only decreasing: alfmax is taken (within the interval's tolerance
    // tolmax beyond it), but the slope test cannot be met.
    auto lin = [](double a, double& f, double& g) {
      f = -a;
      g = -1.0;
    };
    Trace l = search(cubic, lin, 0.0, -1.0, 5.0, 1.0);
    EXPECT_EQ(l.r.inform, 3);
    EXPECT_NEAR(l.r.alfa, 5.0, 1e-11);
    EXPECT_EQ(l.r.f, -l.r.alfa);

    // Too many functions with improvement: still decreasing after maxf trials.
    Trace t = search(cubic, lin, 0.0, -1.0, 1e300, 1.0);
    EXPECT_EQ(t.r.inform, 3);
    EXPECT_EQ(int(t.trials.size()), cubic ? 10 : 16);  // srchq evaluates the result again
    EXPECT_GT(t.r.alfa, 1e6);
    // No polynomial step fits a line: the steps extrapolate by 5, 25, 125 times the last.
    ASSERT_GE(t.trials.size(), 4u);
    EXPECT_EQ(std::vector<double>(t.trials.begin(), t.trials.begin() + 4),
              (std::vector<double>{1.0, 6.0, 131.0, 15756.0}));

    // Uphill: inform 8 without any evaluation.
    Trace u = search(cubic, lin, 0.0, 1.0, 5.0, 1.0);
    EXPECT_EQ(u.r.inform, 8);
    EXPECT_EQ(u.r.nfun, 0);
    EXPECT_EQ(u.r.alfa, 0.0);
  }
}

TEST(LineSearch, UndefinedTrialRestartsWithATenth) {
  for (bool cubic : {true, false}) {
    SCOPED_TRACE(cubic ? "srchc" : "srchq");
    // (a - 0.3)^2, undefined beyond 0.5: the trial 4 fails, the search
    // starts again with alfmax = first trial = 0.4 and finds 0.3.
    auto fn = [](double a, double& f, double& g) {
      f = (a - 0.3) * (a - 0.3);
      g = 2.0 * (a - 0.3);
    };
    Trace r = search(cubic, fn, 0.09, -0.6, 4.0, 4.0, 0.01, 0.5);
    EXPECT_EQ(r.r.restarts, 1);
    ASSERT_GE(r.trials.size(), 2u);
    EXPECT_EQ(r.trials[0], 4.0);
    EXPECT_DOUBLE_EQ(r.trials[1], 0.4);
    EXPECT_DOUBLE_EQ(r.r.alfmax, 0.4);
    EXPECT_EQ(r.r.inform, 1);
    EXPECT_NEAR(r.r.alfa, 0.3, 0.01);

    // Undefined everywhere: each restart tries a tenth of the failing
    // step, until alfmax falls below tolsml (inform 8).
    Trace all = search(cubic, fn, 0.09, -0.6, 4.0, 4.0, 0.1, -1.0);
    EXPECT_EQ(all.r.inform, 8);
    EXPECT_EQ(all.r.alfa, 0.0);
    ASSERT_GE(all.trials.size(), 10u);
    for (size_t k = 1; k < all.trials.size(); ++k)
      EXPECT_DOUBLE_EQ(all.trials[k], all.trials[k - 1] / 10.0);
    EXPECT_LE(all.r.alfmax, consts(cubic, 0.09, -0.6, 4.0).tolsml);
    EXPECT_EQ(all.r.restarts, int(all.trials.size()));
  }
}

TEST(LineSearch, ExitsWithoutABetterPoint) {
  for (bool cubic : {true, false}) {
    SCOPED_TRACE(cubic ? "srchc" : "srchq");
    SearchConsts c = consts(cubic, 0.0, -1.0, 1.0);

    // 4: alfmax below tolabs (crampd), nothing better; tolabs shrinks by 10
    // per failed interval until tolsml.
    SearchConsts k = c;
    k.tolabs = 1e-6;
    k.tolsml = 1e-9;
    SearchState st = flat_search(cubic, k, 1e-7, 1e-7, 1.0);
    EXPECT_TRUE(st.crampd);
    EXPECT_EQ(st.inform, 4);
    EXPECT_EQ(st.alfbst, 0.0);

    // 6: an interval of 2 tol with nothing better, tolsml not small.
    k = c;
    k.tolabs = 1e-6;
    k.tolsml = 5e-7;
    st = flat_search(cubic, k, 1.0, 1e-6, 1.0);
    EXPECT_EQ(st.inform, 6);
    EXPECT_EQ(st.numf, 1);

    // 7: nothing better after maxf evaluations.
    k = c;
    k.tolabs = 1e-2;
    k.tolsml = 1e-300;
    st = flat_search(cubic, k, 1.0, 0.5, 1.0);
    EXPECT_EQ(st.inform, 7);
    EXPECT_EQ(st.numf, cubic ? 10 : 15);
    EXPECT_EQ(st.alfbst, 0.0);

    // 8: alfmax at or below tolsml.
    st = flat_search(cubic, c, c.tolsml, 1.0, 1.0);
    EXPECT_EQ(st.inform, 8);
    EXPECT_EQ(st.numf, 0);
  }

  // 5 (srchq only): the interval right of the start lies below alfmin.
  SearchConsts q = consts(false, 0.0, -1.0, 1.0);
  q.alfmin = 1e-3;
  SearchState st = flat_search(false, q, 1.0, 1e-4, 1.0);
  EXPECT_EQ(st.inform, 5);
  EXPECT_EQ(st.numf, 1);
}

TEST(LineSearch, FirstTrialSafeguards) {
  for (bool cubic : {true, false}) {
    SCOPED_TRACE(cubic ? "srchc" : "srchq");
    SearchConsts c = consts(cubic, 0.0, -1.0, 10.0);
    c.tolabs = 1e-3;
    auto first_trial = [&](double alfa, bool& braktd) {
      Units units;
      SearchState st;
      cubic ? srchc(st, c, 10.0, 0, 0, alfa, false, units, 0)
            : srchq(st, c, 10.0, 0, alfa, false, units, 0);
      EXPECT_FALSE(st.first || st.done);
      braktd = st.braktd;
      return alfa;
    };
    bool braktd;
    EXPECT_EQ(first_trial(0.5e-3, braktd), 1e-3);  // at or below tol: tol
    EXPECT_FALSE(braktd);
    EXPECT_EQ(first_trial(10.0 - 0.5e-3, braktd), 10.0);  // beyond alfmax - tolmax: alfmax
    EXPECT_TRUE(braktd);
    EXPECT_EQ(first_trial(3.0, braktd), 3.0);
  }
}

TEST(LineSearch, DebugOutputGoesToThePrintUnitOnly) {
  for (bool cubic : {true, false}) {
    Units units;
    units.attach_buffer(9);
    SearchConsts c = consts(cubic, 4.0, -4.0, 10.0);
    auto quad = [](double a, double& f, double& g) {
      f = (a - 2.0) * (a - 2.0);
      g = 2.0 * (a - 2.0);
      return 0;
    };
    srch1d(cubic, c, 4.0, 10.0, 1.0, quad, false, units, 9);
    EXPECT_EQ(units.buffer(9), "");
    srch1d(cubic, c, 4.0, 10.0, 1.0, quad, true, units, 9);
    std::string out = units.buffer(9);
    EXPECT_NE(out.find(" g0  tolabs  alfmax"), std::string::npos);
    EXPECT_NE(out.find(" crampd"), std::string::npos);
    EXPECT_NE(out.find(cubic ? " alfaw  fw  gw" : " alfaw  fw"), std::string::npos);
    EXPECT_NE(out.find(cubic ? " Cubic.   " : " Parabolic fit,    two points. "), std::string::npos);
    EXPECT_NE(out.find(" " + std::string(44, '-') + "\n"), std::string::npos);
  }
}
