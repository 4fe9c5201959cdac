// The reduced-Hessian factor against dense recomputation: every operation
// is checked through H = blockdiag(R'R, D^2) formed from the packed storage.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "core/units.h"
#include "nonlinear/m6hess.h"
#include "options/params.h"

using namespace tv;

namespace {

const double kEps050 = kMachine.eps050, kEps080 = kMachine.eps080;

struct Dense {
  int n = 0;
  std::vector<double> a;
  explicit Dense(int n_) : n(n_), a(size_t(n_) * n_, 0.0) {}
  double& operator()(int i, int j) { return a[size_t(i - 1) * n + (j - 1)]; }
  double operator()(int i, int j) const { return a[size_t(i - 1) * n + (j - 1)]; }
};

Dense identity(int n) {
  Dense h(n);
  for (int i = 1; i <= n; ++i) h(i, i) = 1.0;
  return h;
}

struct Factor {
  int hdim;
  std::vector<double> buf;
  Factor(int h, int maxs) : hdim(h), buf(m6rlen(h, maxs), -7.0) {}
  Dvec r() { return Dvec(buf.data(), int(buf.size())); }
  // H = blockdiag(R'R, D^2) for ns superbasics.
  Dense H(int ns) {
    Dense h(ns);
    int nr = std::min(ns, hdim);
    for (int i = 1; i <= nr; ++i)
      for (int j = 1; j <= nr; ++j)
        for (int k = 1; k <= std::min(i, j); ++k)
          h(i, j) += r()(m6rloc(hdim, k, i)) * r()(m6rloc(hdim, k, j));
    for (int j = hdim + 1; j <= ns; ++j) h(j, j) = std::pow(r()(m6dloc(hdim, j)), 2);
    return h;
  }
};

void expect_same(const Dense& got, const Dense& want, const char* what) {
  ASSERT_EQ(got.n, want.n) << what;
  double scale = 1.0;
  for (double v : want.a) scale = std::max(scale, std::fabs(v));
  for (int i = 1; i <= got.n; ++i)
    for (int j = 1; j <= got.n; ++j)
      EXPECT_NEAR(got(i, j), want(i, j), 1e-10 * scale) << what << " at (" << i << "," << j << ")";
}

Dense remove(const Dense& h, int k) {
  Dense out(h.n - 1);
  for (int i = 1, ii = 1; i <= h.n; ++i) {
    if (i == k) continue;
    for (int j = 1, jj = 1; j <= h.n; ++j) {
      if (j == k) continue;
      out(ii, jj++) = h(i, j);
    }
    ++ii;
  }
  return out;
}

Dense grow(const Dense& h) {
  Dense out(h.n + 1);
  for (int i = 1; i <= h.n; ++i)
    for (int j = 1; j <= h.n; ++j) out(i, j) = h(i, j);
  out(h.n + 1, h.n + 1) = 1.0;
  return out;
}

// BFGS on the leading n x n block: H - Hs s'H/s'Hs + y y'/y's, s = alfa p.
// The coupling of that block with the rest and, beyond hdim, the
// off-diagonal entries are not represented by R: they are dropped.
Dense bfgs_model(const Dense& h, int n, int hdim, const std::vector<double>& g,
                 const std::vector<double>& g2, const std::vector<double>& p, double alfa) {
  Dense out = h;
  std::vector<double> hs(n + 1, 0.0), y(n + 1);
  double shs = 0.0, ys = 0.0;
  for (int i = 1; i <= n; ++i) {
    for (int j = 1; j <= n; ++j) hs[i] += h(i, j) * alfa * p[j];
    y[i] = g2[i] - g[i];
    shs += alfa * p[i] * hs[i];
    ys += y[i] * alfa * p[i];
  }
  for (int i = 1; i <= n; ++i)
    for (int j = 1; j <= n; ++j) {
      bool kept = (i <= hdim && j <= hdim) || i == j;
      out(i, j) = kept ? h(i, j) - hs[i] * hs[j] / shs + y[i] * y[j] / ys : 0.0;
    }
  return out;
}

// One quasi-Newton step on the model: p from the solves with R, y = A s for
// an SPD A.  Returns m6bfgs' inform.
int bfgs_step(Factor& f, Dense& model, int ns, int nupd, int seed) {
  std::vector<double> g(ns + 1), v(ns + 1), p(ns + 1), w(ns + 1), g2(ns + 1);
  for (int j = 1; j <= ns; ++j) g[j] = std::sin(3.0 * j + seed) + 0.3;
  for (int j = 1; j <= ns; ++j) v[j] = g[j];
  Dvec vv(v.data() + 1, ns), pv(p.data() + 1, ns);
  m6rsol(2, f.hdim, ns, f.r(), vv);
  for (int j = 1; j <= ns; ++j) p[j] = v[j];
  m6rsol(1, f.hdim, ns, f.r(), pv);
  for (int j = 1; j <= ns; ++j) p[j] = -p[j];
  // The direction solves: H p = -g.
  for (int i = 1; i <= ns; ++i) {
    double hp = 0.0;
    for (int j = 1; j <= ns; ++j) hp += model(i, j) * p[j];
    EXPECT_NEAR(hp, -g[i], 1e-10 * (1.0 + std::fabs(g[i])));
  }
  for (int j = nupd + 1; j <= ns; ++j) p[j] = 0.0;
  double alfa = 0.8;
  for (int i = 1; i <= ns; ++i) {
    double ap = 0.0;
    for (int j = 1; j <= ns; ++j) ap += (i == j ? 2.0 + 0.5 * i : 0.3 / (i + j)) * p[j];
    g2[i] = g[i] + alfa * ap;
  }
  Dense want = bfgs_model(model, nupd, f.hdim, g, g2, p, alfa);
  int inform = -1;
  m6bfgs(f.hdim, nupd, f.r(), CDvec(g.data() + 1, ns), CDvec(g2.data() + 1, ns),
         CDvec(p.data() + 1, ns), vv, Dvec(w.data() + 1, ns), alfa, kEps050, kEps080, inform);
  model = want;
  return inform;
}

}  // namespace

