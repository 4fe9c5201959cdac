// Factorization: residuals of the stored factors and of every solve mode for
// many random matrices under the four pivoting rules, and ranks.
#include <gtest/gtest.h>

#include <set>

#include "lu_box.h"

using namespace lutest;

namespace {

// Checks P A Q = L U from the stored factors and the solves of modes 1..6.
void check_factors(LuBox& b, const Entries& e, int rule, const std::string& what) {
  SCOPED_TRACE(what + " rule " + std::to_string(rule));
  ASSERT_TRUE(b.guard_intact());
  const double amax = b.rp[10], lmax = std::max(1.0, b.rp[11]), umax = std::max(b.rp[12], amax);
  const double scale = (amax + lmax * umax) * (b.m + b.n);
  EXPECT_LE(lu_error(b, e), 1e-14 * scale + 1e-12 * amax);
  EXPECT_LE(b.rp[11], std::max(b.rp[1], 1.0001) * (1 + 1e-12));  // multipliers bounded by Ltol

  std::vector<double> A = dense(b.m, b.n, e), U = b.dense_U();
  Maker mk(7);
  // Mode 1: L y = v.
  std::vector<double> v(b.m), w(b.n), y;
  for (auto& x : v) x = mk.val();
  y = v;
  b.solve(1, y, w);
  b.apply_L(y);
  for (int i = 0; i < b.m; ++i) EXPECT_NEAR(y[i], v[i], 1e-12 * lmax * b.m);
  // Mode 2: L' y = v.
  y = v;
  b.solve(2, y, w);
  b.apply_Lt(y);
  for (int i = 0; i < b.m; ++i) EXPECT_NEAR(y[i], v[i], 1e-12 * lmax * b.m);
  // Mode 3: U w = v on the pivot rows (v zero beyond the rank).
  const int r = b.nrank();
  std::vector<double> vr(b.m, 0.0);
  for (int k = 1; k <= r; ++k) vr[b.iperm[k - 1] - 1] = mk.val();
  y = vr;
  EXPECT_EQ(b.solve(3, y, w), 0);
  double wmax = maxabs(w);
  for (int i = 0; i < b.m; ++i) {
    double s = 0;
    for (int j = 0; j < b.n; ++j) s += U[size_t(i) * b.n + j] * w[j];
    EXPECT_NEAR(s, vr[i], 1e-11 * (umax * wmax + 1));
  }
  // Mode 4: U' v = w on the pivot columns.
  std::vector<double> wr(b.n, 0.0);
  for (int k = 1; k <= r; ++k) wr[b.jperm[k - 1] - 1] = mk.val();
  w = wr;
  int inf4 = b.solve(4, y, w);
  if (r == b.n) {
    EXPECT_EQ(inf4, 0);  // columns beyond the rank may leave a residual
  }
  double ymax = maxabs(y);
  for (int k = 1; k <= r; ++k) {
    int j = b.jperm[k - 1] - 1;
    double s = 0;
    for (int i = 0; i < b.m; ++i) s += U[size_t(i) * b.n + j] * y[i];
    EXPECT_NEAR(s, wr[j], 1e-11 * (umax * ymax + 1));
  }
  // Modes 5 and 6 against A itself when A is square and nonsingular.
  if (b.m == b.n && r == b.n && b.ip[11] == 0) {
    std::vector<double> x(b.n), rhs(b.m, 0.0);
    for (auto& t : x) t = mk.val();
    for (int i = 0; i < b.m; ++i)
      for (int j = 0; j < b.n; ++j) rhs[i] += A[size_t(i) * b.n + j] * x[j];
    y = rhs;
    EXPECT_EQ(b.solve(5, y, w), 0);
    double res = 0, an = 0;
    for (int i = 0; i < b.m; ++i) {
      double s = 0, rown = 0;
      for (int j = 0; j < b.n; ++j) {
        s += A[size_t(i) * b.n + j] * w[j];
        rown += std::fabs(A[size_t(i) * b.n + j]);
      }
      res = std::max(res, std::fabs(s - rhs[i]));
      an = std::max(an, rown);
    }
    EXPECT_LE(res, 1e-12 * an * maxabs(w) * b.n * std::max(1.0, b.rp[16]) + 1e-14);
    // Mode 6: A' v = w.
    std::vector<double> rhs2(b.n, 0.0);
    for (int j = 0; j < b.n; ++j)
      for (int i = 0; i < b.m; ++i) rhs2[j] += A[size_t(i) * b.n + j] * x[i];
    w = rhs2;
    EXPECT_EQ(b.solve(6, y, w), 0);
    res = 0;
    for (int j = 0; j < b.n; ++j) {
      double s = 0;
      for (int i = 0; i < b.m; ++i) s += A[size_t(i) * b.n + j] * y[i];
      res = std::max(res, std::fabs(s - rhs2[j]));
    }
    EXPECT_LE(res, 1e-12 * an * maxabs(y) * b.n * std::max(1.0, b.rp[16]) + 1e-14);
  }
}

Entries scaled(Entries e, Maker& mk, double span) {
  int m = 0, n = 0;
  for (auto& x : e) {
    m = std::max(m, x.i);
    n = std::max(n, x.j);
  }
  std::vector<double> rs(m + 1), cs(n + 1);
  for (auto& t : rs) t = std::pow(10.0, mk.uni(-span, span));
  for (auto& t : cs) t = std::pow(10.0, mk.uni(-span, span));
  for (auto& x : e) x.v *= rs[x.i] * cs[x.j];
  return e;
}

Entries with_dense_block(Maker& mk, int n, int nb) {
  Entries e = mk.basis(n, n / 3, 2);
  std::set<std::pair<int, int>> have;
  for (auto& x : e) have.insert({x.i, x.j});
  int r0 = n - nb, c0 = n - nb;
  for (int i = r0 + 1; i <= n; ++i)
    for (int j = c0 + 1; j <= n; ++j)
      if (!have.count({i, j})) {
        e.push_back({i, j, mk.val()});
      }
  return e;
}

// Like the bases of problems with dense columns: a slack on row N, columns of
// two entries (their own row and row N), k dense columns over every row, and
// random labels.  The slack pivot turns the two-entry columns into column
// singletons, and each of their rows must leave every dense column.
Entries dense_columns(Maker& mk, int N, int k, std::vector<int>& rl, std::vector<int>& cl) {
  rl.resize(N + 1);
  cl.resize(N + 1);
  for (int i = 0; i <= N; ++i) rl[i] = cl[i] = i;
  std::shuffle(rl.begin() + 1, rl.end(), mk.rng);
  std::shuffle(cl.begin() + 1, cl.end(), mk.rng);
  Entries e{{rl[N], cl[N], 1.0}};
  for (int i = 1; i <= N - 1 - k; ++i) {
    e.push_back({rl[i], cl[i], 2.0 + mk.uni(0, 1)});
    e.push_back({rl[N], cl[i], mk.val()});
  }
  for (int d = N - k; d <= N - 1; ++d)
    for (int i = 1; i <= N; ++i) e.push_back({rl[i], cl[d], i == d ? 4.0 : mk.val()});
  mk.shuffle(e);
  return e;
}

}  // namespace

