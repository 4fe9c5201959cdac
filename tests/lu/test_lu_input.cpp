// Storage, bad input, messages, staged edge cases, the Markowitz searches
// and the heap.
#include <gtest/gtest.h>

#include "lu/lu_impl.h"
#include "lu_box.h"

using namespace lutest;

namespace {
Entries identity(int n, double v = 1.0) {
  Entries e;
  for (int i = 1; i <= n; ++i) e.push_back({i, i, i % 2 ? v : -v});
  return e;
}
}  // namespace

TEST(LuStorage, EntryTestAtExactLengthAndOneBelow) {
  Maker mk(5);
  const int m = 12, n = 9;
  Entries e = mk.sparse(m, n, 1);  // one or two per column; little fill
  e.push_back({1, 1, 0.0});        // dropped, but counts for lenneed
  int nent = int(e.size());
  int need = nent + 2 * (m + n);
  LuBox ok(m, n, need);
  int inf = ok.factor(e);
  EXPECT_TRUE(inf == 0 || inf == 1 || inf == 7);
  EXPECT_TRUE(ok.guard_intact());
  LuBox bad(m, n, need - 1);
  bad.capture(0);
  EXPECT_EQ(bad.factor(e), 7);
  EXPECT_EQ(bad.ip[13], need);
  EXPECT_EQ(bad.text(), tv::strf("\n lu1fac  error...  insufficient storage\n\n Increase  lena  from%10d  to at least%10d\n",
                                 need - 1, need));
  EXPECT_TRUE(bad.guard_intact());
  // A diagonal matrix needs no fill: the exact length suffices.
  LuBox diag(30, 30, 30 + 2 * 60);
  EXPECT_EQ(diag.factor(identity(30, 2.0)), 0);
}

TEST(LuStorage, ManyCompressionsGiveTheSameFactors) {
  for (int rule = 0; rule <= 2; ++rule) {
    Maker mk(17 + rule);
    const int n = 80;
    Entries e = mk.square(n, 4);
    // The dense switch depends on the free room, so keep it off here.
    auto factor = [&](LuBox& b) {
      b.rp[7] = b.rp[8] = 2.0;
      return b.factor(e, rule);
    };
    LuBox roomy(n, n, 200000);
    ASSERT_EQ(factor(roomy), 0);
    // Find a short lena that still succeeds, then compare.
    int lo = int(e.size()) + 4 * n, hi = 200000;
    while (hi - lo > 1) {
      int mid = (lo + hi) / 2;
      LuBox t(n, n, mid);
      if (factor(t) == 0)
        hi = mid;
      else
        lo = mid;
    }
    LuBox tight(n, n, hi);
    ASSERT_EQ(factor(tight), 0);
    EXPECT_GT(tight.ip[26], roomy.ip[26]) << "compressions";
    EXPECT_EQ(tight.iperm, roomy.iperm);
    EXPECT_EQ(tight.jperm, roomy.jperm);
    ASSERT_EQ(tight.lenL(), roomy.lenL());
    ASSERT_EQ(tight.lenU(), roomy.lenU());
    // Same rows of U (the order inside a row may differ after moves).
    for (int k = 1; k <= roomy.nrank(); ++k) {
      int i = roomy.iperm[k - 1];
      auto row = [i](const LuBox& b) {
        std::vector<std::pair<int, double>> r;
        for (int l = b.locrow[i - 1]; l < b.locrow[i - 1] + b.lenrow[i - 1]; ++l) r.push_back({b.indr[l - 1], b.a[l - 1]});
        std::sort(r.begin() + 1, r.end());
        return r;
      };
      EXPECT_EQ(row(tight), row(roomy)) << "row " << i;
    }
    for (int l = 1; l <= roomy.lenL(); ++l) {
      EXPECT_EQ(tight.a[tight.lena - l], roomy.a[roomy.lena - l]);
      EXPECT_EQ(tight.indc[tight.lena - l], roomy.indc[roomy.lena - l]);
    }
    // One below: storage error, no overrun.
    LuBox shorter(n, n, lo);
    EXPECT_EQ(factor(shorter), 7);
    EXPECT_TRUE(shorter.guard_intact());
    EXPECT_GT(shorter.ip[13], lo);
  }
}

