#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string>
#include <vector>

#include "common/lp.h"
#include "common/mps_lp.h"
#include "core/context.h"
#include "core/m2amat.h"
#include "core/run_state.h"
#include "lu/m2scal.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

using namespace tv;
using tvtest::kInf;
using tvtest::TestLP;

namespace {

constexpr int kPrint = 9;

struct Scale {
  Context ctx;
  TestLP lp;
  std::vector<int32_t> rowtype;
  std::vector<double> sc, y, y2;

  explicit Scale(TestLP p, int scaleopt = 2, double scaletol = 0.9) : lp(std::move(p)) {
    ctx.io.attach_buffer(kPrint);
    ctx.par.prtfile = kPrint;
    ctx.par.scaleopt = scaleopt;
    ctx.par.scaletol = scaletol;
    ctx.par.feastol = 1.0E-6;
    ctx.par.scaleprt = 0;
  }
  Problem view() { return lp.view(); }
  void compute() {
    Problem P = view();
    rowtype.assign(lp.m, -1);
    m2amat(ctx, 2, P, Ivec(rowtype.data(), lp.m));
    sc.assign(P.nb, -5.0);
    y.assign(std::max(lp.m, 1), -5.0);
    y2.assign(std::max(lp.m, 1), -5.0);
    ctx.io.clear_buffer(kPrint);
    m2scal(ctx, P, CIvec(rowtype.data(), lp.m), Dvec(sc.data(), P.nb), Dvec(y.data(), lp.m),
           Dvec(y2.data(), lp.m));
  }
  void apply(int mode) {
    Problem P = view();
    m2scla(ctx, mode, P, Dvec(sc.data(), P.nb));
  }
  std::vector<std::string> out() const { return tvtest::lines(ctx.io.buffer(kPrint)); }
  double col(int j) const { return sc[j - 1]; }
  double row(int i) const { return sc[lp.n + i - 1]; }
};

const std::vector<std::string> kHeading = {"", "", " Scaling", " -------",
                                           "             Min elem    Max elem       Max col ratio"};

// Deterministic pseudo-random numbers in [0, 1).
struct Lcg {
  uint64_t s;
  double next() {
    s = s * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(s >> 11) * (1.0 / 9007199254740992.0);
  }
};

bool within_ulps(double x, double y, double ulps) {
  if (x == y) return true;
  return std::fabs(x - y) <= ulps * std::numeric_limits<double>::epsilon() * std::max(std::fabs(x), std::fabs(y));
}

// Scale then unscale; every array comes back within rounding and infinite
// bounds come back untouched.  While scaled, finite bounds are held finite.
void expect_round_trip(Scale& s, const std::string& what) {
  SCOPED_TRACE(what);
  const TestLP before = s.lp;
  const double big = 0.9e20;
  s.apply(1);
  const int nb = s.lp.n + s.lp.m;
  for (int j = 0; j < nb; ++j) {
    if (before.bl[j] > -big) {
      EXPECT_GT(s.lp.bl[j], -big) << "lower bound " << j + 1 << " looks infinite while scaled";
    } else {
      EXPECT_EQ(s.lp.bl[j], before.bl[j]);
    }
    if (before.bu[j] < big) {
      EXPECT_LT(s.lp.bu[j], big) << "upper bound " << j + 1 << " looks infinite while scaled";
    } else {
      EXPECT_EQ(s.lp.bu[j], before.bu[j]);
    }
  }
  s.apply(0);
  EXPECT_EQ(s.ctx.run.objscale, 1.0);
  int bad = 0;
  for (int j = 0; j < nb; ++j) {
    const bool infl = before.bl[j] <= -big, infu = before.bu[j] >= big;
    if (infl ? s.lp.bl[j] != before.bl[j] : !within_ulps(s.lp.bl[j], before.bl[j], 2)) ++bad;
    if (infu ? s.lp.bu[j] != before.bu[j] : !within_ulps(s.lp.bu[j], before.bu[j], 2)) ++bad;
    if (!within_ulps(s.lp.xn[j], before.xn[j], 2)) ++bad;
    if (bad > 0 && bad < 4) {
      ADD_FAILURE() << "variable " << j + 1 << ": [" << s.lp.bl[j] << ", " << s.lp.bu[j] << "] x "
                    << s.lp.xn[j] << " vs [" << before.bl[j] << ", " << before.bu[j] << "] x "
                    << before.xn[j];
    }
  }
  for (size_t k = 0; k < before.a.size(); ++k) {
    if (!within_ulps(s.lp.a[k], before.a[k], 6)) ++bad;
  }
  for (int i = 0; i < s.lp.m; ++i) {
    if (!within_ulps(s.lp.pi[i], before.pi[i], 2)) ++bad;
  }
  EXPECT_EQ(bad, 0);
}

double spread(const std::vector<double>& a) {
  double lo = kInf, hi = 0.0;
  for (double v : a) {
    if (v == 0.0) continue;
    lo = std::min(lo, std::fabs(v));
    hi = std::max(hi, std::fabs(v));
  }
  return hi / lo;
}

}  // namespace

