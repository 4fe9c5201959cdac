// Degenerate problems: EXPAND keeps the simplex moving and puts the
// nonbasic variables back on their bounds.
#include <gtest/gtest.h>

#include "common/mps_lp.h"
#include <cmath>
#include <cstdio>
#include <vector>

#include "simplex/enumerate.h"
#include "simplex/harness.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

using namespace spxtest;

namespace {

// A classic cycling example for the textbook rule:
// min -3/4 x1 + 20 x2 - 1/2 x3 + 6 x4
//   1/4 x1 -  8 x2 -   x3 + 9 x4 <= 0
//   1/2 x1 - 12 x2 - 1/2 x3 + 3 x4 <= 0
//                        x3      <= 1,   x >= 0.     Optimum -5/4.
TestLP cycling() {
  return TestLP::dense({{0.25, -8, -1, 9}, {0.5, -12, -0.5, 3}, {0, 0, 1, 0}, {-0.75, 20, -0.5, 6}},
                       {-kInf, -kInf, -kInf, -kInf}, {0, 0, 1, kInf}, {0, 0, 0, 0},
                       {kInf, kInf, kInf, kInf}, 4);
}

// Many constraints through the origin: every early step is degenerate.
TestLP pyramid(int k) {
  std::vector<std::vector<double>> A;
  std::vector<double> lo, up;
  for (int i = 0; i < k; ++i) {
    A.push_back({1.0 + i, -1.0, 1.0 - 0.5 * i});
    lo.push_back(-kInf);
    up.push_back(0.0);
  }
  A.push_back({1, 1, 1});
  lo.push_back(-kInf);
  up.push_back(10.0);
  A.push_back({-2, -1, -1});
  lo.push_back(-kInf);
  up.push_back(kInf);
  return TestLP::dense(A, lo, up, {0, 0, 0}, {kInf, kInf, kInf}, k + 2);
}

}  // namespace

TEST(Degenerate, CyclingExampleSolved) {
  LoopRun r(cycling(), [](tv::Context& c) { opt_i(c, "Partial price", 1); });
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -1.25, 1e-9);
  EXPECT_GT(r.ctx.spx.ndegen, 0);  // the first steps are degenerate: moved by tau / |pivot|
  EXPECT_LT(r.primal_error(), 1e-12);
  const std::string line =
      tv::strf(" No. of degenerate steps%14d   Percentage%27.2f", r.ctx.spx.ndegen,
               100.0 * r.ctx.spx.ndegen / r.itn());
  EXPECT_TRUE(has(r.prt(), line));
  EXPECT_TRUE(has(r.sum(), line));
}

TEST(Degenerate, WithoutExpandStepsMayBeZero) {
  LoopRun r(cycling(), [](tv::Context& c) { opt_i(c, "Expand frequency", 99999999); });
  r.slack_basis();
  r.solve();
  EXPECT_EQ(r.ctx.spx.tau, 0.0);
  EXPECT_EQ(r.inform, 0);
  EXPECT_NEAR(r.obj(), -1.25, 1e-9);
}

TEST(Degenerate, ResetsPutNonbasicsBackOnBounds) {
  // A short Expand frequency makes resets frequent; the degenerate steps
  // leave variables slightly outside their bounds, which a reset repairs.
  LoopRun r(pyramid(12), [](tv::Context& c) {
    opt_i(c, "Expand frequency", 2);
    opt_i(c, "Partial price", 1);
  });
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  const Vertex v = enumerate_vertices(r.lp, 1);
  EXPECT_NEAR(r.obj(), v.obj, 1e-9);
  EXPECT_LT(r.primal_error(), 1e-12);  // nothing is left outside a bound at the end
  EXPECT_GT(r.ctx.spx.ndegen, 0);
}

TEST(Degenerate, ResetLineFormat) {
  // Degenerate Netlib problem: resets print their line with the counts.
  LoopRun r(tvtest::netlib_lp("blend"));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  const std::string prt = r.prt();
  const auto pos = prt.find("  nonbasics set on bound, basics recomputed");
  ASSERT_NE(pos, std::string::npos);
  const std::string line = prt.substr(prt.rfind('\n', pos) + 1, pos - prt.rfind('\n', pos) - 1);
  int itn = 0, count = 0;
  ASSERT_EQ(std::sscanf(line.c_str(), " Itn%9d --%8d", &itn, &count), 2);
  EXPECT_EQ(line, tv::strf(" Itn%9d --%8d", itn, count));
  EXPECT_GT(count, 0);
  EXPECT_TRUE(has(r.sum(), line + "  nonbasics set on bound, basics recomputed"));
}

namespace {

// Every nonbasic variable (external states 0, 1) exactly on its bound.
int off_bound(const LoopRun& r) {
  int off = 0;
  for (int j = 1; j <= r.P.nb; ++j) {
    const int h = r.P.hs(j);
    if ((h == 0 && r.P.xn(j) != r.P.bl(j)) || (h == 1 && r.P.xn(j) != r.P.bu(j))) ++off;
  }
  return off;
}

}  // namespace

// degen2 from the slack basis: the phase-2 steps are degenerate enough to
// switch bound perturbation on; it is removed before the optimal exit, so
// the optimum is that of the true bounds, every nonbasic variable on one.
TEST(Degenerate, PerturbationOnInPhaseTwoOffBeforeTheExit) {
  LoopRun r(tvtest::netlib_lp("degen2"));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -1435.178, 1e-6 * 1435.178);
  const std::string prt = r.prt();
  const auto on = prt.find(" -- bounds perturbed against degeneracy");
  const auto off = prt.find(" -- bound perturbation removed,");
  const auto exit = prt.find(" EXIT -- optimal solution found");
  ASSERT_NE(on, std::string::npos);
  ASSERT_NE(off, std::string::npos);
  EXPECT_LT(on, off);
  EXPECT_LT(off, exit);
  EXPECT_TRUE(has(r.sum(), " -- bounds perturbed against degeneracy"));
  EXPECT_FALSE(r.ctx.spx.perturbed);
  EXPECT_EQ(r.ctx.spx.nperturb, 1);
  EXPECT_LT(r.primal_error(), 1e-9);
  EXPECT_EQ(off_bound(r), 0);
}

