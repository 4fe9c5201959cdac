// The basis factorization manager: solve conventions, updates, singular
// repair, basis re-choice, growth reaction and the errors of the LU package.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <vector>

#include "core/kernels.h"
#include "lu/basis_state.h"
#include "lu/m2bsol.h"
#include "options/params.h"
#include "simplex/harness.h"

using namespace spxtest;
using tv::Dvec;
using tv::Ivec;

namespace {

// Random sparse problem with m rows and n columns (no objective row).
TestLP random_matrix(std::mt19937& rng, int m, int n) {
  std::uniform_real_distribution<double> val(-3.0, 3.0);
  std::uniform_int_distribution<int> pick(0, 2);
  std::vector<std::vector<double>> A(m, std::vector<double>(n, 0.0));
  for (int j = 0; j < n; ++j) {
    for (int i = 0; i < m; ++i) {
      if (pick(rng) == 0 || i == j % m) A[i][j] = val(rng);
    }
  }
  return TestLP::dense(A, std::vector<double>(m, -kInf), std::vector<double>(m, kInf),
                       std::vector<double>(n, 0.0), std::vector<double>(n, 10.0));
}

// B times x for the basis in kbs(1..m).
std::vector<double> bmul(const tv::Problem& P, Ivec kbs, const std::vector<double>& x) {
  std::vector<double> r(P.m + 1, 0.0);
  for (int k = 1; k <= P.m; ++k) {
    const int j = kbs(k);
    if (j > P.n) {
      r[j - P.n] += x[k];
    } else {
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) r[P.ha(l)] += P.a(l) * x[k];
    }
  }
  return r;
}

// B' times pi.
std::vector<double> btmul(const tv::Problem& P, Ivec kbs, Dvec pi) {
  std::vector<double> r(P.m + 1, 0.0);
  for (int k = 1; k <= P.m; ++k) {
    const int j = kbs(k);
    if (j > P.n) {
      r[k] = pi(j - P.n);
    } else {
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) r[k] += P.a(l) * pi(P.ha(l));
    }
  }
  return r;
}

tv::FactorResult factor(LoopRun& r, const char* type = "B ") {
  tv::FactorRequest rq;
  rq.factype = type;
  return tv::m2bfac(r.ctx, rq, r.P, r.ns);
}

}  // namespace