TEST(Scaling, PlusMinusOneMatrixKeepsUnitScales) {
  Scale s(TestLP::dense({{1, -1, 1}, {-1, -1, 1}, {1, 1, -1}}, {0, -kInf, -1}, {4, 3, kInf},
                        {0, 0, -kInf}, {kInf, 5, kInf}),
          2);
  s.compute();
  for (double v : s.sc) EXPECT_EQ(v, 1.0);
  const auto out = s.out();
  ASSERT_EQ(out.size(), 16u);
  EXPECT_EQ(std::vector<std::string>(out.begin(), out.begin() + 5), kHeading);
  for (int p = 0; p <= 3; ++p) EXPECT_EQ(out[5 + p], strf(" After%3d    1.00E+00    1.00E+00                1.00", p));
  EXPECT_EQ(out[12], " Row      1   1.0E+00            Row      1   1.0E+00                3   100.0");
  EXPECT_EQ(out[14], " Norm of fixed columns and slacks             0.0E+00");
  EXPECT_EQ(out[15], " (before and after row scaling)               0.0E+00");
}

TEST(Scaling, ExactReportOnASmallExample) {
  // 1 <= x1 + 100 x2 <= 1000, x >= 0.
  Scale s(TestLP::dense({{1, 100}}, {1}, {1000}, {0, 0}, {kInf, kInf}), 2);
  s.ctx.par.scaleprt = 1;
  s.compute();
  std::vector<std::string> want = kHeading;
  for (const char* l : {" After  0    1.00E+00    1.00E+02                1.00",
                        " After  1    1.00E+00    1.00E+00                1.00",
                        " After  2    1.00E+00    1.00E+00                1.00",
                        " After  3    1.00E+00    1.00E+00                1.00", "",
                        "            Min scale                       Max scale      Between 0.5 and 2.0",
                        " Col      1   1.0E-01            Col      2   1.0E+01                0     0.0",
                        " Row      1   1.0E+01            Row      1   1.0E+01                0     0.0", "",
                        " Norm of fixed columns and slacks             1.0E+00",
                        " (before and after row scaling)               1.0E-01", "", "",
                        " Row scales  r(i)         a(i,j)  =   r(i)  *  scaled a(i,j)  /  c(j)",
                        " ----------------", "", "     1              10", "", "",
                        " Column scales  c(j)      x(j)    =   c(j)  *  scaled x(j)",
                        " -------------------", "", "     1              10     2             0.1"}) {
    want.push_back(l);
  }
  EXPECT_EQ(s.out(), want);
  EXPECT_NEAR(s.col(1), 10.0, 1e-12);
  EXPECT_NEAR(s.col(2), 0.1, 1e-15);
  EXPECT_NEAR(s.row(1), 10.0, 1e-12);
  // Scaled entries are a c / r = 1.
  s.lp.pi = {3.0};
  s.apply(1);
  EXPECT_NEAR(s.lp.a[0], 1.0, 1e-15);
  EXPECT_NEAR(s.lp.a[1], 1.0, 1e-15);
  EXPECT_NEAR(s.lp.pi[0], 30.0, 1e-12);  // pi is multiplied by the row scale
  EXPECT_NEAR(s.lp.bl[2], -100.0, 1e-12);  // slack bounds divided by it
}

TEST(Scaling, ScaleToleranceOneActsAsPointNineNine) {
  // A random 5 x 6 matrix (entries 1e-4 .. 2e4) whose passes improve slowly,
  // so the tolerance decides when they stop.
  const int m = 5, n = 6;
  Lcg g{38 * 7919};
  std::vector<std::vector<double>> A(m, std::vector<double>(n, 0.0));
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < n; ++j) {
      if (g.next() < 0.6 || i == j) {
        const double e = std::pow(10.0, static_cast<int>(g.next() * 9) - 4);
        const double f = 1.0 + g.next();
        A[i][j] = e * f;
      }
    }
  }
  auto run = [&](double tol) {
    Scale s(TestLP::dense(A, std::vector<double>(m, 0), std::vector<double>(m, 1), std::vector<double>(n, 0),
                          std::vector<double>(n, kInf)),
            1, tol);
    s.compute();
    return std::make_pair(s.out(), s.sc);
  };
  const auto t099 = run(0.99), t100 = run(1.0), t150 = run(1.5), t090 = run(0.9);
  EXPECT_EQ(t100, t099);
  EXPECT_EQ(t150, t099);
  EXPECT_EQ(t099.first.size(), t090.first.size() + 2);  // two more passes than with 0.9
}

