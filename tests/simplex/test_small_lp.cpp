// The main loop on small linear programs with known answers.
#include <gtest/gtest.h>

#include <random>

#include "core/run_state.h"
#include "lu/basis_state.h"
#include "options/params.h"
#include "simplex/enumerate.h"
#include "simplex/harness.h"
#include "simplex/simplex_state.h"

using namespace spxtest;
using tv::strf;

namespace {

// min -x1 - 2 x2  s.t.  x1 + x2 <= 4,  x1 + 3 x2 <= 6,  x >= 0:  x = (3, 1), -5.
TestLP two_var() {
  return TestLP::dense({{1, 1}, {1, 3}, {-1, -2}}, {-kInf, -kInf, -kInf}, {4, 6, kInf}, {0, 0},
                       {kInf, kInf}, 3);
}

}  // namespace

TEST(SmallLp, OptimalTwoVariables) {
  LoopRun r(two_var());
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -5.0, 1e-9);
  EXPECT_NEAR(r.P.xn(1), 3.0, 1e-9);
  EXPECT_NEAR(r.P.xn(2), 1.0, 1e-9);
  EXPECT_LT(r.primal_error(), 1e-9);
  EXPECT_TRUE(has(r.prt(), " EXIT -- optimal solution found"));
  EXPECT_TRUE(has(r.sum(), " EXIT -- optimal solution found"));
  // External states on return.
  for (int j = 1; j <= r.P.nb; ++j) EXPECT_TRUE(r.P.hs(j) >= 0 && r.P.hs(j) <= 3);
}


namespace {

// A random bounded LP: columns with finite (sometimes equal) bounds or free
// columns limited by a range row, rows of every type, the objective last.
TestLP random_lp(std::mt19937& rng, int m, int n) {
  std::uniform_int_distribution<int> coef(-5, 5), kind(0, 5), zero(0, 3);
  std::vector<std::vector<double>> A(m + 1, std::vector<double>(n, 0.0));
  std::vector<double> rlo(m + 1), rup(m + 1), clo(n), cup(n);
  std::vector<int> freecols;
  for (int j = 0; j < n; ++j) {
    const int k = kind(rng);
    if (k == 0) {
      clo[j] = cup[j] = coef(rng);  // fixed
    } else if (k == 1) {
      clo[j] = -kInf;  // free, limited by a row below
      cup[j] = kInf;
      freecols.push_back(j);
    } else {
      clo[j] = coef(rng) - 5;
      cup[j] = clo[j] + 1 + std::abs(coef(rng)) * 2;
    }
  }
  for (int i = 0; i < m; ++i) {
    for (int j = 0; j < n; ++j) A[i][j] = zero(rng) == 0 ? 0.0 : coef(rng);
    const double mid = coef(rng) * 2.0;
    switch (kind(rng)) {
      case 0: rlo[i] = rup[i] = mid; break;
      case 1: rlo[i] = -kInf; rup[i] = mid + 3; break;
      case 2: rlo[i] = mid - 3; rup[i] = kInf; break;
      case 3: rlo[i] = -kInf; rup[i] = kInf; break;
      default: rlo[i] = mid - 4; rup[i] = mid + 4; break;
    }
  }
  for (int f : freecols) {  // rows that keep the free columns bounded
    std::vector<double> row(n, 0.0);
    row[f] = 1.0;
    A.insert(A.begin() + m, row);
    rlo.insert(rlo.begin() + m, -7.0);
    rup.insert(rup.begin() + m, 6.0);
    ++m;
  }
  for (int j = 0; j < n; ++j) A[m][j] = coef(rng);
  rlo[m] = -kInf;
  rup[m] = kInf;
  return TestLP::dense(A, rlo, rup, clo, cup, m + 1);
}

}  // namespace