TEST(LuBadInput, IndicesDuplicatesTinyEntriesAndEmptyColumns) {
  {
    LuBox b(3, 3, 100);
    b.capture(0);
    Entries e{{1, 1, 1.0}, {4, 2, 2.0}, {2, 2, 1.0}};
    EXPECT_EQ(b.factor(e), 3);
    EXPECT_EQ(b.text(), "\n lu1fac  error...  entry  a(       2)  has an illegal row or column index\n\n indc, indr =       4       2\n");
    EXPECT_EQ(b.ip[11], 0);
    EXPECT_EQ(b.ip[20], 0);
  }
  {
    LuBox b(3, 3, 100);
    EXPECT_EQ(b.factor({{1, 1, 1.0}, {1, 0, 2.0}}), 3);
    EXPECT_EQ(b.factor({{1, 1, 1.0}, {1, 4, 2.0}}), 3);
    EXPECT_EQ(b.factor({{-1, 1, 1.0}}), 3);
    // A tiny entry with a bad index is dropped silently.
    EXPECT_EQ(b.factor({{1, 1, 1.0}, {2, 2, 1.0}, {3, 3, 1.0}, {9, 9, 1e-14}}), 0);
  }
  {
    LuBox b(3, 3, 100);
    b.capture(0);
    EXPECT_EQ(b.factor({{2, 1, 1.0}, {1, 2, 1.0}, {3, 3, 1.0}, {1, 2, 5.0}}), 4);
    EXPECT_EQ(b.text(), "\n lu1fac  error...  entry  a(       3)  has the same indices as an earlier entry\n\n indc, indr =       1       2\n");
  }
  {
    // All entries tiny: nothing kept, rank 0, every column flagged, DUmin 0.
    LuBox b(4, 5, 200);
    Entries e;
    for (int i = 1; i <= 4; ++i)
      for (int j = 1; j <= 5; ++j) e.push_back({i, j, 1e-15});
    EXPECT_EQ(b.factor(e), 1);
    EXPECT_EQ(b.nrank(), 0);
    EXPECT_EQ(b.ip[11], 5);
    for (int j = 0; j < 5; ++j) EXPECT_TRUE(std::signbit(b.wcol[j]));
    EXPECT_EQ(b.rp[14], 0.0);
    EXPECT_TRUE(b.guard_intact());
  }
  {
    // Zero columns and rows, every rule.
    for (int rule = 0; rule <= 3; ++rule) {
      LuBox b(4, 4, 200);
      int inf = b.factor({{1, 1, 2.0}, {2, 2, 3.0}, {4, 4, 5.0}}, rule);
      EXPECT_EQ(inf, 1);
      EXPECT_EQ(b.nrank(), 3);
      EXPECT_EQ(b.ip[12], 3);
      EXPECT_TRUE(std::signbit(b.wcol[2]));
    }
  }
  {
    // Degenerate sizes and storage views shorter than the dimensions.
    LuBox b(0, 0, 10);
    EXPECT_EQ(b.factor({}), 0);
    LuBox c(3, 3, 100);
    int nent = 0, inform = 0;
    tv::LuArrays f = c.f;
    f.iperm = tv::Ivec(c.iperm.data(), 2);
    tv::lu1fac(c.io, 3, 3, nent, 100, c.luipar(), c.lurpar(), f, inform);
    EXPECT_EQ(inform, 8);
    nent = -1;
    tv::lu1fac(c.io, 3, 3, nent, 100, c.luipar(), c.lurpar(), c.f, inform);
    EXPECT_EQ(inform, 8);
  }
}

