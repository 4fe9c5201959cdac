#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/m2amat.h"
#include "core/run_state.h"
#include "lu/m2crsh.h"
#include "options/params.h"

using namespace tv;
using tvtest::kInf;
using tvtest::TestLP;

namespace {

constexpr int kPrint = 9;

struct Crash {
  Context ctx;
  TestLP lp;
  std::vector<int32_t> rowtype, rowstate;

  explicit Crash(TestLP p, int crashopt = 1, double crashtol = 0.1) : lp(std::move(p)) {
    ctx.io.attach_buffer(kPrint);
    ctx.par.prtfile = kPrint;
    ctx.par.crashopt = crashopt;
    ctx.par.crashtol = crashtol;
  }
  CrashStats run(int mode) {
    Problem P = lp.view();
    rowtype.assign(lp.m, -1);
    m2amat(ctx, 2, P, Ivec(rowtype.data(), lp.m));
    rowstate.assign(lp.m, -7);
    ctx.io.clear_buffer(kPrint);
    return m2crsh(ctx, mode, P, CIvec(rowtype.data(), lp.m), Ivec(rowstate.data(), lp.m));
  }
  std::vector<std::string> out() const { return tvtest::lines(ctx.io.buffer(kPrint)); }
  int nbasic() const { return static_cast<int>(std::count(lp.hs.begin(), lp.hs.end(), 3)); }
  int hs_slack(int i) const { return lp.hs[lp.n + i - 1]; }
  double x_slack(int i) const { return lp.xn[lp.n + i - 1]; }
};

std::string stats1(int s, int f, int p) {
  return strf(" Slacks%6d  Free cols%6d  Preferred%6d", s, f, p);
}
std::string stats2(int u, int d, int t, int pad) {
  return strf(" Unit  %6d  Double   %6d  Triangle %6d  Pad%6d", u, d, t, pad);
}

// Rank of the basis matrix (columns of the basic variables) by Gaussian
// elimination with partial pivoting.
int basis_rank(const TestLP& lp) {
  const int m = lp.m;
  std::vector<std::vector<double>> B;
  for (int j = 1; j <= lp.n + m; ++j) {
    if (lp.hs[j - 1] != 3) continue;
    std::vector<double> col(m, 0.0);
    if (j <= lp.n) {
      for (int k = lp.ka[j - 1]; k < lp.ka[j]; ++k) col[lp.ha[k - 1] - 1] += lp.a[k - 1];
    } else {
      col[j - lp.n - 1] = 1.0;
    }
    B.push_back(col);
  }
  int rank = 0;
  const int nc = static_cast<int>(B.size());
  std::vector<bool> used(m, false);
  for (int c = 0; c < nc; ++c) {
    int piv = -1;
    double best = 1e-12;
    for (int i = 0; i < m; ++i) {
      if (!used[i] && std::fabs(B[c][i]) > best) {
        best = std::fabs(B[c][i]);
        piv = i;
      }
    }
    if (piv < 0) continue;
    used[piv] = true;
    ++rank;
    for (int c2 = c + 1; c2 < nc; ++c2) {
      const double f = B[c2][piv] / B[c][piv];
      for (int i = 0; i < m; ++i) B[c2][i] -= f * B[c][i];
    }
  }
  return rank;
}

}  // namespace

TEST(Crash, OptionZeroGivesTheAllSlackBasis) {
  // rows: 0 <= x1 + x2 <= 10, x1 - x2 = 0; x = (1, 2)
  Crash c(TestLP::dense({{1, 1}, {1, -1}}, {0, 0}, {10, 0}, {0, 0}, {5, 5}), 0);
  c.lp.xn = {1, 2, 0, 0};
  c.lp.hs = {3, 2, 0, 1};
  c.run(0);
  EXPECT_EQ(c.lp.hs, (std::vector<int>{0, 0, 3, 3}));
  EXPECT_EQ(c.x_slack(1), -3.0);  // slacks are minus the row activities
  EXPECT_EQ(c.x_slack(2), 1.0);
  EXPECT_EQ(c.out(), (std::vector<std::string>{"", "", " Crash option  0"}));
}