TEST(ReducedHessian, SequenceOfUpdatesMatchesDenseDefinitions) {
  const int hdim = 4, maxs = 9, m = 2;
  Factor f(hdim, maxs);
  Units units;
  bool reset = true;
  double condr = 0.0;
  int ns = 0;
  m6rset(units, 0, hdim, ns, f.r(), reset, condr);
  EXPECT_FALSE(reset);
  Dense model(0);

  // Superbasic lists with recognisable entries; the model lists shift alike.
  std::vector<int> kbs(m + maxs + 1, 0);
  std::vector<double> xbs(m + maxs + 1, 0.0), bl = xbs, bu = xbs, grd = xbs, rg(maxs + 1, 0.0);
  std::vector<int> want_kbs;
  SbLists L{m,
            Ivec(kbs.data(), m + maxs),
            Dvec(xbs.data(), m + maxs),
            Dvec(bl.data(), m + maxs),
            Dvec(bu.data(), m + maxs),
            Dvec(grd.data(), m + maxs),
            Dvec(rg.data(), maxs)};
  auto add = [&](int col) {
    ++ns;
    m6radd(hdim, ns, f.r());
    model = grow(model);
    L.kbs(m + ns) = col;
    L.xbs(m + ns) = col + 0.5;
    L.blbs(m + ns) = -col;
    L.bubs(m + ns) = col;
    L.grd(m + ns) = 2.0 * col;
    L.rg(ns) = 0.1 * col;
    want_kbs.push_back(col);
  };
  auto del = [&](int jq) {
    m6rdel(hdim, ns, jq, f.r(), true, L);
    model = remove(model, jq);
    want_kbs.erase(want_kbs.begin() + (jq - 1));
    --ns;
    for (int k = 1; k <= ns; ++k) {
      int col = want_kbs[k - 1];
      EXPECT_EQ(L.kbs(m + k), col);
      EXPECT_EQ(L.xbs(m + k), col + 0.5);
      EXPECT_EQ(L.blbs(m + k), -col);
      EXPECT_EQ(L.bubs(m + k), col);
      EXPECT_EQ(L.grd(m + k), 2.0 * col);
      EXPECT_EQ(L.rg(k), 0.1 * col);
    }
  };

  for (int c = 11; c <= 13; ++c) add(c);
  expect_same(f.H(ns), model, "three added");
  EXPECT_EQ(bfgs_step(f, model, ns, ns, 1), 1);
  expect_same(f.H(ns), model, "bfgs ns < hdim");
  for (int c = 14; c <= 17; ++c) add(c);  // ns = hdim + 3
  expect_same(f.H(ns), model, "grown beyond hdim");
  EXPECT_EQ(bfgs_step(f, model, ns, ns, 2), 1);
  expect_same(f.H(ns), model, "bfgs ns = hdim + 3");
  EXPECT_EQ(bfgs_step(f, model, ns, ns, 3), 1);
  expect_same(f.H(ns), model, "second bfgs ns = hdim + 3");
  EXPECT_EQ(bfgs_step(f, model, ns, hdim, 4), 1);
  expect_same(f.H(ns), model, "bfgs with the diagonal part fixed");

  // The largest |rg| beyond hdim moves to hdim + 1.
  L.rg(5) = 0.5;
  L.rg(6) = -0.7;
  L.rg(7) = -3.0;
  m6swap(hdim, ns, f.r(), L);
  EXPECT_EQ(L.rg(5), -3.0);
  EXPECT_EQ(L.rg(7), 0.5);
  EXPECT_EQ(L.kbs(m + 5), 17);
  EXPECT_EQ(L.kbs(m + 7), 15);
  EXPECT_EQ(L.grd(m + 5), 34.0);
  std::swap(want_kbs[4], want_kbs[6]);
  std::swap(model(5, 5), model(7, 7));
  expect_same(f.H(ns), model, "swap");
  for (int k = 1; k <= ns; ++k) L.rg(k) = 0.1 * want_kbs[k - 1];

  del(2);  // from the triangle: the superbasic at hdim + 1 enters it
  expect_same(f.H(ns), model, "delete in triangle, ns > hdim");
  del(5);  // beyond hdim, not the last
  expect_same(f.H(ns), model, "delete beyond hdim");
  std::vector<double> before = f.buf;
  del(5);  // the last: nothing moves
  EXPECT_EQ(f.buf, before);
  expect_same(f.H(ns), model, "delete last");

  // Basic swap of superbasic 3: R + (R e_3) w', i.e. H becomes T'HT with T = I + e_3 w'.
  std::vector<double> wv = {0.0, 0.2, -0.1, 0.4, 0.3}, work(ns + 1);
  Dense T = identity(ns), want(ns);
  for (int j = 1; j <= ns; ++j) T(3, j) += wv[j];
  for (int i = 1; i <= ns; ++i)
    for (int j = 1; j <= ns; ++j)
      for (int k = 1; k <= ns; ++k)
        for (int l = 1; l <= ns; ++l) want(i, j) += T(k, i) * model(k, l) * T(l, j);
  int inform = -1;
  m6bswp(hdim, ns, f.r(), Dvec(work.data() + 1, ns), CDvec(wv.data() + 1, ns), 3, kEps050, kEps080,
         inform);
  EXPECT_EQ(inform, 1);
  model = want;
  expect_same(f.H(ns), model, "basic swap");
  del(3);
  expect_same(f.H(ns), model, "delete in triangle, ns <= hdim");
  EXPECT_EQ(bfgs_step(f, model, ns, ns, 5), 1);
  expect_same(f.H(ns), model, "bfgs after the deletions");
}