// A limit reached while perturbation is in force: the point returned has
// its nonbasic variables on their true bounds and the basic ones
// recomputed (the rows hold), and the infeasibilities are counted against
// the true bounds.
TEST(Degenerate, LimitDuringPerturbationReturnsTrueBounds) {
  int itn_on = 0;
  {
    LoopRun r(tvtest::netlib_lp("degen2"));
    r.slack_basis();
    ASSERT_EQ(r.solve(), 0);
    const std::string prt = r.prt();
    const auto on = prt.find(" -- bounds perturbed against degeneracy");
    ASSERT_NE(on, std::string::npos);
    const auto bol = prt.rfind('\n', on) + 1;
    ASSERT_EQ(std::sscanf(prt.c_str() + bol, " Itn%9d", &itn_on), 1);
  }
  LoopRun r(tvtest::netlib_lp("degen2"), [&](tv::Context& c) { opt_i(c, "Iterations limit", itn_on + 25); });
  r.slack_basis();
  EXPECT_EQ(r.solve(), 3);
  EXPECT_TRUE(has(r.prt(), " -- bound perturbation removed,"));
  EXPECT_FALSE(r.ctx.spx.perturbed);
  EXPECT_EQ(off_bound(r), 0);
  double rows = 0.0;  // A x + s = 0 within rounding
  std::vector<double> ax(r.P.m + 1, 0.0);
  for (int j = 1; j <= r.P.n; ++j)
    for (int l = r.P.ka(j); l < r.P.ka(j + 1); ++l) ax[r.P.ha(l)] += r.P.a(l) * r.P.xn(j);
  for (int i = 1; i <= r.P.m; ++i) rows = std::max(rows, std::fabs(ax[i] + r.P.xn(r.P.n + i)));
  EXPECT_LT(rows, 1e-9);
  // The final statistics count what the true bounds leave infeasible.
  double worst = 0.0;
  for (int j = 1; j <= r.P.nb; ++j) worst = std::max({worst, r.P.bl(j) - r.P.xn(j), r.P.xn(j) - r.P.bu(j)});
  EXPECT_EQ(r.ctx.spx.ninf > 0, worst > r.ctx.spx.delta);
}

// The ratio test given the list of y's nonzeros (what a simplex iteration
// passes it) chooses as the pass over every position does: the same row,
// bound, step and degenerate count, ties included (values drawn from a few
// levels so that many ratios are equal).
TEST(Degenerate, RatioTestOverTheNonzerosOfY) {
  LoopRun r(pyramid(40));
  tv::Context& ctx = r.ctx;
  const int count = r.P.m + 1;
  std::vector<int> fe(count + 1), nz(count + 1);
  std::vector<double> lo(count + 1), up(count + 1), x(count + 1), y(count + 1);
  unsigned seed = 12345;
  auto next = [&seed](int k) {
    seed = seed * 1103515245u + 12345u;
    return static_cast<int>((seed >> 16) % static_cast<unsigned>(k));
  };
  const double levels[] = {0.5, 1.0, 2.0, 1e-12, 3.0};
  for (int trial = 0; trial < 400; ++trial) {
    SCOPED_TRACE(trial);
    int nnz = 0;
    for (int i = 1; i <= count; ++i) {
      fe[i] = next(3) - 1;
      lo[i] = next(4) == 0 ? -1e20 : -static_cast<double>(next(3));
      up[i] = next(4) == 0 ? 1e20 : static_cast<double>(next(3));
      x[i] = fe[i] < 0 ? lo[i] - 1.0 : fe[i] > 0 ? up[i] + 1.0 : 0.0;
      if (std::abs(x[i]) > 1e19) x[i] = 0.0;
      y[i] = next(10) < 7 ? 0.0 : (next(2) ? 1.0 : -1.0) * levels[next(5)];
      if (y[i] != 0.0) nz[++nnz] = i;
    }
    ctx.spx.delta = next(2) ? 0.0 : 1e-7;
    ctx.spx.tau = 1e-11;
    tv::CIvec bsfeas(fe.data() + 1, count), list(nz.data() + 1, count);
    tv::CDvec bl(lo.data() + 1, count), bu(up.data() + 1, count), xb(x.data() + 1, count),
        yv(y.data() + 1, count);
    const int d0 = ctx.spx.ndegen;
    const tv::ChzrResult a = tv::m5chzr(ctx, count, 1e13, 1e20, 1e-11, bsfeas, bl, bu, xb, yv);
    const int d1 = ctx.spx.ndegen;
    const tv::ChzrResult b = tv::m5chzr(ctx, count, 1e13, 1e20, 1e-11, bsfeas, bl, bu, xb, yv, list, nnz);
    EXPECT_EQ(a.jr, b.jr);
    EXPECT_EQ(a.hitlow, b.hitlow);
    EXPECT_EQ(a.unbounded, b.unbounded);
    EXPECT_EQ(a.onbound, b.onbound);
    EXPECT_EQ(a.move, b.move);
    EXPECT_EQ(a.step, b.step);
    EXPECT_EQ(a.bound, b.bound);
    EXPECT_EQ(ctx.spx.ndegen - d1, d1 - d0);
  }
}