TEST(Scaling, SmallestMagnitudeIsFloorTimesLargest) {
  // One row [1, 1e-8]: the row's minimum counts as 1e-4, so its scale is
  // sqrt(1e-4 * 1) = 0.01, not sqrt(1e-8).  A column [1; 1e-8] reports a
  // column ratio of 1e4, not 1e8.
  Scale s(TestLP::dense({{1, 1e-8}}, {0}, {1}, {0, 0}, {kInf, kInf}), 1);
  s.compute();
  EXPECT_NEAR(s.row(1), 0.01, 1e-16);
  EXPECT_NEAR(s.col(1), 0.01, 1e-16);
  EXPECT_NEAR(s.col(2), 1e6, 1e-8);
  Scale t(TestLP::dense({{1}, {1e-8}}, {0, 0}, {1, 1}, {0}, {kInf}), 1);
  t.compute();
  EXPECT_EQ(t.out()[5], " After  0    1.00E-04    1.00E+00            10000.00");
}

TEST(Scaling, FixedColumnsDoNotInfluenceTheScalesButAreScaled) {
  std::vector<std::vector<double>> A = {{2, 8, 1e6}, {4, 1, 1e-6}};
  Scale with(TestLP::dense(A, {0, 0}, {1, 1}, {0, 0, 3}, {kInf, kInf, 3}), 1);
  with.compute();
  Scale without(TestLP::dense({{2, 8}, {4, 1}}, {0, 0}, {1, 1}, {0, 0}, {kInf, kInf}), 1);
  without.compute();
  EXPECT_EQ(with.col(1), without.col(1));
  EXPECT_EQ(with.col(2), without.col(2));
  EXPECT_EQ(with.row(1), without.row(1));
  EXPECT_EQ(with.row(2), without.row(2));
  EXPECT_EQ(with.col(3), 1.0);
  with.apply(1);
  EXPECT_DOUBLE_EQ(with.lp.a[4], 1e6 / with.row(1));
  EXPECT_DOUBLE_EQ(with.lp.a[5], 1e-6 / with.row(2));
}

TEST(Scaling, OptionOneWithAllColumnsNonlinearScalesNothing) {
  TestLP lp = TestLP::dense({{1e3, 2}, {5, 1e-3}}, {0, 0}, {1, 1}, {0, 0}, {kInf, kInf});
  lp.nnobj = 2;
  Scale s(lp, 1);
  s.compute();
  for (double v : s.sc) EXPECT_EQ(v, 1.0);
  EXPECT_EQ(s.out(), kHeading);
  // Option 1 leaves the nonlinear rows and columns at 1 but scales the rest.
  lp.nnobj = 1;
  lp.nncon = 1;
  lp.nnjac = 1;
  Scale t(lp, 1);
  t.compute();
  EXPECT_EQ(t.col(1), 1.0);
  EXPECT_EQ(t.row(1), 1.0);
  EXPECT_NE(t.row(2), 1.0);
}

TEST(Scaling, NominalValuesAllZeroLeaveTheScalesAlone) {
  // Every bound range contains 0: Q = R = 0, nothing is multiplied, so
  // option 2 gives the scales of option 1 (there is nothing nonlinear).
  std::vector<std::vector<double>> A = {{1, 30, 0}, {0.2, 5, 1e3}};
  auto lp = TestLP::dense(A, {-1, -kInf}, {1, 4}, {0, -2, -kInf}, {kInf, 2, 0});
  Scale s2(lp, 2);
  s2.compute();
  Scale s1(lp, 1);
  s1.compute();
  EXPECT_EQ(s2.sc, s1.sc);
  const auto out = s2.out();
  EXPECT_NE(std::find(out.begin(), out.end(), " Norm of fixed columns and slacks             0.0E+00"), out.end());
  EXPECT_NE(std::find(out.begin(), out.end(), " (before and after row scaling)               0.0E+00"), out.end());
}