TEST(ReducedHessian, RescaleHalvesTheExponentsAndPrintsCondR) {
  Units units;
  units.attach_buffer(9);
  Factor f(2, 2);
  f.r()(m6rloc(2, 1, 1)) = 4.0;
  f.r()(m6rloc(2, 1, 2)) = 6.0;
  f.r()(m6rloc(2, 2, 2)) = 1.0;
  double dmax, dmin, cond;
  m6rcnd(2, 2, f.r(), dmax, dmin, cond);
  EXPECT_EQ(dmax, 4.0);
  EXPECT_EQ(dmin, 1.0);
  EXPECT_EQ(cond, 16.0);
  m6rcnd(2, 0, f.r(), dmax, dmin, cond);  // no superbasics
  EXPECT_EQ(cond, 1.0);
  bool reset = false;
  double condr = 0.0;
  m6rset(units, 9, 2, 2, f.r(), reset, condr);
  EXPECT_EQ(f.buf, (std::vector<double>{2.0, 6.0, 1.0}));
  EXPECT_EQ(condr, 4.0);
  EXPECT_EQ(units.buffer(9), " Hessian modified.  CondR = 4.0E+00\n");

  // Columns scale by their own diagonal: diag (4, 1, 9) -> (2, 1, 3).
  units.clear_buffer(9);
  Factor g(3, 4);
  double v[3][3] = {{4.0, 2.0, 3.0}, {0.0, 1.0, 6.0}, {0.0, 0.0, -9.0}};
  for (int i = 1; i <= 3; ++i)
    for (int j = i; j <= 3; ++j) g.r()(m6rloc(3, i, j)) = v[i - 1][j - 1];
  g.r()(m6dloc(3, 4)) = 16.0;
  m6rset(units, 9, 3, 4, g.r(), reset, condr);
  double want[3][3] = {{2.0, 2.0, 1.0}, {0.0, 1.0, 2.0}, {0.0, 0.0, -3.0}};
  for (int i = 1; i <= 3; ++i)
    for (int j = i; j <= 3; ++j) EXPECT_EQ(g.r()(m6rloc(3, i, j)), want[i - 1][j - 1]);
  EXPECT_EQ(g.r()(m6dloc(3, 4)), 16.0);
  EXPECT_EQ(units.buffer(9), " Hessian modified.  CondR = 9.0E+00\n");

  // A reset prints nothing and gives the identity; so does a rescale of a
  // triangle with a zero diagonal (no square root to divide by).
  for (bool flag : {true, false}) {
    units.clear_buffer(9);
    reset = flag;
    g.r()(m6rloc(3, 2, 2)) = 0.0;
    m6rset(units, 9, 3, 4, g.r(), reset, condr);
    EXPECT_EQ(condr, 1.0);
    EXPECT_EQ(units.buffer(9), "");
    EXPECT_EQ(g.H(4).a, identity(4).a);
  }
}

