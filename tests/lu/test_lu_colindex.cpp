// The column index of U: solves with U and U' by the reach of a sparse
// right-hand side against the loops over all positions, through long
// sequences of column replacements.
#include <gtest/gtest.h>

#include "lu_box.h"

using namespace lutest;

namespace {


// Mode 5 (L, then U) of rhs, with the index or without it.
std::vector<double> solve5(LuBox& b, const std::vector<double>& rhs, tv::LuColIndex* cx) {
  std::vector<double> v = rhs, w(b.n, -1.0);
  int inform = 0;
  tv::lu6sol(5, b.m, b.n, tv::Dvec(v.data(), b.m), tv::Dvec(w.data(), b.n), b.lena, b.luipar(), b.lurpar(), b.f,
             inform, cx);
  return w;
}

// Mode 6 (U', then L') of rhs: the solution, then what is left of rhs.
std::vector<double> solve6(LuBox& b, const std::vector<double>& rhs, tv::LuColIndex* cx) {
  std::vector<double> v(b.m, -1.0), w = rhs;
  int inform = 0;
  tv::lu6sol(6, b.m, b.n, tv::Dvec(v.data(), b.m), tv::Dvec(w.data(), b.n), b.lena, b.luipar(), b.lurpar(), b.f,
             inform, cx);
  v.insert(v.end(), w.begin(), w.end());
  return v;
}

}  // namespace

// A basis with many slacks, as on network and staircase problems: the
// results are sparse, the reach is taken, and its results (and what the
// transposed solve leaves of its right-hand side) equal the loops' to the
// last bit after every replacement (fills, interchanges, rank
// changes and refactorizations included).
TEST(LuColIndex, ReachSolvesEqualRowSolvesThroughUpdates) {
  for (int rule = 0; rule <= 1; ++rule) {
    SCOPED_TRACE("rule " + std::to_string(rule));
    Maker mk(70 + rule);
    const int n = 300;
    std::vector<Column> cols(n);
    for (auto& x : mk.basis(n, 220, 2)) cols[x.j - 1][x.i] = x.v;
    LuBox b(n, n, 40000);
    tv::LuColIndex cx;
    auto refactor = [&] {
      ASSERT_EQ(b.factor(entries_of(cols), rule), 0);
      tv::lu_index_build(n, n, b.luipar(), b.f, cx);
    };
    refactor();
    int reached = 0, compared = 0;
    for (int it = 1; it <= 300; ++it) {
      SCOPED_TRACE("update " + std::to_string(it));
      for (int t = 0; t < 3; ++t) {
        std::vector<double> rhs(n, 0.0);
        for (int q = mk.pick(1, 2); q > 0; --q) rhs[mk.pick(1, n) - 1] = mk.val();
        cx.density = cx.tdensity = 0.0;
        const std::vector<double> wi = solve5(b, rhs, &cx), wr = solve5(b, rhs, nullptr);
        const std::vector<double> ti = solve6(b, rhs, &cx), tr = solve6(b, rhs, nullptr);
        reached += cx.density < 0.2 * 0.25 && cx.tdensity < 0.2 * 0.25 ? 1 : 0;
        ++compared;
        for (int j = 0; j < n; ++j) ASSERT_EQ(wi[j], wr[j]) << "entry " << j + 1;
        for (int j = 0; j < 2 * n; ++j) ASSERT_EQ(ti[j], tr[j]) << "transposed, entry " << j + 1;
      }
      // An entering column and the position it replaces, as the simplex does.
      Column c;
      for (int t = mk.pick(1, 4); t > 0; --t) c[mk.pick(1, n)] = mk.val() * 2;
      std::vector<double> y(n, 0.0), w(n);
      for (auto [i, val] : c) y[i - 1] = val;
      b.solve(1, y, w);
      std::vector<double> yu = y;
      b.solve(3, yu, w);
      int jrep = 1;
      for (int j = 2; j <= n; ++j)
        if (std::fabs(w[j - 1]) > std::fabs(w[jrep - 1])) jrep = j;
      if (std::fabs(w[jrep - 1]) < 0.1) continue;
      double diag = 0, vnorm = 0;
      int inform = 0;
      tv::Dvec vv(y.data(), n);
      tv::lu8rpc(b.io, 1, 2, n, n, jrep, vv, vv, b.lena, b.luipar(), b.lurpar(), b.f, inform, diag, vnorm, &cx);
      cols[jrep - 1] = c;
      if (inform != 0) refactor();
      ASSERT_TRUE(cx.valid);
    }
    EXPECT_GT(reached, compared / 2);
  }
}

// Factors updated without the index no longer match it: the solves go by
// rows, and an update handed the index afterwards marks it invalid instead
// of trusting it.
TEST(LuColIndex, FactorsChangedWithoutTheIndexAreNotSolvedByIt) {
  Maker mk(5);
  const int n = 40;
  LuBox b(n, n, 8000);
  Entries e = mk.basis(n, 30, 2);
  ASSERT_EQ(b.factor(e), 0);
  tv::LuColIndex cx;
  tv::lu_index_build(n, n, b.luipar(), b.f, cx);
  EXPECT_TRUE(cx.matches(b.luipar()));
  // Column n put back in its place: the rank stays.
  std::vector<double> col(n, 0.0), same(n, 0.0);
  for (auto& x : e)
    if (x.j == n) same[x.i - 1] = x.v;
  col = same;
  double diag = 0, vnorm = 0;
  EXPECT_EQ(b.replace(n, col, diag, vnorm), 0);  // without the index
  EXPECT_FALSE(cx.matches(b.luipar()));
  std::vector<double> rhs(n, 0.0);
  rhs[0] = 1.0;
  cx.density = 0.0;
  EXPECT_EQ(solve5(b, rhs, &cx), solve5(b, rhs, nullptr));
  col = same;
  int inform = 0;
  tv::Dvec vv(col.data(), n);
  tv::lu8rpc(b.io, 1, 1, n, n, n, vv, vv, b.lena, b.luipar(), b.lurpar(), b.f, inform, diag, vnorm, &cx);
  EXPECT_EQ(inform, 0);
  EXPECT_FALSE(cx.valid);
}