TEST(LuMessages, HeaderStatisticsAndSingularLines) {
  Entries e{{1, 1, 1.0}, {2, 2, 4.0}, {1, 2, 2.0}, {3, 2, 1.0}};
  LuBox b(3, 4, 200);
  b.capture(10);
  ASSERT_EQ(b.factor(e), 1);
  std::string want =
      " m           3 <n           4  Elems        4  Amax   4.0E+00  Density  33.33\n"
      " Singular(m<n)  rank        2  n-rank       2  nsing        2\n"
      " Merit     0.0  lenL        1  L+U          4  Cmpressns    0  Incres    0.00\n"
      " Utri        1  lenU        3  Ltol  1.00E+01  Umax   1.0E+00  Ugrwth 2.5E-01\n"
      " Ltri        1  dense1      0  Lmax  4.00E+00\n"
      " bump        1  dense2      0  DUmax  1.0E+00  DUmin  1.0E+00  condU  1.0E+00\n";
  EXPECT_EQ(b.text(), want);
  // Other rules: " MerRP" / " MerCP" and the Akmax columns.
  LuBox r(3, 3, 200), c(3, 3, 200);
  r.capture(10);
  c.capture(10);
  Entries sq{{1, 1, 2.0}, {2, 1, 1.0}, {2, 2, 4.0}, {3, 3, 3.0}, {1, 3, 1.0}};
  ASSERT_EQ(r.factor(sq, 1), 0);
  ASSERT_EQ(c.factor(sq, 2), 0);
  EXPECT_NE(r.text().find(" MerRP"), std::string::npos);
  EXPECT_NE(r.text().find("  Akmax  0.0E+00  Agrwth 0.0E+00\n"), std::string::npos);
  EXPECT_NE(c.text().find(" MerCP"), std::string::npos);
  EXPECT_NE(c.text().find("  Akmax  4.0E+00  Agrwth 1.0E+00\n"), std::string::npos);
  // Level 50: stage lines and per-pivot debug lines.
  Maker mk(8);
  LuBox d(30, 30, 5000);
  d.capture(50);
  ASSERT_EQ(d.factor(mk.square(30, 3), 0), 0);
  std::string t = d.text();
  EXPECT_NE(t.find(" Slacks ended.  nslack =           0\n"), std::string::npos);
  EXPECT_NE(t.find("\n\n Utri ended.  spars1 = true\n"), std::string::npos);
  EXPECT_NE(t.find("\n\n lu1fad debug:\n nrowu      1   i,jbest"), std::string::npos);
  EXPECT_NE(t.find("   i,jmax\n"), std::string::npos);
  EXPECT_NE(t.find("\n\n Ltri ended.\n"), std::string::npos);
  // Silent below level 0; the Singular line needs only level 0.
  LuBox q(3, 4, 200);
  q.capture(0);
  ASSERT_EQ(q.factor(e), 1);
  EXPECT_EQ(q.text(), " Singular(m<n)  rank        2  n-rank       2  nsing        2\n");
  LuBox s(3, 4, 200);
  s.capture(-1);
  ASSERT_EQ(s.factor(e), 1);
  EXPECT_EQ(s.text(), "");
}