TEST(LuFactor, ResidualsOfRandomMatricesUnderEveryRule) {
  for (int seed = 1; seed <= 12; ++seed) {
    Maker mk(seed);
    int n = 20 + 7 * seed;
    std::vector<std::pair<std::string, std::pair<int, Entries>>> cases;
    cases.push_back({"square", {n, mk.square(n, 3)}});
    cases.push_back({"basis", {n, mk.basis(n, n / 2, 3)}});
    cases.push_back({"dense block", {n, with_dense_block(mk, n, 12)}});
    cases.push_back({"badly scaled", {n, scaled(mk.square(n, 3), mk, 4.0)}});
    cases.push_back({"no diagonal help", {n, mk.square(n, 4, false)}});
    for (auto& [name, c] : cases) {
      Entries e = c.second;
      mk.shuffle(e);
      for (int rule = 0; rule <= 2; ++rule) {
        LuBox b(n, n, int(e.size()) * 8 + 4 * n + 200);
        int inform = b.factor(e, rule);
        ASSERT_TRUE(inform == 0 || inform == 1) << name << " inform " << inform;
        check_factors(b, e, rule, name);
      }
    }
  }
}

TEST(LuFactor, RectangularMatricesAndDenseRemainder) {
  for (int seed = 1; seed <= 8; ++seed) {
    Maker mk(100 + seed);
    for (auto [m, n] : {std::pair{40, 25}, std::pair{25, 40}, std::pair{60, 60}}) {
      Entries e = mk.sparse(m, n, 6 + seed);  // dense enough to reach the dense stage
      for (int rule = 0; rule <= 2; ++rule) {
        LuBox b(m, n, int(e.size()) * 6 + 4 * (m + n) + 4 * m * n);
        b.rp[7] = 0.1;  // switch to dense early
        b.rp[8] = 0.2;
        int inform = b.factor(e, rule);
        ASSERT_TRUE(inform == 0 || inform == 1) << inform;
        EXPECT_LE(b.nrank(), std::min(m, n));
        check_factors(b, e, rule, "rect " + std::to_string(m) + "x" + std::to_string(n));
      }
    }
  }
}

