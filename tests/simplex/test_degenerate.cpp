// Degenerate problems: EXPAND keeps the simplex moving and puts the
// nonbasic variables back on their bounds.
#include <gtest/gtest.h>

#include "common/mps_lp.h"
#include <cstdio>

#include "simplex/enumerate.h"
#include "simplex/harness.h"
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