TEST(LuStages, SlacksSingletonsAndStageCounts) {
  // Identity: all slacks, Utri = m, nothing flagged, no elimination.
  LuBox b(6, 6, 100);
  ASSERT_EQ(b.factor(identity(6)), 0);
  EXPECT_EQ(b.ip[30], 6);
  EXPECT_EQ(b.ip[28], 6);
  EXPECT_EQ(b.lenL(), 0);
  // -1.0 is a slack, 0.5 is not; two unit columns in one row: only the first.
  LuBox c(3, 4, 100);
  ASSERT_EQ(c.factor({{1, 1, -1.0}, {2, 2, 0.5}, {3, 3, 1.0}, {3, 4, 1.0}}), 1);
  EXPECT_EQ(c.ip[30], 2);
  EXPECT_EQ(c.wcol[0], 1.0);
  EXPECT_EQ(c.wcol[2], 1.0);
  EXPECT_TRUE(std::signbit(c.wcol[3]) || c.wcol[3] < 0);  // the second unit column gets no pivot
  // Row-singleton pivots with several entries in their column do no
  // elimination and must not move rows: no compression with room to spare.
  {
    Entries tri;
    const int n = 400;
    for (int j = 1; j <= n; ++j) {
      tri.push_back({j, j, 2.0});
      if (j > 1) tri.push_back({j - 1, j, 0.5});  // upper bidiagonal: row singletons at the bottom
      if (j > 2) tri.push_back({j - 2, j, 0.25});
    }
    LuBox t(n, n, 20 * n);
    ASSERT_EQ(t.factor(tri), 0);
    EXPECT_EQ(t.ip[26], 0);
    EXPECT_LE(lu_error(t, tri), 1e-14);
  }
  // Rook with Ltol below 1.0001 behaves as 1.0001; symmetric with a zero diagonal: code 9.
  Maker mk(3);
  Entries e = mk.square(25, 3);
  LuBox r1(25, 25, 5000), r2(25, 25, 5000);
  r1.rp[1] = 0.5;
  r2.rp[1] = 1.0001;
  ASSERT_EQ(r1.factor(e, 1), 0);
  ASSERT_EQ(r2.factor(e, 1), 0);
  EXPECT_EQ(r1.iperm, r2.iperm);
  EXPECT_EQ(r1.jperm, r2.jperm);
  LuBox sy(3, 3, 100);
  sy.capture(0);
  EXPECT_EQ(sy.factor({{1, 2, 1.0}, {2, 1, 1.0}, {2, 3, 2.0}, {3, 2, 2.0}, {3, 1, 3.0}, {1, 3, 3.0}}, 3), 9);
  EXPECT_EQ(sy.text(), "\n lu1fac  error...  TSP used but diagonal pivot could not be found\n");
}

TEST(LuSearch, ThresholdTieBreaksAndCompleteThreshold) {
  // Two candidates of merit 1: ratios 1.5 (|a| = 2.0) and 1.9 (|a| = 2.5): larger wins;
  // ratios 1.5 and 3.0: the smaller ratio wins.
  auto search = [](double c2max, double a42, bool tcp, double cptol, const Entries& extra) {
    Entries e{{1, 1, 3.0}, {2, 1, 2.0}, {3, 2, c2max}, {4, 2, a42}, {1, 3, 1.0}, {3, 3, 1.0},
              {2, 3, 1.0}, {1, 4, 1.0}, {3, 4, 1.0}, {4, 4, 1.0}};
    if (!extra.empty()) e = extra;
    LuBox b(4, 4, 500);
    for (size_t l = 0; l < e.size(); ++l) {
      b.a[l] = e[l].v;
      b.indc[l] = e[l].i;
      b.indr[l] = e[l].j;
    }
    tv::LuFac s(b.io, b.f, b.luipar(), b.lurpar());
    s.m = 4;
    s.n = 4;
    s.lena = 500;
    s.lenu = 500;
    s.small = 1e-13;
    s.ltol = 10.0;
    int nent = int(e.size()), lerr = 0;
    EXPECT_EQ(tv::lu1or1(s, nent, lerr), 0);
    tv::lu1or2(s);
    EXPECT_EQ(tv::lu1or3(s, lerr), 0);
    tv::lu1or4(s);
    tv::lu1pq1(4, 4, b.f.lenrow, b.f.iperm, b.f.ibucket, b.f.iinv);
    tv::lu1pq1(4, 4, b.f.lencol, b.f.jperm, b.f.jbucket, b.f.jinv);
    tv::lu1mxc(1, 4, b.f.jperm, b.f.a, b.f.indc, b.f.lencol, b.f.loccol);
    double abest;
    int ibest, jbest, mbest;
    tv::lu1mar(s, tcp, cptol, 5, 4, abest, ibest, jbest, mbest);
    return std::pair{ibest, jbest};
  };
  EXPECT_EQ(search(4.75, 2.5, false, 0, {}), (std::pair{4, 2}));
  EXPECT_EQ(search(7.5, 2.5, false, 0, {}), (std::pair{2, 1}));
  // Complete rule with cptol 0.1 skips a column singleton of 0.05.
  Entries e2{{1, 1, 0.05}, {1, 2, 1.0}, {2, 2, 0.5}, {2, 3, 0.3}, {3, 3, 0.8}, {4, 4, 1.0}, {4, 3, 0.2}};
  EXPECT_EQ(search(0, 0, false, 0, e2), (std::pair{1, 1}));
  EXPECT_EQ(search(0, 0, true, 0.1, e2), (std::pair{4, 4}));
}