TEST(LuFactor, SymmetricRuleOnSymmetricMatrices) {
  for (int seed = 1; seed <= 6; ++seed) {
    Maker mk(200 + seed);
    int n = 30 + 5 * seed;
    Entries e;
    for (int i = 1; i <= n; ++i) e.push_back({i, i, 4.0 + mk.uni(0, 1)});
    std::set<std::pair<int, int>> have;
    for (int c = 0; c < 2 * n; ++c) {
      int i = mk.pick(1, n), j = mk.pick(1, n);
      if (i == j || have.count({i, j})) continue;
      double v = mk.uni(-1, 1);
      have.insert({i, j});
      have.insert({j, i});
      e.push_back({i, j, v});
      e.push_back({j, i, v});
    }
    LuBox b(n, n, int(e.size()) * 10 + 4 * n + 100);
    ASSERT_EQ(b.factor(e, 3), 0);
    for (int k = 1; k <= n; ++k) EXPECT_EQ(b.iperm[k - 1], b.jperm[k - 1]);  // diagonal pivots only
    check_factors(b, e, 3, "symmetric");
    // Modes 7 and 8: L D L' v = b with D the diagonal of U.
    std::vector<double> rhs(n), v, w(n);
    for (auto& t : rhs) t = mk.val();
    std::vector<double> U = b.dense_U();
    for (int mode : {7, 8}) {
      v = rhs;
      EXPECT_EQ(b.solve(mode, v, w), 0);
      std::vector<double> t = v;
      b.apply_Lt(t);
      for (int i = 1; i <= n; ++i) {
        double d = U[size_t(i - 1) * n + i - 1];
        t[i - 1] *= mode == 7 ? d : std::fabs(d);
      }
      b.apply_L(t);
      for (int i = 0; i < n; ++i) EXPECT_NEAR(t[i], rhs[i], 1e-10);
    }
  }
}

TEST(LuFactor, KnownRankFlagsTheDependentColumns) {
  for (int rule = 0; rule <= 2; ++rule) {
    for (int seed = 1; seed <= 5; ++seed) {
      Maker mk(300 + seed);
      const int n = 40;
      Entries e = mk.square(n, 3);
      // Empty columns 5 and 17, and column 30 a copy of column 9 (an exact dependency).
      Entries e2;
      for (auto& x : e)
        if (x.j != 5 && x.j != 17 && x.j != 30) e2.push_back(x);
      for (auto& x : e)
        if (x.j == 9) e2.push_back({x.i, 30, x.v});
      LuBox b(n, n, int(e2.size()) * 8 + 500);
      ASSERT_EQ(b.factor(e2, rule), 1);
      EXPECT_EQ(b.nrank(), n - 3);
      EXPECT_EQ(b.ip[11], 3);  // nsing
      std::set<int> flagged;
      for (int j = 1; j <= n; ++j)
        if (b.wcol[j - 1] < 0 || (b.wcol[j - 1] == 0 && std::signbit(b.wcol[j - 1]))) flagged.insert(j);
      EXPECT_TRUE(flagged.count(5) && flagged.count(17));
      EXPECT_TRUE(flagged.count(9) || flagged.count(30));
      EXPECT_EQ(int(flagged.size()), 3);
      EXPECT_TRUE(flagged.count(b.ip[12]));  // jsng is one of them
      check_factors(b, e2, rule, "rank deficient");
    }
  }
}