TEST(Crash, SlackNearItsBoundStaysNonbasicOnTheBound) {
  // One inequality row x1 <= 10 (slack bounds [-10, +inf)), x1 in [0, 20].
  // Activity 9.8: the slack is 0.2 inside its lower bound.
  Crash c(TestLP::dense({{1}}, {-kInf}, {10}, {0}, {20}));
  c.lp.xn = {9.8, 0};
  c.run(1);
  EXPECT_EQ(c.hs_slack(1), 0);
  EXPECT_EQ(c.x_slack(1), -10.0);
  EXPECT_EQ(c.lp.hs[0], 3);  // the column covers the row instead
  EXPECT_EQ(c.out(), (std::vector<std::string>{"", "", " Crash option  1", stats1(0, 0, 0),
                                               stats2(1, 0, 0, 0)}));

  // 0 <= x1 <= 10 with activity 9.7: 0.3 inside both bounds, the slack is basic.
  Crash d(TestLP::dense({{1}}, {0}, {10}, {0}, {20}));
  d.lp.xn = {9.7, 0};
  d.run(1);
  EXPECT_EQ(d.hs_slack(1), 3);
  EXPECT_EQ(d.x_slack(1), -9.7);
  EXPECT_EQ(d.lp.hs[0], 0);
  EXPECT_EQ(d.out(), (std::vector<std::string>{"", "", " Crash option  1", stats1(1, 0, 0),
                                               stats2(0, 0, 0, 0)}));

  // Near the upper bound: activity 0.2 on 0 <= x1 <= 10 puts the slack on -0.
  Crash e(TestLP::dense({{1}}, {0}, {10}, {0}, {20}));
  e.lp.xn = {0.2, 0};
  e.run(1);
  EXPECT_EQ(e.hs_slack(1), 1);
  EXPECT_EQ(e.x_slack(1), 0.0);
}

TEST(Crash, FreeColumnsNeedBoundsOfAtLeastTenThousand) {
  // Two equality rows, a diagonal matrix.
  auto lp = [](double lo) {
    return TestLP::dense({{1, 0}, {0, 1}}, {1, 1}, {1, 1}, {lo, 0}, {1.0e4, 1});
  };
  Crash c(lp(-1.0e4));
  c.run(1);
  EXPECT_EQ(c.lp.hs[0], 3);
  EXPECT_EQ(c.lp.hs[1], 3);
  EXPECT_EQ(c.out()[3], stats1(0, 1, 0));
  EXPECT_EQ(c.out()[4], stats2(1, 0, 0, 0));

  Crash d(lp(-9999));
  d.run(1);
  EXPECT_EQ(d.out()[3], stats1(0, 0, 0));
  EXPECT_EQ(d.out()[4], stats2(2, 0, 0, 0));
}

TEST(Crash, TinyColumnsAndTheCrashTolerance) {
  // A column whose largest entry is 0.001 is never chosen; 0.0011 is.
  Crash c(TestLP::dense({{0.001}}, {1}, {1}, {0}, {kInf}));
  c.run(1);
  EXPECT_EQ(c.lp.hs[0], 0);
  EXPECT_EQ(c.hs_slack(1), 3);
  EXPECT_EQ(c.out()[4], stats2(0, 0, 0, 1));
  Crash d(TestLP::dense({{0.0011}}, {1}, {1}, {0}, {kInf}));
  d.run(1);
  EXPECT_EQ(d.lp.hs[0], 3);
  EXPECT_EQ(d.out()[4], stats2(1, 0, 0, 0));

  // Entries 1.0 and 0.05 in two equality rows: with Crash tolerance 0.1 the
  // small one does not count (a unit column); with 0.01 it does (a double).
  auto lp = TestLP::dense({{1.0}, {0.05}}, {1, 1}, {1, 1}, {0}, {kInf});
  Crash e(lp, 1, 0.1);
  e.run(1);
  EXPECT_EQ(e.out()[4], stats2(1, 0, 0, 1));
  EXPECT_EQ(e.lp.hs, (std::vector<int>{3, 0, 3}));  // pivot in row 1, row 2 padded
  Crash f(lp, 1, 0.01);
  f.run(1);
  EXPECT_EQ(f.out()[4], stats2(0, 1, 0, 1));
  EXPECT_EQ(f.lp.hs, (std::vector<int>{3, 0, 3}));
}

TEST(Crash, PreferredColumnsComeBeforeUnitColumns) {
  // Columns 1 and 2 both fit row 1; column 2 was basic before (hs = 3) and
  // is preferred.  Column 1 stays nonbasic.
  Crash c(TestLP::dense({{1, 2}}, {3}, {3}, {0, 0}, {kInf, kInf}));
  c.lp.hs = {0, 3, 0};
  c.run(1);
  EXPECT_EQ(c.lp.hs, (std::vector<int>{0, 3, 0}));
  EXPECT_EQ(c.out()[3], stats1(0, 0, 1));
  // A preferred column that is not chosen stays nonbasic between its bounds.
  Crash d(TestLP::dense({{1, 2}}, {3}, {3}, {0, 0}, {kInf, kInf}));
  d.lp.hs = {3, 3, 0};
  d.run(1);
  EXPECT_EQ(d.lp.hs, (std::vector<int>{3, -1, 0}));
}

