// Column replacement: long sequences checked against fresh factorizations,
// rank drops and rises, row interchanges, and the result codes.
#include <gtest/gtest.h>

#include <iostream>

#include "lu_box.h"

using namespace lutest;

namespace {

std::vector<Column> columns_of(int n, const Entries& e) {
  std::vector<Column> cols(n);
  for (auto& x : e) cols[x.j - 1][x.i] = x.v;
  return cols;
}

// Solve A x = rhs with mode 5; returns x.
std::vector<double> solve5(LuBox& b, const std::vector<double>& rhs) {
  std::vector<double> v = rhs, w(b.n);
  b.solve(5, v, w);
  return w;
}

double residual(const std::vector<Column>& cols, int m, const std::vector<double>& x, const std::vector<double>& rhs) {
  std::vector<double> ax(m, 0.0);
  for (size_t j = 0; j < cols.size(); ++j)
    for (auto [i, v] : cols[j]) ax[i - 1] += v * x[j];
  double r = 0;
  for (int i = 0; i < m; ++i) r = std::max(r, std::fabs(ax[i] - rhs[i]));
  return r;
}

// An entering column as a simplex iteration makes one: a random sparse
// column c, its L solve in y (what the update takes) and the full FTRAN in
// w; the leaving position jrep is the largest entry of w.
struct Entering {
  Column c;
  std::vector<double> y, w;
  int jrep = 1;
};
Entering entering_column(LuBox& b, Maker& mk, int n) {
  Entering e;
  for (int t = mk.pick(1, 6); t > 0; --t) e.c[mk.pick(1, n)] = mk.val() * 2;
  e.y.assign(n, 0.0);
  e.w.assign(n, 0.0);
  for (auto [i, val] : e.c) e.y[i - 1] = val;
  b.solve(1, e.y, e.w);
  b.solve(3, e.y, e.w);
  for (int j = 2; j <= n; ++j)
    if (std::fabs(e.w[j - 1]) > std::fabs(e.w[e.jrep - 1])) e.jrep = j;
  return e;
}

}  // namespace

namespace {

// Compare the updated factors with a fresh factorization of the same matrix.
void compare_with_fresh(LuBox& b, const std::vector<Column>& cols, int rule, Maker& mk) {
  const int n = b.n;
  for (int k = 1; k <= b.nrank(); ++k) {
    int i = b.iperm[k - 1];
    ASSERT_GT(b.lenrow[i - 1], 0);
    ASSERT_EQ(b.indr[b.locrow[i - 1] - 1], b.jperm[k - 1]) << "diagonal first, position " << k;
  }
  ASSERT_TRUE(b.guard_intact());
  EXPECT_LE(lu_error(b, entries_of(cols)), 1e-9);
  LuBox fresh(n, n, 20000);
  int fi = fresh.factor(entries_of(cols), rule);
  ASSERT_TRUE(fi == 0 || fi == 1);
  EXPECT_EQ(b.nrank(), fresh.nrank());
  if (fi != 0) return;
  std::vector<double> xt(n), rhs(n, 0.0);
  for (auto& t : xt) t = mk.val();
  for (int j = 0; j < n; ++j)
    for (auto [i, val] : cols[j]) rhs[i - 1] += val * xt[j];
  std::vector<double> xu = solve5(b, rhs), xf = solve5(fresh, rhs);
  for (int j = 0; j < n; ++j) EXPECT_NEAR(xu[j], xf[j], 1e-8 * (1 + std::fabs(xf[j])));
  EXPECT_LE(residual(cols, n, xu, rhs), 1e-9);
  // BTRAN: A' y = w.
  std::vector<double> w(n), y(n), w2(n);
  for (auto& t : w) t = mk.val();
  w2 = w;
  b.solve(6, y, w2);
  for (int j = 0; j < n; ++j) {
    double s = 0;
    for (auto [i, val] : cols[j]) s += val * y[i - 1];
    EXPECT_NEAR(s, w[j], 1e-9);
  }
}

}  // namespace