TEST(LuFactor, FactorsNotKeptGiveTheSameRankAndDiagonals) {
  Maker mk(400);
  const int n = 50;
  Entries e = mk.basis(n, 20, 3);
  Entries e2;
  for (auto& x : e)
    if (x.j != 33) e2.push_back(x);  // one empty column
  LuBox keep(n, n, 4000), nokeep(n, n, 4000);
  ASSERT_EQ(keep.factor(e2, 0, true), 1);
  ASSERT_EQ(nokeep.factor(e2, 0, false), 1);
  EXPECT_EQ(keep.nrank(), nokeep.nrank());
  EXPECT_EQ(keep.iperm, nokeep.iperm);
  EXPECT_EQ(keep.jperm, nokeep.jperm);
  EXPECT_EQ(nokeep.ip[20], 0);  // nlcols
  EXPECT_EQ(nokeep.ip[25], 0);  // rowend
  EXPECT_LT(nokeep.wcol[32], 0.0 + 1e-300);
  EXPECT_TRUE(std::signbit(nokeep.wcol[32]));
  // Diagonals stored by column at the end of a.
  for (int k = 1; k <= keep.nrank(); ++k) {
    int i = keep.iperm[k - 1], j = keep.jperm[k - 1];
    EXPECT_EQ(nokeep.a[nokeep.lena - n + j - 1], keep.a[keep.locrow[i - 1] - 1]);
  }
  EXPECT_DOUBLE_EQ(keep.rp[14], nokeep.rp[14]);
}

TEST(LuFactor, SolvesWithSmallRightHandSides) {
  Maker mk(500);
  const int n = 30;
  Entries e = mk.square(n, 3);
  LuBox b(n, n, 3000);
  ASSERT_EQ(b.factor(e), 0);
  std::vector<double> v(n, 0.0), w(n, 7.0);
  for (int mode = 1; mode <= 8; ++mode) {
    std::fill(v.begin(), v.end(), 0.0);
    std::fill(w.begin(), w.end(), mode == 4 || mode == 6 ? 0.0 : 7.0);
    EXPECT_EQ(b.solve(mode, v, w), 0) << mode;
    EXPECT_EQ(maxabs(v), 0.0) << mode;
    if (mode == 3 || mode == 5) {
      EXPECT_EQ(maxabs(w), 0.0) << mode;
    }
  }
  // One significant entry in the last pivot row: only that row is used.
  std::fill(v.begin(), v.end(), 0.0);
  int ilast = b.iperm[n - 1], jlast = b.jperm[n - 1];
  v[ilast - 1] = 2.0;
  std::fill(w.begin(), w.end(), 9.0);
  EXPECT_EQ(b.solve(3, v, w), 0);
  double d = b.a[b.locrow[ilast - 1] - 1];
  EXPECT_EQ(w[jlast - 1], 2.0 / d);
  std::vector<double> U = b.dense_U();
  for (int i = 0; i < n; ++i) {
    double s = 0;
    for (int j = 0; j < n; ++j) s += U[size_t(i) * n + j] * w[j];
    EXPECT_NEAR(s, i == ilast - 1 ? 2.0 : 0.0, 1e-12);
  }
  // Values at or below small count as zero.
  std::fill(v.begin(), v.end(), 0.0);
  for (int i = 0; i < n; ++i) v[i] = 1e-14;
  EXPECT_EQ(b.solve(3, v, w), 0);
  EXPECT_EQ(maxabs(w), 0.0);
  // Unknown mode: nothing changes.
  v.assign(n, 3.0);
  int inform = 55;
  tv::lu6sol(9, n, n, tv::Dvec(v.data(), n), tv::Dvec(w.data(), n), b.lena, b.luipar(), b.lurpar(), b.f,
             inform);
  EXPECT_EQ(inform, 55);
  EXPECT_EQ(v[0], 3.0);
}