// Optimal values and infeasibility against vertex enumeration, minimizing
// and maximizing, from the slack basis, with either pricing rule.
TEST(SmallLp, RandomAgainstVertexEnumeration) {
  std::mt19937 rng(20261208);
  int nopt = 0, ninfeas = 0;
  for (int trial = 0; trial < 300; ++trial) {
    const int m = 1 + trial % 9, n = 1 + (trial / 9) % 4;
    const TestLP lp = random_lp(rng, m, n);
    const int sense = trial % 3 == 0 ? -1 : 1;
    const Vertex v = enumerate_vertices(lp, sense);
    for (const int rule : {tv::kPriceDevex, tv::kPricePartial}) {
      LoopRun r(lp, [&](tv::Context& c) {
        opt_i(c, "IPARM 6", rule);
        opt_i(c, "Iterations limit", 1000);
        if (sense < 0) {
          int e = 0;
          tv::tvopt(c, "Maximize", 0, 0, e);
        }
      });
      r.slack_basis();
      const int inform = r.solve();
      SCOPED_TRACE(strf("trial %d m %d n %d sense %d rule %d", trial, m, n, sense, rule));
      if (v.feasible) {
        ++nopt;
        ASSERT_EQ(inform, 0);
        EXPECT_NEAR(r.obj(), v.obj, 1e-7 * (1.0 + std::fabs(v.obj)));
        EXPECT_LT(r.primal_error(), 1e-6);
      } else {
        ++ninfeas;
        ASSERT_EQ(inform, 1);
        EXPECT_GT(r.ctx.spx.ninf, 0);
        EXPECT_TRUE(has(r.sum(), " EXIT -- the problem is infeasible"));
      }
    }
  }
  EXPECT_GT(nopt, 100);
  EXPECT_GT(ninfeas, 100);
}

TEST(SmallLp, AlreadyOptimalStartEndsWithoutIterations) {
  // min x1 + x2, x1 + x2 <= 4, x >= 0: the slack basis is optimal.
  LoopRun r(TestLP::dense({{1, 1}, {1, 1}}, {-kInf, -kInf}, {4, kInf}, {0, 0}, {kInf, kInf}, 2));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_EQ(r.itn(), 0);
  EXPECT_EQ(r.ctx.bas.nfactor, 1);
  EXPECT_TRUE(has(r.prt(), " EXIT -- optimal solution found"));
  EXPECT_TRUE(has(r.prt(), " No. of iterations                   0   Objective value      0.0000000000E+00"));
  EXPECT_TRUE(has(r.prt(), " No. of degenerate steps             0   Percentage                       0.00"));
}

TEST(SmallLp, Unbounded) {
  // min -x1  s.t.  x1 - x2 <= 1, x >= 0.
  LoopRun r(TestLP::dense({{1, -1}, {-1, 0}}, {-kInf, -kInf}, {1, kInf}, {0, 0}, {kInf, kInf}, 2));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 2);
  const std::string prt = r.prt();
  EXPECT_TRUE(has(prt, " Variable       2  can increase indefinitely"));
  EXPECT_TRUE(has(prt, " EXIT -- the problem is unbounded  (or badly scaled)."));
  EXPECT_TRUE(has(r.sum(), " EXIT -- the problem is unbounded  (or badly scaled)."));
}

TEST(SmallLp, UnboundedDecreasing) {
  // max x1 - x2  with x2 free below:  x1 <= 3, x2 <= 1.
  LoopRun r(TestLP::dense({{1, 0}, {1, -1}}, {-kInf, -kInf}, {3, kInf}, {0, -kInf}, {kInf, 1}, 2),
            [](tv::Context& c) {
              int e = 0;
              tv::tvopt(c, "Maximize", 0, 0, e);
            });
  r.slack_basis();
  r.P.xn(2) = 0.0;
  EXPECT_EQ(r.solve(), 2);
  EXPECT_TRUE(has(r.prt(), "  can decrease indefinitely"));
}