TEST(LuUpdate, LongSimplexLikeSequencesMatchFreshFactorizations) {
  // As the basis manager does it: FTRAN the entering column (L solve, then
  // U solve into another vector), choose the leaving column by the largest
  // pivot, then replace with mode2 = 2 passing the L-solved vector as v and w.
  for (int rule = 0; rule <= 1; ++rule) {
    Maker mk(40 + rule);
    const int n = 60;
    std::vector<Column> cols = columns_of(n, mk.basis(n, 20, 3));
    LuBox b(n, n, 20000);
    ASSERT_EQ(b.factor(entries_of(cols), rule), 0);
    int nupd = 0, nrefac = 0, ndone = 0;
    for (int it = 1; it <= 400; ++it) {
      SCOPED_TRACE("update " + std::to_string(it));
      ++ndone;
      Entering e = entering_column(b, mk, n);
      const Column& c = e.c;
      std::vector<double>& y = e.y;
      const int jrep = e.jrep;
      if (std::fabs(e.w[jrep - 1]) < 0.1) continue;
      double diag = 0, vnorm = 0;
      int inform = b.replace(jrep, y, diag, vnorm, 2);
      ++nupd;
      cols[jrep - 1] = c;
      ASSERT_TRUE(inform == 0 || inform == -1) << inform;
      EXPECT_EQ(b.ip[15], nupd);
      if (inform != 0) {
        // The basis manager refactorizes on any nonzero code.
        ++nrefac;
        b.factor(entries_of(cols), rule);
        nupd = 0;
        continue;
      }
      compare_with_fresh(b, cols, rule, mk);
    }
    EXPECT_LE(nrefac, 3);
    EXPECT_GT(ndone, 300);
  }
}

TEST(LuUpdate, RankDropsAndRestores) {
  for (int rule = 0; rule <= 1; ++rule) {
    Maker mk(60 + rule);
    const int n = 50;
    std::vector<Column> cols = columns_of(n, mk.basis(n, 15, 3));
    LuBox b(n, n, 20000);
    ASSERT_EQ(b.factor(entries_of(cols), rule), 0);
    for (int it = 1; it <= 60; ++it) {
      SCOPED_TRACE("round " + std::to_string(it));
      int jrep = mk.pick(1, n);
      Column keep = cols[jrep - 1];
      // Drop: an empty column or a copy of another column.
      Column c;
      if (it % 2 == 0) {
        int other = jrep % n + 1;
        c = cols[other - 1];
      }
      std::vector<double> v(n, 0.0);
      for (auto [i, val] : c) v[i - 1] = val;
      double diag, vnorm;
      EXPECT_EQ(b.replace(jrep, v, diag, vnorm), -1);
      cols[jrep - 1] = c;
      EXPECT_EQ(b.nrank(), n - 1);
      compare_with_fresh(b, cols, rule, mk);
      // Restore.
      v.assign(n, 0.0);
      for (auto [i, val] : keep) v[i - 1] = val;
      EXPECT_EQ(b.replace(jrep, v, diag, vnorm), 1);
      cols[jrep - 1] = keep;
      EXPECT_EQ(b.nrank(), n);
      compare_with_fresh(b, cols, rule, mk);
    }
  }
}

TEST(LuUpdate, EdgeCasesOfReplacement) {
  Maker mk(77);
  const int n = 20;
  std::vector<Column> cols = columns_of(n, mk.square(n, 3));
  LuBox b(n, n, 5000);
  b.capture(0);
  ASSERT_EQ(b.factor(entries_of(cols)), 0);
  // The same column again: rank unchanged, code 0.
  std::vector<double> v(n, 0.0);
  for (auto [i, val] : cols[4]) v[i - 1] = val;
  double diag, vnorm;
  EXPECT_EQ(b.replace(5, v, diag, vnorm), 0);
  EXPECT_EQ(b.ip[15], 1);
  // jrep out of range: code 8, factors untouched.
  auto a0 = b.a;
  auto ip0 = b.iperm;
  v.assign(n, 1.0);
  EXPECT_EQ(b.replace(0, v, diag, vnorm), 8);
  EXPECT_EQ(b.replace(n + 1, v, diag, vnorm), 8);
  EXPECT_EQ(b.a, a0);
  EXPECT_EQ(b.iperm, ip0);
  EXPECT_NE(b.text().find("\n lu8rpc  error...  jrep  is out of range.    m =      20    n =      20    jrep =      21\n"),
            std::string::npos);
  // A zero column on a full-rank factorization: code -1 and the warning.
  v.assign(n, 0.0);
  EXPECT_EQ(b.replace(7, v, diag, vnorm), -1);
  EXPECT_EQ(b.nrank(), n - 1);
  EXPECT_NE(b.text().find(" lu8rpc  warning.  Singularity after replacing column.    jrep =       7    diag ="),
            std::string::npos);
  // Putting a good column back fills the rank gap: code 1.
  for (auto [i, val] : cols[6]) v[i - 1] = val;
  EXPECT_EQ(b.replace(7, v, diag, vnorm), 1);
  EXPECT_EQ(b.nrank(), n);
}