// Request 2 takes the right-hand side in its first vector (which keeps L^-1
// times it for request 4) and writes the solution to the second; request 3
// solves with B'; request 4 replaces a column using what request 2 left.
TEST(BasisManager, SolveAndUpdateConventions) {
  std::mt19937 rng(11);
  const int m = 12, n = 30;
  LoopRun r(random_matrix(rng, m, n));
  r.slack_basis();
  for (int j = 1; j <= m; ++j) {  // half structural basis
    if (j % 2 == 0) {
      r.P.hs(j) = 3;
      r.P.hs(n + j) = 0;
    }
  }
  factor(r);
  ASSERT_EQ(r.ctx.bas.ierr, 0);
  tv::Workspace& ws = r.ctx.ws;
  Ivec kbs = ws.ivec(r.ctx.part.kbs);
  Dvec y = ws.dvec(r.ctx.part.y), y2 = ws.dvec(r.ctx.part.y2);
  std::vector<double> wpi(m + 1);
  Dvec pi(wpi.data() + 1, m);

  for (int update = 0; update < 8; ++update) {
    // A nonbasic column enters at some position.
    int jq = 0;
    for (int j = 1 + update * 3; j <= n; ++j) {
      if (r.P.hs(j) != 3) {
        jq = j;
        break;
      }
    }
    ASSERT_GT(jq, 0);
    tv::m2unpk(jq, m, n, r.P.a, r.P.ha, r.P.ka, y2);
    tv::m2bsol(r.ctx, tv::kFtran, y2, y);
    std::vector<double> x(m + 1);
    for (int k = 1; k <= m; ++k) x[k] = y(k);
    std::vector<double> b = bmul(r.P, kbs, x);
    std::vector<double> aq(m + 1, 0.0);
    for (int l = r.P.ka(jq); l < r.P.ka(jq + 1); ++l) aq[r.P.ha(l)] = r.P.a(l);
    for (int i = 1; i <= m; ++i) EXPECT_NEAR(b[i], aq[i], 1e-10);
    // Leave at the position with the largest |y|.
    int jr = 1;
    for (int k = 2; k <= m; ++k) {
      if (std::fabs(y(k)) > std::fabs(y(jr))) jr = k;
    }
    const int before = r.ctx.bas.nupd;
    tv::m2bsol(r.ctx, tv::kReplace, y2, y, jr);
    EXPECT_EQ(r.ctx.bas.nupd, before + 1);
    EXPECT_EQ(r.ctx.bas.demand, 0);
    r.P.hs(kbs(jr)) = 0;
    r.P.hs(jq) = 3;
    kbs(jr) = jq;
    // FTRAN and BTRAN with the updated factors.
    std::uniform_real_distribution<double> val(-1.0, 1.0);
    std::vector<double> rhs(m + 1);
    for (int i = 1; i <= m; ++i) rhs[i] = y2(i) = val(rng);
    tv::m2bsol(r.ctx, tv::kFtran, y2, y);
    for (int k = 1; k <= m; ++k) x[k] = y(k);
    b = bmul(r.P, kbs, x);
    for (int i = 1; i <= m; ++i) EXPECT_NEAR(b[i], rhs[i], 1e-9);
    for (int i = 1; i <= m; ++i) y(i) = rhs[i];
    tv::m2bsol(r.ctx, tv::kBtran, y, pi);
    b = btmul(r.P, kbs, pi);
    for (int k = 1; k <= m; ++k) EXPECT_NEAR(b[k], rhs[k], 1e-9);
  }
  EXPECT_EQ(r.ctx.bas.lenl + r.ctx.bas.lenu > 0, true);
}

TEST(BasisManager, FailedUpdateAsksForRefactorization) {
  std::mt19937 rng(3);
  LoopRun r(random_matrix(rng, 6, 10));
  r.slack_basis();
  factor(r);
  Dvec y = r.ctx.ws.dvec(r.ctx.part.y), y2 = r.ctx.ws.dvec(r.ctx.part.y2);
  for (int i = 1; i <= 6; ++i) y2(i) = 0.0;  // a zero column makes B singular
  tv::m2bsol(r.ctx, tv::kFtran, y2, y);
  tv::m2bsol(r.ctx, tv::kReplace, y2, y, 3);
  EXPECT_EQ(r.ctx.bas.demand, 7);
  EXPECT_EQ(r.ctx.bas.nupd, 1);
}

// wcol (in y) and the inverse permutations (in y2) are separate, so the
// singular flags that the repair reads are the ones the package wrote.
TEST(BasisManager, SingularBasisRepairedBySlacks) {
  // Columns 1 and 2 equal; column 3 empty.
  TestLP lp = TestLP::dense({{1, 1, 0}, {2, 2, 0}, {0, 0, 0}}, {-kInf, -kInf, -kInf}, {kInf, kInf, kInf},
                            {0, 0, 0}, {5, 5, 5});
  lp.xn = {1, 2, 5, 0, 0, 0};
  LoopRun r(lp, [](tv::Context& c) { opt_i(c, "Print level", 1); });
  for (int j = 1; j <= 3; ++j) r.P.hs(j) = 3;
  for (int i = 1; i <= 3; ++i) r.P.hs(3 + i) = 0;
  factor(r);
  ASSERT_EQ(r.ctx.bas.ierr, 0);
  int nbasic = 0, nslack = 0;
  for (int j = 1; j <= 6; ++j) nbasic += r.P.hs(j) == 3;
  for (int i = 1; i <= 3; ++i) nslack += r.P.hs(3 + i) == 3;
  EXPECT_EQ(nbasic, 3);
  EXPECT_EQ(nslack, 2);  // one of columns 1, 2 stays; the empty column 3 leaves
  EXPECT_NE(r.P.hs(3), 3);
  EXPECT_EQ(r.P.hs(3), 1);  // it was at its upper bound 5
  EXPECT_EQ(r.P.xn(3), 5.0);
  EXPECT_TRUE(has(r.prt(), " Column      3  replaced by slack"));
  EXPECT_EQ(r.ctx.par.luipar()(tv::lup::nsing), 0);  // the last factorization is nonsingular
}