TEST(Scaling, LargeScalesAreReduced) {
  // x1 >= b with a = 1: the bound normalization multiplies every scale by
  // b; with Feasibility tolerance 1e-6 a largest scale above 1e5 is brought
  // back by 0.1 / (1e-6 * largest).
  auto lp = [](double b) { return TestLP::dense({{1}}, {0}, {2e9}, {b}, {1e9}); };
  Scale s(lp(1e8), 2);
  s.compute();
  const auto out = s.out();
  EXPECT_EQ(out[out.size() - 3], " Norm of fixed columns and slacks             1.0E+08");
  EXPECT_EQ(out.back(), " Scales are large --- reduced by             1.0E-03");
  EXPECT_DOUBLE_EQ(s.col(1), 1e5);
  EXPECT_DOUBLE_EQ(s.row(1), 1e5);

  Scale t(lp(2e5), 2);
  t.compute();
  EXPECT_EQ(t.out().back(), " Scales are large --- reduced by             5.0E-01");
  Scale u(lp(9e4), 2);
  u.compute();
  EXPECT_EQ(u.out().back(), " (before and after row scaling)               9.0E+04");
  EXPECT_DOUBLE_EQ(u.col(1), 9e4);
}

TEST(Scaling, BadlyScaledMatrixGetsEntriesNearOne) {
  // A well-scaled 12 x 10 matrix with rows and columns multiplied by powers
  // of ten between 1e-8 and 1e+8.
  const int m = 12, n = 10;
  Lcg g{12345};
  std::vector<std::vector<double>> A(m, std::vector<double>(n, 0.0));
  std::vector<double> rf(m), cf(n);
  for (int i = 0; i < m; ++i) rf[i] = std::pow(10.0, static_cast<int>(g.next() * 17) - 8);
  for (int j = 0; j < n; ++j) cf[j] = std::pow(10.0, static_cast<int>(g.next() * 17) - 8);
  rf[0] = 1e-8;
  rf[1] = 1e8;
  cf[0] = 1e8;
  cf[1] = 1e-8;
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < n; ++j) {
      if (g.next() < 0.5 || i == j) A[i][j] = (0.5 + 1.5 * g.next()) * rf[i] * cf[j];
    }
  }
  Scale s(TestLP::dense(A, std::vector<double>(m, -1), std::vector<double>(m, 1),
                        std::vector<double>(n, -kInf), std::vector<double>(n, kInf)),
          1);
  const double before = spread(s.lp.a);
  s.compute();
  s.apply(1);
  const double after = spread(s.lp.a);
  EXPECT_GT(before, 1e20);
  EXPECT_LT(after, 10.0);  // about 1.6e31 before, 2.9 after
}

TEST(Scaling, ScaleThenUnscaleRestoresEveryArray) {
  // Random matrix and every kind of bound: infinite (1e20 and beyond),
  // finite close to infinity, fixed, zero; levels and multipliers.
  const int m = 9, n = 12;
  Lcg g{777};
  std::vector<std::vector<double>> A(m, std::vector<double>(n, 0.0));
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < n; ++j) {
      if (g.next() < 0.4 || i == j) A[i][j] = (g.next() - 0.5) * std::pow(10.0, static_cast<int>(g.next() * 9) - 4);
    }
  }
  const double kinds[][2] = {{0, kInf},    {-kInf, kInf}, {-kInf, 0},   {1.5, 1.5},     {-3, 7},
                             {2e3, 8e19},  {-5e19, -1},   {-1e25, 1e30}, {1e-3, 2e-3},  {-8.9e19, 8.9e19},
                             {0, 0},       {-kInf, -2}};
  std::vector<double> clo(n), cup(n), rlo(m), rup(m);
  for (int j = 0; j < n; ++j) {
    clo[j] = kinds[j % 12][0];
    cup[j] = kinds[j % 12][1];
  }
  for (int i = 0; i < m; ++i) {
    rlo[i] = -kinds[(i + 5) % 12][1];
    rup[i] = -kinds[(i + 5) % 12][0];
  }
  for (int opt = 1; opt <= 2; ++opt) {
    Scale s(TestLP::dense(A, rlo, rup, clo, cup, 0), opt);
    for (auto& x : s.lp.xn) x = (g.next() - 0.5) * 1e3;
    for (auto& p : s.lp.pi) p = (g.next() - 0.5) * 10;
    s.compute();
    expect_round_trip(s, strf("Scale option %d", opt));
  }
}