TEST(ReducedHessian, HessianDimensionZeroResetsTheDiagonal) {
  // With hdim = 0 the first word is d(1): resetting must not depend on it.
  Units units;
  Factor f(0, 5);
  f.buf = {0.0, 5.0, -2.0, 7.0, 9.0};
  bool reset = true;
  double condr = 0.0;
  m6rset(units, 0, 0, 4, f.r(), reset, condr);
  EXPECT_FALSE(reset);
  EXPECT_EQ(f.buf, (std::vector<double>{1.0, 1.0, 1.0, 1.0, 9.0}));
  // Without the flag nothing happens to a diagonal-only factor.
  m6rset(units, 0, 0, 4, f.r(), reset, condr);
  EXPECT_EQ(f.buf[0], 1.0);
  m6radd(0, 5, f.r());
  EXPECT_EQ(f.buf[4], 1.0);
}

TEST(ReducedHessian, BfgsSkipsWithoutCurvatureAndKeepsDiagonalPositive) {
  Factor f(1, 1);
  f.r()(1) = 1.0;
  double g = -1.0, g2 = -0.91, p = 1.0, v = 1.0, w = 0.0;
  int inform = -1;
  // g2'p = 0.91 g'p exactly: no update.
  m6bfgs(1, 1, f.r(), CDvec(&g, 1), CDvec(&g2, 1), CDvec(&p, 1), Dvec(&v, 1), Dvec(&w, 1), 1.0,
         kEps050, kEps080, inform);
  EXPECT_EQ(inform, 0);
  EXPECT_EQ(f.r()(1), 1.0);
  // g'p = 0 (not a descent step) would divide by zero: no update either.
  g = 0.0;
  g2 = 1.0;
  m6bfgs(1, 1, f.r(), CDvec(&g, 1), CDvec(&g2, 1), CDvec(&p, 1), Dvec(&v, 1), Dvec(&w, 1), 1.0,
         kEps050, kEps080, inform);
  EXPECT_EQ(inform, 0);
  EXPECT_EQ(f.r()(1), 1.0);

  // Diagonal-only factor (hdim = 0) updated along the steepest-descent
  // direction: d(1)^2 + y1^2/y's - g1^2/|g'p| = 0.01 + 0.5 - 1/1.000001 < 0
  // becomes 1; d(2)^2 = 1 - 1e-6/1.000001.
  Factor d(0, 2);
  d.buf = {0.1, 1.0};
  std::vector<double> gg = {-1.0, -0.001}, gg2 = {-0.5, -0.001}, pp = {1.0, 0.001}, vv(2), ww(2);
  m6bfgs(0, 2, d.r(), CDvec(gg.data(), 2), CDvec(gg2.data(), 2), CDvec(pp.data(), 2),
         Dvec(vv.data(), 2), Dvec(ww.data(), 2), 1.0, kEps050, kEps080, inform);
  EXPECT_EQ(inform, 1);
  EXPECT_EQ(d.buf[0], 1.0);
  EXPECT_NEAR(d.buf[1], std::sqrt(1.0 - 1e-6 / 1.000001), 1e-15);
}