TEST(BasisManager, DuplicateEntryIsErrorInBasisPackage) {
  // Column 1 holds two entries in row 1: the package rejects it (code 4).
  TestLP lp = TestLP::dense({{1, 1}, {1, -1}}, {-kInf, -kInf}, {kInf, kInf}, {0, 0}, {1, 1});
  lp.ha[1] = 1;  // second entry of column 1 moved to row 1
  LoopRun r(lp);
  r.slack_basis();
  r.P.hs(1) = 3;
  r.P.hs(3) = 0;
  EXPECT_EQ(r.solve(), 21);
  EXPECT_TRUE(has(r.prt(), " EXIT -- error in basis package"));
  EXPECT_TRUE(has(r.sum(), " EXIT -- error in basis package"));
}

TEST(BasisManager, BsRechoiceKeepsTheSets) {
  // Basis: structural columns 1..m, a diagonal matrix whose first entry is
  // tiny; superbasics: column m+1 (a good unit column in row 1) and m+2.
  const int m = 6, n = 8;
  std::vector<std::vector<double>> A(m, std::vector<double>(n, 0.0));
  for (int i = 0; i < m; ++i) A[i][i] = i == 0 ? 1e-8 : 1.0 + i;
  A[0][m] = 1.0;
  A[1][m + 1] = 0.5;
  A[2][m + 1] = 0.5;
  TestLP lp = TestLP::dense(A, std::vector<double>(m, -kInf), std::vector<double>(m, kInf),
                            std::vector<double>(n, 0.0), std::vector<double>(n, 10.0));
  LoopRun r(lp, [](tv::Context& c) { opt_i(c, "Superbasics limit", 5); });
  r.slack_basis();
  Ivec kbs = r.ctx.ws.ivec(r.ctx.part.kbs);
  for (int j = 1; j <= m; ++j) r.P.hs(j) = 3;
  for (int i = 1; i <= m; ++i) r.P.hs(n + i) = 0;
  r.ns = 2;
  r.P.hs(m + 1) = 2;
  r.P.hs(m + 2) = 2;
  kbs(m + 1) = m + 1;
  kbs(m + 2) = m + 2;
  tv::FactorResult fr = factor(r, "BS");
  ASSERT_EQ(fr.ierr, 0);
  EXPECT_TRUE(fr.made);
  EXPECT_EQ(r.ns, 2);
  int nbasic = 0, nsuper = 0;
  for (int j = 1; j <= r.P.nb; ++j) {
    nbasic += r.P.hs(j) == 3;
    nsuper += r.P.hs(j) == 2;
  }
  EXPECT_EQ(nbasic, m);
  EXPECT_EQ(nsuper, 2);
  for (int k = 1; k <= m; ++k) EXPECT_EQ(r.P.hs(kbs(k)), 3);
  for (int k = m + 1; k <= m + 2; ++k) EXPECT_EQ(r.P.hs(kbs(k)), 2);
  // The tiny column leaves the basis for the unit column.
  EXPECT_EQ(r.P.hs(1), 2);
  EXPECT_EQ(r.P.hs(m + 1), 3);
  EXPECT_EQ(fr.nexch, 1);
  EXPECT_TRUE(fr.superbasics_changed());
  EXPECT_EQ(r.ctx.bas.nbfac, 1);
  EXPECT_GT(r.ctx.bas.umin, 0.0);  // recorded after the re-choice
  EXPECT_EQ(r.ctx.par.luipar()(tv::lup::nsing), 0);

  // "BT" after a re-choice: plain factorization with the test armed.
  fr = factor(r, "BT");
  EXPECT_EQ(fr.ierr, 0);
  EXPECT_EQ(fr.nexch, 0);
  EXPECT_EQ(r.ctx.bas.nbfac, 2);

  // "BS" without superbasics is a plain factorization.
  LoopRun plain(lp);
  plain.slack_basis();
  EXPECT_EQ(factor(plain, "BS").nexch, 0);
  EXPECT_EQ(plain.ctx.bas.umin, 0.0);
  EXPECT_EQ(plain.ctx.bas.nbfac, 1);
}