TEST(SmallLp, Infeasible) {
  // x1 + x2 >= 5 with 0 <= x <= 1.
  LoopRun r(TestLP::dense({{1, 1}, {1, 0}}, {5, -kInf}, {kInf, kInf}, {0, 0}, {1, 1}, 2));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 1);
  EXPECT_EQ(r.ctx.spx.ninf, 1);
  EXPECT_NEAR(r.ctx.spx.sinf, 3.0, 1e-9);
  const std::string prt = r.prt();
  EXPECT_TRUE(has(prt, " EXIT -- the problem is infeasible"));
  EXPECT_TRUE(has(prt, " No. of infeasibilities              1   Sum of infeas        3.0000000000E+00"));
  EXPECT_EQ(r.ctx.run.ninf, 1);
}

TEST(SmallLp, IterationLimit) {
  LoopRun r(two_var(), [](tv::Context& c) { opt_i(c, "Iterations limit", 1); });
  r.slack_basis();
  EXPECT_EQ(r.solve(), 3);
  EXPECT_EQ(r.itn(), 1);
  EXPECT_TRUE(has(r.prt(), " EXIT -- too many iterations"));
  EXPECT_TRUE(has(r.sum(), " EXIT -- too many iterations"));
}

TEST(SmallLp, FreeFixedAndRangedVariables) {
  // min x1 + 2 x2 - x3 with x1 free, x2 fixed at 1.5, x3 in [-1, 2];
  // rows: -3 <= x1 + x3 <= 10 (range), x1 - x2 >= -4.
  // Optimum: x3 = 2, x1 = max(-5, -2.5) = -2.5 -> obj -2.5 + 3 - 2 = -1.5.
  LoopRun r(TestLP::dense({{1, 0, 1}, {1, -1, 0}, {1, 2, -1}}, {-3, -4, -kInf}, {10, kInf, kInf},
                          {-kInf, 1.5, -1}, {kInf, 1.5, 2}, 3));
  r.slack_basis();
  r.P.xn(1) = 0.0;
  r.P.xn(2) = 1.5;
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -1.5, 1e-9);
  EXPECT_NEAR(r.P.xn(1), -2.5, 1e-9);
  EXPECT_NEAR(r.P.xn(2), 1.5, 0.0);
  EXPECT_NEAR(r.P.xn(3), 2.0, 1e-9);
  EXPECT_EQ(r.P.hs(2), 0);  // a fixed nonbasic variable is returned as 0
}

TEST(SmallLp, ObjectiveConstantAndMaximize) {
  TestLP lp = two_var();
  lp.objconst = 10.0;
  LoopRun r(lp, [](tv::Context& c) {
    int e = 0;
    tv::tvopt(c, "Maximize", 0, 0, e);
  });
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), 10.0, 1e-12);  // max -x1 - 2x2 is at x = 0
}

TEST(SmallLp, FactorizationFrequencyOne) {
  std::mt19937 rng(7);
  for (int trial = 0; trial < 40; ++trial) {
    const TestLP lp = random_lp(rng, 4, 4);
    const Vertex v = enumerate_vertices(lp, 1);
    LoopRun r(lp, [](tv::Context& c) { opt_i(c, "Factorization frequency", 1); });
    r.slack_basis();
    const int inform = r.solve();
    SCOPED_TRACE(trial);
    EXPECT_NE(inform, 12);
    EXPECT_FALSE(has(r.prt(), "requested twice in a row"));
    if (v.feasible) {
      EXPECT_EQ(inform, 0);
      EXPECT_NEAR(r.obj(), v.obj, 1e-7 * (1.0 + std::fabs(v.obj)));
      EXPECT_EQ(r.ctx.bas.nfactor, std::max(r.itn(), 0) + 1);
    } else {
      EXPECT_EQ(inform, 1);
    }
  }
}

TEST(SmallLp, ObjectiveChangeLimitFollowsRows) {
  LoopRun small(two_var());
  small.slack_basis();
  small.solve();
  EXPECT_EQ(small.ctx.spx.nsamelim, 1000);
}

TEST(SmallLp, OneRowOnlyObjective) {
  // Only the objective row: min x1 - x2 with 0 <= x <= 2 (bound flips only).
  LoopRun r(TestLP::dense({{1, -1}}, {-kInf}, {kInf}, {0, 0}, {2, 2}, 1));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -2.0, 0.0);
  EXPECT_EQ(r.P.hs(2), 1);
  EXPECT_EQ(r.ctx.bas.nupd, 0);  // bound flips change no basis column
}