TEST(Crash, RecoversATriangularMatrixCompletely) {
  // Upper triangular in column order (column j has entries in the rows
  // holding positions 1..j), rows stored in a scrambled order.
  const int n = 6;
  const int rowof[n] = {3, 6, 1, 5, 2, 4};
  std::vector<std::vector<double>> A(n, std::vector<double>(n, 0.0));
  for (int j = 0; j < n; ++j) {
    for (int p = 0; p <= j; ++p) A[rowof[p] - 1][j] = (p == j) ? 0.5 + j : 1.0 + 0.25 * (p + j);
  }
  std::vector<double> rhs(n, 1.0), lo(n, 0.0), up(n, 10.0);
  Crash c(TestLP::dense(A, rhs, rhs, lo, up));
  CrashStats st = c.run(1);
  for (int j = 0; j < n; ++j) EXPECT_EQ(c.lp.hs[j], 3) << "column " << j + 1;
  for (int i = 1; i <= n; ++i) EXPECT_EQ(c.hs_slack(i), 0) << "slack " << i;
  EXPECT_EQ(basis_rank(c.lp), n);
  EXPECT_EQ(st.nbasic, n);
  EXPECT_EQ(c.out(), (std::vector<std::string>{"", "", " Crash option  1", stats1(0, 0, 0),
                                               stats2(1, 1, 4, 0)}));
}

TEST(Crash, CrashedBasisOfAMixedProblemIsComplete) {
  // Equality, inequality and free rows; every basis has m members and full rank.
  std::vector<std::vector<double>> A = {
      {1, 2, 0, 0, 1}, {0, 1, 3, 0, 0}, {4, 0, 1, 1, 0}, {1, 1, 1, 1, 1}, {0, 0, 2, 5, 1}};
  const std::vector<double> lo = {2, -kInf, 1, -kInf, 0};
  const std::vector<double> up = {2, 4, 1, kInf, 3};
  for (int mode = 0; mode <= 3; ++mode) {
    Crash c(TestLP::dense(A, lo, up, {0, 0, -kInf, 0, 0}, {9, 9, kInf, 9, 9}), mode);
    c.lp.xn = {0.5, 0.5, 0.5, 0.5, 0.5, 0, 0, 0, 0, 0};
    c.run(mode);
    EXPECT_EQ(c.nbasic(), 5) << "mode " << mode;
    EXPECT_EQ(basis_rank(c.lp), 5) << "mode " << mode;
  }
}

TEST(Crash, ModeThreeWithoutLinearEqualityRowsChoosesNothing) {
  Crash c(TestLP::dense({{1, 1}, {1, -1}}, {0, -kInf}, {4, 1}, {0, 0}, {kInf, kInf}), 3);
  c.lp.hs = {3, 0, 0, 0};
  c.lp.xn = {1, 1, 0, 0};
  CrashStats st = c.run(3);
  EXPECT_EQ(st.ncrash, 0);
  EXPECT_EQ(c.lp.hs, (std::vector<int>{-1, 0, 3, 3}));
  EXPECT_EQ(c.out(), (std::vector<std::string>{"", "", " Crash option  3", "",
                                               " Crash on linear E  rows:"}));
}

TEST(Crash, ModeThreeCrashesOnlyTheLinearEqualityRows) {
  // Row 1 nonlinear, row 2 linear equality, row 3 linear inequality.
  TestLP lp = TestLP::dense({{1, 0, 1}, {1, 0.5, 0}, {0, 1, 1}}, {-kInf, 2, 0}, {kInf, 2, 5},
                            {0, 0, 0}, {9, 9, 9});
  lp.nncon = 1;
  lp.nnjac = 3;
  Crash c(lp, 3);
  c.run(3);
  EXPECT_EQ(c.lp.hs, (std::vector<int>{3, 0, 0, 3, 0, 3}));
  EXPECT_EQ(c.out(), (std::vector<std::string>{"", "", " Crash option  3", "",
                                               " Crash on linear E  rows:", stats1(0, 0, 0),
                                               stats2(1, 0, 0, 0)}));
  // Mode 2 keeps the nonlinear row's slack and crashes rows 2 and 3.
  Crash d(lp, 2);
  d.lp.xn = {0, 0, 0.5, 0, 0, 0};
  d.run(2);
  EXPECT_EQ(d.hs_slack(1), 3);
  EXPECT_EQ(d.nbasic(), 3);
  EXPECT_EQ(basis_rank(d.lp), 3);
}