TEST(LuUpdate, RankGapFilledByAOneEntryRow) {
  // diag(1, 2) plus an empty third column: rank 2.
  Entries e{{1, 1, 1.5}, {2, 2, 2.0}};
  LuBox b(3, 3, 100);
  ASSERT_EQ(b.factor(e), 1);
  ASSERT_EQ(b.nrank(), 2);
  std::vector<double> v{0.0, 0.0, 5.0};
  double diag, vnorm;
  EXPECT_EQ(b.replace(3, v, diag, vnorm), 1);
  EXPECT_EQ(b.nrank(), 3);
  EXPECT_EQ(b.lenrow[2], 1);
  EXPECT_EQ(diag, 5.0);
  // After a drop, a right-hand side with weight beyond the rank gives code 1.
  v = {0.0, 0.0, 0.0};
  EXPECT_EQ(b.replace(3, v, diag, vnorm), -1);
  std::vector<double> rhs{0.0, 0.0, 1.0}, w(3);
  EXPECT_EQ(b.solve(5, rhs, w), 1);
  EXPECT_EQ(b.solve(3, rhs = {0.0, 0.0, 1.0}, w), 1);
}

TEST(LuUpdate, RowInterchangeRuleWithTau10) {
  // Upper triangular [d1 a12 0; 0 a22 a23; 0 0 a33]: L = I, pivots in order.
  // Replacing column 1 by (1, 1, 0) makes row 1 the spike against row 2.
  auto run = [](double a12, double a22, double a23) {
    Entries e{{1, 1, 3.0}, {1, 2, a12}, {2, 2, a22}, {3, 3, 2.0}};
    if (a23 != 0.0) e.push_back({2, 3, a23});
    auto b = std::make_unique<LuBox>(3, 3, 200);
    EXPECT_EQ(b->factor(e), 0);
    std::vector<double> v{1.0, 1.0, 0.0};
    double diag, vnorm;
    EXPECT_EQ(b->replace(1, v, diag, vnorm), 0);
    // Factors still right.
    Entries e2{{1, 1, 1.0}, {2, 1, 1.0}, {1, 2, a12}, {2, 2, a22}, {3, 3, 2.0}};
    if (a23 != 0.0) e2.push_back({2, 3, a23});
    EXPECT_LE(lu_error(*b, e2), 1e-13);
    // The row that pivots on column 2: row 2 unless the rows were interchanged.
    for (int k = 1; k <= 3; ++k)
      if (b->jperm[k - 1] == 2) return b->iperm[k - 1];
    return 0;
  };
  // |v| = 10 |d| and rows of equal length: the strict test makes no interchange.
  EXPECT_EQ(run(10.0, 1.0, 0.0), 2);
  // |v| > 10 |d|: interchange, row 1 keeps the pivot on column 2.
  EXPECT_EQ(run(11.0, 1.0, 0.0), 1);
  // Nearly equal magnitudes, spike shorter: interchange; the longer row becomes the spike.
  EXPECT_EQ(run(1.0, 1.1, 0.5), 1);
  EXPECT_EQ(run(1.0, 1.1, 0.0), 2);
}

TEST(LuUpdate, InstabilityGivesCode2AndKeepsTheFactors) {
  Entries e{{1, 1, 1.0}, {1, 2, 1.0}, {2, 2, 1e-4}};
  LuBox b(2, 2, 100);
  b.capture(0);
  b.rp[2] = 1e6;
  ASSERT_EQ(b.factor(e), 0);
  b.rp[5] = 1e-3;
  std::vector<double> v{1.0, 1.0};
  double diag, vnorm;
  EXPECT_EQ(b.replace(1, v, diag, vnorm), 2);
  EXPECT_DOUBLE_EQ(vnorm, 2.0);
  EXPECT_NEAR(diag, -9999.0, 1e-9);
  EXPECT_EQ(b.text(), "\n lu8rpc  warning.  Instability after replacing column.    jrep =       1    diag =   -1.00E+04\n");
  EXPECT_LE(lu_error(b, {{1, 1, 1.0}, {2, 1, 1.0}, {1, 2, 1.0}, {2, 2, 1e-4}}), 1e-12);
}

TEST(LuUpdate, InsufficientStorageGivesCode7WithoutOverrun) {
  Maker mk(91);
  const int n = 40;
  std::vector<Column> cols = columns_of(n, mk.square(n, 3));
  Entries e = entries_of(cols);
  int lena = int(e.size()) + 2 * (n + n) + 40;
  LuBox b(n, n, lena);
  b.capture(0);
  ASSERT_EQ(b.factor(e), 0);
  int inform = 0, it = 0;
  for (; it < 2000 && inform != 7; ++it) {
    int jrep = mk.pick(1, n);
    std::vector<double> v(n, 0.0);
    for (int t = 0; t < 6; ++t) v[mk.pick(1, n) - 1] = mk.val();
    v[jrep - 1] = 3.0;
    double diag, vnorm;
    inform = b.replace(jrep, v, diag, vnorm);
    ASSERT_TRUE(b.guard_intact());
    ASSERT_TRUE(inform == 0 || inform == -1 || inform == 1 || inform == 2 || inform == 7) << inform;
    if (inform == 2) break;
  }
  EXPECT_EQ(inform, 7);
  EXPECT_NE(b.text().find(tv::strf("\n lu8rpc  error...  Insufficient storage.    lena =%8d\n", lena)), std::string::npos);
  EXPECT_LE(b.ip[23] + b.ip[25], lena);
}