TEST(LuHeap, OrderMovesAndEqualKeys) {
  const int n = 200;
  std::vector<double> ha(n + 1);
  std::vector<int> hj(n + 1), hk(n + 1);
  tv::Dvec a(ha.data(), n);
  tv::Ivec j(hj.data(), n), k(hk.data(), n);
  Maker mk(9);
  for (int i = 1; i <= n; ++i) {
    a(i) = double(mk.pick(0, 50));
    j(i) = i;
  }
  int nmove = 0, len = n;
  tv::hbuild(a, j, k, len, nmove);
  auto check = [&]() {
    for (int p = 2; p <= len; ++p) ASSERT_LE(a(p), a(p / 2));
    for (int p = 1; p <= len; ++p) ASSERT_EQ(k(j(p)), p);
  };
  check();
  for (int t = 0; t < 300; ++t) {
    int p = mk.pick(1, len);
    if (t % 3 == 0 && len > 1) {
      tv::hdelete(a, j, k, len, p, nmove);
    } else {
      tv::hchange(a, j, k, len, p, double(mk.pick(0, 50)), j(p), nmove);
    }
    check();
  }
  EXPECT_GT(nmove, 0);
  // Equal keys: hup moves the new entry above an equal parent; hdown leaves
  // an entry above an equal child.
  std::vector<double> h2(4);
  std::vector<int> j2(4), k2(4);
  tv::Dvec a2(h2.data(), 3);
  tv::Ivec jj(j2.data(), 3), kk(k2.data(), 3);
  int l2 = 0, mv = 0;
  tv::hinsert(a2, jj, kk, l2, 5.0, 1, mv);
  tv::hinsert(a2, jj, kk, l2, 5.0, 2, mv);
  EXPECT_EQ(jj(1), 2);
  EXPECT_EQ(mv, 1);
  tv::hdown(a2, jj, kk, l2, 1, mv);
  EXPECT_EQ(jj(1), 2);
  EXPECT_EQ(mv, 1);
}

TEST(LuMessages, DensityOfLargeAndEmptyShapes) {
  // m x n beyond 32 bits: the density is formed in floating point.
  const int n = 50000;
  LuBox b(n, n, 3 * n + 4 * n + 10);
  b.capture(10);
  ASSERT_EQ(b.factor(identity(n)), 0);
  EXPECT_EQ(b.text().substr(0, b.text().find('\n') + 1), " m       50000 =n       50000  Elems    50000  Amax   1.0E+00  Density   0.00\n");
  // An empty shape prints density 0.
  LuBox e(0, 5, 20);
  e.capture(10);
  EXPECT_EQ(e.factor({}), 1);  // five empty columns
  EXPECT_EQ(e.text().substr(0, e.text().find('\n') + 1), " m           0 <n           5  Elems        0  Amax   0.0E+00  Density   0.00\n");
}

TEST(LuUpdateFaults, InconsistentFactorsGiveCode8FromTheRankTest) {
  // diag(2, 3, 4), then a stray entry in row 3 under an earlier pivot column:
  // the rank test cannot place it and asks for a refactorization.
  LuBox b(3, 3, 100);
  b.capture(0);
  ASSERT_EQ(b.factor({{1, 1, 2.0}, {2, 2, 3.0}, {3, 3, 4.0}}), 0);
  int i3 = b.iperm[2];
  ASSERT_EQ(b.locrow[i3 - 1] + b.lenrow[i3 - 1] - 1, b.ip[25]);  // last row of the file
  int pos = b.ip[25] + 1;
  b.a[pos - 1] = 9.0;
  b.indr[pos - 1] = b.jperm[0];
  b.lenrow[i3 - 1] += 1;
  b.ip[25] += 1;
  b.ip[24] += 1;
  std::vector<double> v(3, 0.0);
  double diag, vnorm;
  EXPECT_EQ(b.replace(b.jperm[2], v, diag, vnorm), 8);
  EXPECT_EQ(b.text(), "Fatal error in DECOM lu7rnk\n");
}