TEST(Crash, ModeFourKeepsTheEqualityBasisAndCountsTheRealBasis) {
  // As above after a mode-3 crash and phase 1: column 1 covers the equality
  // row, column 3 entered in place of the inequality row's slack, which left
  // at its upper bound.  The nonlinear row's slack value is not -A x.
  TestLP lp = TestLP::dense({{1, 0, 1}, {1, 0.5, 0}, {0, 1, 1}}, {-kInf, 2, 0}, {kInf, 2, 5},
                            {0, 0, 0}, {9, 9, 9});
  lp.nncon = 1;
  lp.nnjac = 3;
  Crash c(lp, 3);
  c.lp.hs = {3, 0, 3, 3, 0, 1};
  c.lp.xn = {2, 0, 0, 123.0, -2, 0};
  c.run(4);
  EXPECT_EQ(c.out()[0], "");
  EXPECT_EQ(c.out()[1], " Crash on linear LG rows:");
  EXPECT_EQ(c.nbasic(), 3);  // never more than m basic variables
  EXPECT_EQ(c.lp.hs[0], 3);
  EXPECT_EQ(c.lp.hs[2], 3);
  EXPECT_EQ(c.x_slack(1), 123.0);
  EXPECT_EQ(c.x_slack(3), 0.0);  // on its upper bound
  EXPECT_EQ(c.hs_slack(3), 1);
  EXPECT_EQ(basis_rank(c.lp), 3);

  // Phase 1 left the inequality slack basic and well inside: it stays basic.
  Crash d(lp, 3);
  d.lp.hs = {3, 0, 0, 3, 0, 3};
  d.lp.xn = {2, 0, 1, 7.0, -2, -1};
  d.run(4);
  EXPECT_EQ(d.hs_slack(3), 3);
  EXPECT_EQ(d.nbasic(), 3);
  EXPECT_EQ(d.out()[2], stats1(1, 0, 0));
}

TEST(Crash, ModeFourWithOnlyNonlinearRowsDoesNothing) {
  TestLP lp = TestLP::dense({{1, 2}, {3, 4}}, {0, 0}, {1, 1}, {0, 0}, {9, 9});
  lp.nncon = 2;
  lp.nnjac = 2;
  Crash c(lp, 3);
  c.lp.hs = {3, 0, 0, 3};
  c.lp.xn = {0.5, 0.25, 7, 8};
  c.run(4);
  EXPECT_EQ(c.lp.hs, (std::vector<int>{3, 0, 0, 3}));
  EXPECT_EQ(c.lp.xn, (std::vector<double>{0.5, 0.25, 7, 8}));
  EXPECT_EQ(c.out(), (std::vector<std::string>{"", " Crash on linear LG rows:"}));
}

TEST(Crash, ModeFiveCrashesTheNonlinearRows) {
  // Rows 1, 2 nonlinear; row 3 linear equality covered by column 3.  Column 1
  // was made basic in row 1 before.
  TestLP lp = TestLP::dense({{1, 0, 0, 1}, {0, 2, 0, 1}, {0, 0, 1, 1}}, {0, 0, 1}, {4, 4, 1},
                            {0, 0, 0, 0}, {9, 9, 9, 9});
  lp.nncon = 2;
  lp.nnjac = 4;
  Crash c(lp, 2);
  c.lp.hs = {3, 0, 3, 0, 0, 3, 0};
  c.lp.xn = {0, 0, 1, 0, -0.1, -2, -1};
  c.run(5);
  EXPECT_EQ(c.out()[1], " Crash on nonlinear rows:");
  EXPECT_EQ(c.nbasic(), 3);
  EXPECT_EQ(c.lp.hs[0], 3);
  EXPECT_EQ(c.lp.hs[2], 3);
  EXPECT_EQ(basis_rank(c.lp), 3);
  EXPECT_EQ(c.lp.xn[6], -1.0);  // linear rows untouched
}

TEST(Crash, EmptyShapesAreHarmless) {
  Crash c(TestLP::dense({}, {}, {}, {0, 0}, {1, kInf}));
  for (int mode = 0; mode <= 5; ++mode) EXPECT_EQ(c.run(mode).nbasic, 0);
  Crash d(TestLP::dense({{0}, {0}}, {0, 0}, {1, 1}, {0}, {1}));  // an empty column
  d.run(1);
  EXPECT_EQ(d.lp.hs, (std::vector<int>{0, 3, 3}));
}