TEST(BasisManager, GrowthSwitchesToRookPivoting) {
  // Small pivots accepted under a huge factor tolerance make U grow.
  const std::vector<std::vector<double>> A = {
      {1.02e-07, 0, 0.00313, 0, 3.75e-09, 0, 0},
      {0, -3.04e-06, 0, 0, 1.11e-11, 1.68e-09, 0},
      {0, 0, -3.54e-11, 0, 0, 0, -0.00281},
      {0, 0, 0, -2.47e-11, 0.000298, 0, -1.8e-07},
      {0, 0, 0, 1.38e-09, -0.000113, 0, 0},
      {0, 7.63e-05, 0, 0, 0, -3.23e-06, 1.38e-07},
      {7.56e-07, 0.00014, 0, 0, 4.52e-10, 0, 1.97e-06}};
  const int m = 7;
  TestLP lp = TestLP::dense(A, std::vector<double>(m, -kInf), std::vector<double>(m, kInf),
                            std::vector<double>(m, 0.0), std::vector<double>(m, 1.0));
  LoopRun r(lp, [](tv::Context& c) { opt_r(c, "LU factor tolerance", 1e12); });
  r.slack_basis();
  for (int j = 1; j <= m; ++j) {
    r.P.hs(j) = 3;
    r.P.hs(m + j) = 0;
  }
  factor(r);
  ASSERT_EQ(r.ctx.bas.ierr, 0);
  ASSERT_GE(r.ctx.par.lurpar()(tv::lur::growth) * r.ctx.par.mc.eps050, 1.0);
  EXPECT_EQ(r.ctx.par.lupivot(), tv::lu_rook);
  EXPECT_EQ(r.ctx.par.lufactol(), 10.0);
  EXPECT_EQ(r.ctx.par.luupdtol(), 10.0);
  EXPECT_TRUE(has(r.prt(), " LU Rook Pivoting invoked.  LU Factor tol =     10.00"));
  EXPECT_TRUE(has(r.sum(), " LU Rook Pivoting invoked.  LU Factor tol =     10.00"));
  EXPECT_FALSE(has(r.prt(), " LU Update tol reduced to"));  // 10 is not below 10
}

TEST(BasisManager, SymmetricRuleWithoutDiagonalIsErrorInBasisPackage) {
  TestLP lp = TestLP::dense({{0, 1, 2}, {1, 0, 3}, {2, 3, 0}}, {-kInf, -kInf, -kInf}, {kInf, kInf, kInf},
                            {0, 0, 0}, {1, 1, 1});
  LoopRun r(lp);
  r.ctx.par.lupivot() = tv::lu_symmetric;
  for (int j = 1; j <= 3; ++j) {
    r.P.hs(j) = 3;
    r.P.hs(3 + j) = 0;
  }
  factor(r);
  EXPECT_EQ(r.ctx.par.luipar()(tv::lup::inform), 9);
  EXPECT_EQ(r.ctx.bas.ierr, 21);
  EXPECT_TRUE(has(r.prt(), " EXIT -- error in basis package"));
  EXPECT_FALSE(has(r.prt(), "not enough storage"));
}