TEST(SmallLp, NoRowsAndBetweenBoundsFallback) {
  // No rows at all; x2 starts strictly between its bounds and, with nothing
  // else to price, moves to a bound: up when |bl| >= |bu|, else down (to -1).
  LoopRun r(TestLP::dense({}, {}, {}, {0, -1}, {2, 3}));
  r.slack_basis();
  EXPECT_EQ(r.solve(), 0);
  EXPECT_EQ(r.itn(), 1);
  EXPECT_EQ(r.P.xn(2), -1.0);
  EXPECT_EQ(r.obj(), 0.0);
}

TEST(SmallLp, ObjectiveSlackEntersAndLeaves) {
  // The objective row starts nonbasic (its slack at a finite bound) and has
  // finite limits, so its slack can enter and leave the basis.
  // min x1 + x2 - row1 coupling: objective row  -1 <= x1 - x2 <= 3, row 2:
  // x1 + x2 >= 1, 0 <= x <= 4.  Optimum of x1 - x2 at x = (0, 4) is -4, but
  // the row limits keep it >= -1: optimum -1.
  TestLP lp = TestLP::dense({{1, -1}, {1, 1}}, {-1, 1}, {3, kInf}, {0, 0}, {4, 4}, 1);
  const Vertex v = enumerate_vertices(lp, 1);
  ASSERT_TRUE(v.feasible);
  EXPECT_NEAR(v.obj, -1.0, 1e-12);
  LoopRun r(lp);
  r.slack_basis();
  r.P.hs(r.P.n + 1) = 0;  // objective slack nonbasic at its lower bound -3
  r.P.xn(r.P.n + 1) = -3.0;
  r.P.hs(1) = 3;          // x1 basic in its place
  EXPECT_EQ(r.solve(), 0);
  EXPECT_NEAR(r.obj(), -1.0, 1e-9);
  EXPECT_LT(r.primal_error(), 1e-9);
}

// Random start bases (often singular, sometimes with too few basic
// variables) and varied pricing and factorization settings reach the same
// optimum as the slack basis.
TEST(SmallLp, RandomStartBasesAndSettings) {
  std::mt19937 rng(99);
  for (int trial = 0; trial < 300; ++trial) {
    const int m = 2 + trial % 8, n = 2 + (trial / 8) % 3;
    const TestLP lp = random_lp(rng, m, n);
    const Vertex v = enumerate_vertices(lp, 1);
    const int facfreq = 1 + trial % 3, parp = 1 + trial % 2, expfreq = trial % 5 == 0 ? 3 : 10000;
    const int rule = trial % 4 < 2 ? tv::kPricePartial : tv::kPriceDevex;
    LoopRun r(lp, [&](tv::Context& c) {
      opt_i(c, "IPARM 6", rule);
      opt_i(c, "Factorization frequency", facfreq);
      opt_i(c, "Partial price", parp);
      opt_i(c, "Expand frequency", expfreq);
      opt_i(c, "Iterations limit", 1000);
    });
    r.slack_basis();
    std::uniform_int_distribution<int> pick(1, r.P.nb);
    for (int j = 1; j <= r.P.nb; ++j) r.P.hs(j) = 0;
    const int nbasic = r.P.m - trial % 2;
    for (int k = 0; k < nbasic; ++k) r.P.hs(pick(rng)) = 3;
    const int inform = r.solve(trial % 3 == 0 ? 1 : 0);
    SCOPED_TRACE(strf("trial %d", trial));
    if (v.feasible) {
      ASSERT_EQ(inform, 0);
      EXPECT_NEAR(r.obj(), v.obj, 1e-7 * (1.0 + std::fabs(v.obj)));
      EXPECT_LT(r.primal_error(), 1e-6);
    } else {
      ASSERT_EQ(inform, 1);
    }
  }
}