TEST(LuFactor, RankDeficientSolveReportsTheResidual) {
  // [1 1; 1 1]: rank 1, a right-hand side outside the range gives code 1.
  Entries e{{1, 1, 2.0}, {2, 1, 2.0}, {1, 2, 2.0}, {2, 2, 2.0}};
  LuBox b(2, 2, 100);
  ASSERT_EQ(b.factor(e), 1);
  EXPECT_EQ(b.nrank(), 1);
  std::vector<double> v{1.0, 0.0}, w(2);
  EXPECT_EQ(b.solve(5, v, w), 1);
  EXPECT_GT(b.rp[20], 0.0);
  v = {1.0, 1.0};
  EXPECT_EQ(b.solve(5, v, w), 0);
  EXPECT_EQ(b.rp[20], 0.0);
}

TEST(LuFactor, DenseColumnsUnderColumnSingletonsGiveTheSameFactorsWhateverTheRoom) {
  // With room the singleton stage pairs the entries of the two files and takes
  // pivot rows out of columns without searching them; with less room it drops
  // that pairing part way (or never makes it) and searches.  The factors must
  // not depend on which.
  for (int seed = 1; seed <= 3; ++seed) {
    Maker mk(600 + seed);
    const int N = 150 + 40 * seed, k = 6 + seed;
    std::vector<int> rl, cl;
    Entries e = dense_columns(mk, N, k, rl, cl);
    const int nent = int(e.size());
    LuBox roomy(N, N, 8 * nent + 1000);
    ASSERT_EQ(roomy.factor(e), 0);
    EXPECT_EQ(roomy.ip[28], N - k);  // Utri: the slack and every two-entry column
    check_factors(roomy, e, 0, "dense columns");
    const int lenlu = roomy.lenL() + roomy.lenU();
    for (int lena : {2 * nent + lenlu, nent + lenlu + 4 * N}) {
      SCOPED_TRACE(lena);
      LuBox b(N, N, lena);
      ASSERT_EQ(b.factor(e), 0);
      EXPECT_EQ(b.ip[26], 0);  // no compression: the layouts must agree exactly
      EXPECT_EQ(b.iperm, roomy.iperm);
      EXPECT_EQ(b.jperm, roomy.jperm);
      EXPECT_EQ(b.lenrow, roomy.lenrow);
      EXPECT_EQ(b.locrow, roomy.locrow);
      ASSERT_EQ(b.lenU(), roomy.lenU());
      ASSERT_EQ(b.lenL(), roomy.lenL());
      for (int l = 0; l < b.lenU(); ++l) {
        EXPECT_EQ(b.a[l], roomy.a[l]);
        EXPECT_EQ(b.indr[l], roomy.indr[l]);
      }
      for (int l = 1; l <= b.lenL(); ++l) {
        EXPECT_EQ(b.a[b.lena - l], roomy.a[roomy.lena - l]);
        EXPECT_EQ(b.indc[b.lena - l], roomy.indc[roomy.lena - l]);
        EXPECT_EQ(b.indr[b.lena - l], roomy.indr[roomy.lena - l]);
      }
    }
    // Factors not kept, in room for the files but not for the pairing.
    LuBox nokeep(N, N, nent + N + 6 * N);
    ASSERT_EQ(nokeep.factor(e, 0, false), 0);
    EXPECT_EQ(nokeep.iperm, roomy.iperm);
    EXPECT_EQ(nokeep.jperm, roomy.jperm);
    for (int kk = 1; kk <= N; ++kk)
      EXPECT_EQ(nokeep.a[nokeep.lena - N + roomy.jperm[kk - 1] - 1], roomy.a[roomy.locrow[roomy.iperm[kk - 1] - 1] - 1]);
  }
}