TEST(LuUpdate, ReplacementsDoNotDependOnTheRowOwnersKeptInIndc) {
  // The updates find the old column's entries through the row each slot of
  // U is kept for (indc of the row file).  Factors whose indc there is wrong
  // or missing (built by a caller, say) must be updated exactly the same way.
  for (int seed = 0; seed < 3; ++seed) {
    Maker mk(70 + seed);
    const int n = 50;
    std::vector<Column> cols = columns_of(n, mk.basis(n, 15, 3));
    const int lena = 700 + 100 * seed;  // small enough for compressions
    LuBox ok(n, n, lena), bad(n, n, lena);
    ASSERT_EQ(ok.factor(entries_of(cols)), 0);
    ASSERT_EQ(bad.factor(entries_of(cols)), 0);
    int nrefac = 0, ncp = 0;
    for (int it = 1; it <= 150; ++it) {
      SCOPED_TRACE("update " + std::to_string(it));
      ncp = std::max(ncp, ok.ip[26]);
      const int lrow = bad.ip[25];
      for (int l = 1; l <= lrow; ++l)  // wrong owners in a third of the slots, the rest as kept
        if ((l + it) % 3 == 0) bad.indc[l - 1] = it % 2 ? 0 : mk.pick(-2, n + 2);
      Entering e = entering_column(ok, mk, n);
      const Column& c = e.c;
      std::vector<double>& y = e.y;
      const int jrep = e.jrep;
      std::vector<double> y2 = y;
      double d1, v1, d2, v2;
      int i1 = ok.replace(jrep, y, d1, v1, 2), i2 = bad.replace(jrep, y2, d2, v2, 2);
      cols[jrep - 1] = c;
      ASSERT_EQ(i1, i2);
      EXPECT_EQ(d1, d2);
      EXPECT_EQ(ok.ip, bad.ip);
      EXPECT_EQ(ok.iperm, bad.iperm);
      EXPECT_EQ(ok.jperm, bad.jperm);
      EXPECT_EQ(ok.lenrow, bad.lenrow);
      EXPECT_EQ(ok.locrow, bad.locrow);
      EXPECT_EQ(ok.loccol, std::vector<int>(n, 0));
      EXPECT_EQ(bad.loccol, std::vector<int>(n, 0));
      for (int l = 1; l <= ok.ip[25]; ++l) {
        ASSERT_EQ(ok.indr[l - 1], bad.indr[l - 1]) << l;
        if (ok.indr[l - 1] != 0) {
          ASSERT_EQ(ok.a[l - 1], bad.a[l - 1]) << l;
        }
      }
      for (int l = lena - ok.lenL() + 1; l <= lena; ++l) {
        EXPECT_EQ(ok.a[l - 1], bad.a[l - 1]);
        EXPECT_EQ(ok.indc[l - 1], bad.indc[l - 1]);
      }
      if (i1 != 0) {
        ++nrefac;
        ASSERT_EQ(ok.factor(entries_of(cols)), bad.factor(entries_of(cols)));
      }
    }
    EXPECT_GT(ncp, 0) << "compressions";
    EXPECT_LE(nrefac, 10);
  }
}

TEST(LuUpdate, ConsecutiveInterchangesKeepMultipliersBounded) {
  // U = [3 100 0; 0 1 100; 0 0 1], L = I.  Replacing column 1 by (1,1,1)
  // makes row 1 the spike.  Against row 2 the spike entry 100 is far above
  // the diagonal 1: interchange, and row 2 becomes the spike.  Against row 3
  // its entry 100 is again far above the diagonal 1: without a second
  // interchange the update would store the multiplier -100 and lose two
  // digits of accuracy at every such step.
  Entries e{{1, 1, 3.0}, {1, 2, 100.0}, {2, 2, 1.0}, {2, 3, 100.0}, {3, 3, 1.0}};
  LuBox b(3, 3, 200);
  ASSERT_EQ(b.factor(e), 0);
  std::vector<double> v{1.0, 1.0, 1.0};
  double diag = 0, vnorm = 0;
  ASSERT_EQ(b.replace(1, v, diag, vnorm), 0);
  const double tau = b.rp[2];
  ASSERT_GT(tau, 1.0);
  for (int l = b.lena - b.lenL() + 1; l <= b.lena; ++l) EXPECT_LE(std::fabs(b.a[l - 1]), tau) << l;
  Entries e2{{1, 1, 1.0}, {2, 1, 1.0}, {3, 1, 1.0}, {1, 2, 100.0}, {2, 2, 1.0}, {2, 3, 100.0}, {3, 3, 1.0}};
  EXPECT_LE(lu_error(b, e2), 1e-12);
}