// The rank-one modification R + v w' at ordinary and at extreme magnitudes
// of R and w: the rotations must neither overflow nor lose the small scale.
TEST(ReducedHessian, RankOneModificationAtExtremeScales) {
  for (double s : {1.0, 1e160, 1e-160}) {
    const int n = 3;
    Factor f(n, n);
    const double r0[3][3] = {{3.0, 1.0, -0.5}, {0.0, 2.0, 0.25}, {0.0, 0.0, 1.5}};
    for (int i = 1; i <= n; ++i)
      for (int j = i; j <= n; ++j) f.r()(m6rloc(n, i, j)) = s * r0[i - 1][j - 1];
    std::vector<double> v = {0.6, -0.8, 0.5}, w = {0.7 * s, 0.2 * s, -0.4 * s};
    // Expected H/s^2 from (R + v w')/s.
    Dense m(n);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j) m(i, j) = (j >= i ? r0[i - 1][j - 1] : 0.0) + v[i - 1] * w[j - 1] / s;
    Dense want(n);
    for (int i = 1; i <= n; ++i)
      for (int j = 1; j <= n; ++j)
        for (int k = 1; k <= n; ++k) want(i, j) += m(k, i) * m(k, j);
    int inform = 0;
    m6rmod(n, n, f.r(), Dvec(v.data(), n), CDvec(w.data(), n), n, 0.0, 0.0, 0.0, inform);
    for (int i = 1; i <= n; ++i)
      for (int j = i; j <= n; ++j) f.r()(m6rloc(n, i, j)) /= s;
    expect_same(f.H(n), want, "scaled rank-one update");
  }
}