TEST(Scaling, ScalesThatWouldMakeAFiniteBoundLookInfiniteAreRaised) {
  // A finite upper bound 8e19 with a scale 0.5 would be held as 1.6e20 and
  // never be unscaled; a scale 1e-3 on a bound 1e18 would give 1e21.
  TestLP lp = TestLP::dense({{1, 1, 1}}, {-kInf}, {1}, {0, -1e18, 0}, {8e19, 1e18, kInf});
  Scale s(lp, 2);
  s.sc = {0.5, 1e-3, 1e-3, 2.0};
  s.lp.xn = {3, 4, 5, -12};
  const TestLP before = s.lp;
  s.apply(1);
  EXPECT_EQ(s.col(1), 1.0);               // 8e19 / 0.5 would reach the infinite range
  EXPECT_EQ(s.col(2), 1e18 / 0.5e20);     // raised so that the bound is held as 0.5 infbnd
  EXPECT_EQ(s.col(3), 1e-3);              // infinite bounds never limit a scale
  EXPECT_EQ(s.lp.bu[0], 8e19);
  EXPECT_DOUBLE_EQ(s.lp.bu[1], 0.5e20);
  EXPECT_EQ(s.lp.bu[2], kInf);            // an infinite bound is held untouched
  s.apply(0);
  EXPECT_EQ(s.lp.bu[0], before.bu[0]);
  EXPECT_TRUE(within_ulps(s.lp.bu[1], before.bu[1], 2));
  EXPECT_TRUE(within_ulps(s.lp.bl[1], before.bl[1], 2));
  EXPECT_EQ(s.lp.bu[2], kInf);
  EXPECT_EQ(s.lp.bu[3], kInf);            // the slack's infinite upper bound
  EXPECT_EQ(s.lp.bl[3], before.bl[3]);
  // A second round trip changes no scale (the rule is idempotent).
  const std::vector<double> sc = s.sc;
  s.apply(1);
  s.apply(0);
  EXPECT_EQ(s.sc, sc);
  // A scale that is not a positive number is replaced by 1 instead of
  // dividing by it.
  s.sc = {0.0, -2.0, std::nan(""), 1.0};
  s.apply(1);
  EXPECT_EQ(s.sc, (std::vector<double>{1.0, 1.0, 1.0, 1.0}));
}

TEST(Scaling, ObjectiveRowScaleAndReducedCosts) {
  // Row 2 is the free objective row: it is scaled by its largest entry.
  TestLP lp = TestLP::dense({{1, 2}, {3, -40}}, {0, -kInf}, {5, kInf}, {0, 0}, {kInf, kInf}, 2);
  Scale s(lp, 2);
  s.compute();
  s.apply(1);
  EXPECT_NEAR(std::max(std::fabs(s.lp.a[1]), std::fabs(s.lp.a[3])), 1.0, 1e-9);
  EXPECT_EQ(s.ctx.run.objscale, s.row(2));
  std::vector<double> rc = {2.0, 4.0, 6.0, 8.0};
  unscale_rc(4, CDvec(s.sc.data(), 4), Dvec(rc.data(), 4));
  for (int j = 0; j < 4; ++j) EXPECT_DOUBLE_EQ(rc[j], (2.0 * (j + 1)) / s.sc[j]);
  s.apply(0);
  EXPECT_EQ(s.ctx.run.objscale, 1.0);
}

TEST(Scaling, NetlibProblemsRoundTrip) {
  // Real matrices: scales are positive and finite, and scale/unscale
  // restores every array.
  for (const char* name : {"afiro", "sc50a", "adlittle", "blend", "share2b", "israel", "e226", "forplan",
                           "boeing1", "tuff", "degen2", "etamacro", "bore3d", "grow7", "lotfi"}) {
    TestLP lp = tvtest::netlib_lp(name);
    Lcg g{static_cast<uint64_t>(lp.m)};
    for (auto& p : lp.pi) p = g.next() - 0.5;
    for (int j = 0; j < lp.n; ++j) lp.xn[j] = std::clamp(g.next() * 10.0, lp.bl[j], lp.bu[j]);
    for (int opt = 1; opt <= 2; ++opt) {
      Scale s(lp, opt);
      s.compute();
      for (double v : s.sc) {
        ASSERT_TRUE(v > 0.0 && std::isfinite(v)) << name;
      }
      expect_round_trip(s, strf("%s, Scale option %d", name, opt));
    }
  }
}

TEST(Scaling, EmptyShapesAreHarmless) {
  Scale none(TestLP::dense({}, {}, {}, {0, 0}, {1, kInf}), 2);  // columns, no rows
  none.compute();
  for (double v : none.sc) EXPECT_EQ(v, 1.0);
  none.apply(1);
  none.apply(0);
  EXPECT_EQ(none.lp.bu[1], kInf);
  Scale empty(TestLP::dense({{0}, {0}}, {0, 0}, {1, 1}, {0}, {1}), 2);  // an empty column
  empty.compute();
  for (double v : empty.sc) EXPECT_TRUE(v > 0.0 && std::isfinite(v));
}
