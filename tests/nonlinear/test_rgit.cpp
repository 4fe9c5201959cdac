// Pieces of the reduced-gradient iteration on hand-made lists: the
// exchange of superbasics between the triangle of R and its diagonal part
// (m7sscv), the choice of a superbasic to replace a basic variable
// (m7chzq), the reduced gradient and the gradient in basis order.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "core/context.h"
#include "core/m2core.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/rgit.h"
#include "options/params.h"
#include "simplex/simplex_state.h"

namespace {

using tv::m6dloc;
using tv::m6rloc;

// A context whose workspace holds the regions of a problem with m rows,
// the given superbasics limit and Hessian dimension.
struct Lists {
  tv::Context ctx;
  std::vector<double> z;
  tv::Problem P;
  Lists(int m, int n, int maxs, int hdim) {
    tv::CoreSizes s;
    s.m = m;
    s.n = n;
    s.ne = 1;
    s.nnobj = n;
    s.maxs = maxs;
    s.hdim = hdim;
    const int64_t words = tv::m2core(s, ctx.part);
    z.assign(static_cast<size_t>(words), 0.0);
    ctx.ws.bind(z.data(), words);
    ctx.ws.make_ints(ctx.part.kbs.start, ctx.part.kbs.len);
    P.m = m;
    P.n = n;
  }
  tv::Ivec kbs() { return ctx.ws.ivec(ctx.part.kbs); }
  tv::Dvec d(const tv::Region& r) { return ctx.ws.dvec(r); }
};

// Converged with more superbasics than the Hessian dimension: the
// diagonal-only superbasic with the largest |rg| moves into the triangle and
// the triangle's smallest goes to the end of the list with everything it
// had (index, value, bounds, gradient, rg) and its old diagonal of R.
TEST(RgIteration, ConvergedSubspaceExchangesTriangleAndDiagonal) {
  const int m = 2, hdim = 3, ns = 5;
  Lists L(m, 10, 10, hdim);
  tv::Ivec kbs = L.kbs();
  tv::Dvec xbs = L.d(L.ctx.part.xbs), blbs = L.d(L.ctx.part.blbs), bubs = L.d(L.ctx.part.bubs);
  tv::Dvec grd = L.d(L.ctx.part.grd), rg = L.d(L.ctx.part.rg), R = L.d(L.ctx.part.hess);
  const double rgv[ns + 1] = {0, 0.5, 0.01, 0.3, 0.2, 0.9};
  for (int k = 1; k <= ns; ++k) {
    kbs(m + k) = 100 + k;
    xbs(m + k) = 10.0 * k;
    blbs(m + k) = -k;
    bubs(m + k) = 100.0 + k;
    grd(m + k) = 0.5 * k;
    rg(k) = rgv[k];
  }
  // Triangle: diagonal 2, 3, 4, off-diagonals 0.1; diagonal part 5, 6.
  for (int i = 1; i <= hdim; ++i) {
    R(m6rloc(hdim, i, i)) = 1.0 + i;
    for (int j = i + 1; j <= hdim; ++j) R(m6rloc(hdim, i, j)) = 0.1;
  }
  R(m6dloc(hdim, 4)) = 5.0;
  R(m6dloc(hdim, 5)) = 6.0;
  tv::SimplexState& S = L.ctx.spx;
  S.lvltol = 1;
  S.tolrg = 0.5;
  S.pinorm = 1.0;

  const int verdict = tv::m7sscv(L.ctx, L.P, ns, 1.0, 1.0, 1.0, 1.0, 1.0, 0.01);
  EXPECT_EQ(verdict, tv::kStateRg);  // an exchange means: go on in the subspace
  EXPECT_FALSE(L.ctx.nl.sconv);
  // Position 2 (|rg| 0.01) left the triangle for the end of the list ...
  EXPECT_EQ(kbs(m + ns), 102);
  EXPECT_EQ(xbs(m + ns), 20.0);
  EXPECT_EQ(blbs(m + ns), -2.0);
  EXPECT_EQ(bubs(m + ns), 102.0);
  EXPECT_EQ(grd(m + ns), 1.0);
  EXPECT_EQ(rg(ns), 0.01);
  EXPECT_EQ(R(m6dloc(hdim, ns)), 3.0);
  // ... and superbasic 105 (|rg| 0.9) entered the triangle at its last
  // column with its diagonal value; 104 stays in the diagonal part.
  EXPECT_EQ(kbs(m + 1), 101);
  EXPECT_EQ(kbs(m + 2), 103);
  EXPECT_EQ(kbs(m + 3), 105);
  EXPECT_EQ(kbs(m + 4), 104);
  EXPECT_EQ(rg(3), 0.9);
  EXPECT_NEAR(std::fabs(R(m6rloc(hdim, 3, 3))), 6.0, 1e-12);
  EXPECT_EQ(R(m6dloc(hdim, 4)), 5.0);

  // Not converged: nothing moves; converged with room to spare and a small
  // diagonal |rg|: converged, nothing moves.
  EXPECT_EQ(tv::m7sscv(L.ctx, L.P, ns, 1.0, 1.0, 1.0, 1.0, 1.0, 0.4), tv::kStateRg);
  EXPECT_EQ(kbs(m + ns), 102);
  S.tolrg = 1.0;
  EXPECT_EQ(tv::m7sscv(L.ctx, L.P, ns, 1.0, 1.0, 1.0, 1.0, 1.0, 0.01), tv::kStatePriceRg);
  EXPECT_EQ(kbs(m + 3), 105);
  EXPECT_TRUE(L.ctx.nl.sconv);
}

// xconv, fconv and gconv together also mean convergence.
TEST(RgIteration, ConvergenceFlags) {
  Lists L(1, 3, 3, 3);
  tv::SimplexState& S = L.ctx.spx;
  S.lvltol = 1;
  S.tolrg = 1.0;
  S.pinorm = 1.0;
  // step 0.1 * (1 + xnorm) is the limit of xconv, 0.01 (1 + |f|) of fconv.
  EXPECT_EQ(tv::m7sscv(L.ctx, L.P, 2, 0.099, 1.0, 0.0, 1.0, 1.0199, 0.9), tv::kStatePriceRg);
  EXPECT_TRUE(L.ctx.nl.xconv && L.ctx.nl.fconv && L.ctx.nl.gconv);
  EXPECT_EQ(tv::m7sscv(L.ctx, L.P, 2, 0.101, 1.0, 0.0, 1.0, 1.0199, 0.9), tv::kStateRg);
  EXPECT_FALSE(L.ctx.nl.xconv);
  EXPECT_EQ(tv::m7sscv(L.ctx, L.P, 2, 0.099, 1.0, 0.0, 1.0, 1.03, 0.9), tv::kStateRg);
  EXPECT_FALSE(L.ctx.nl.fconv);
  S.lvltol = 2;  // fine tolerances: 1e-6 and 1e-12
  EXPECT_EQ(tv::m7sscv(L.ctx, L.P, 2, 0.099, 1.0, 0.0, 1.0, 1.0199, 0.9), tv::kStateRg);
}

// Row r of B^-1 against the superbasic columns: the adequate pivots, and
// among them the one farthest from its bounds; too small a pivot fails.
TEST(RgIteration, SuperbasicToReplaceABasicVariable) {
  // Columns 1..3 of a 2-row matrix: (1, 0), (0.5, 1), (0.05, 2); slack 5 is
  // row 2's.  Superbasics 1, 2, 3, 5.
  const std::vector<double> a = {1.0, 0.5, 1.0, 0.05, 2.0};
  const std::vector<int> ha = {1, 1, 2, 1, 2}, ka = {1, 2, 4, 6};
  const std::vector<int> kbs = {0, 0, 1, 2, 3, 5};
  const std::vector<double> xbs = {0, 0, 5.0, 1.0, 2.0, 0.0}, blbs = {0, 0, 0.0, 0.0, 0.0, -10.0},
                            bubs = {0, 0, 6.0, 100.0, 100.0, 10.0};
  std::vector<double> y = {1.0, 0.0}, w(4);
  tv::Units io;
  io.attach_buffer(9);
  const auto A = tv::CDvec(a.data(), 5);
  const auto HA = tv::CIvec(ha.data(), 5), KA = tv::CIvec(ka.data(), 4);
  double pivot = 0.0;
  // w = (1, 0.5, 0.05, 0): 1 and 2 qualify (>= 0.1); 2 is 1 from its bound,
  // 1 only 1 from its upper bound: the last on ties, 2.
  int q = tv::m7chzq(io, 9, 2, 4, 3, A, HA, KA, tv::CIvec(kbs.data(), 6), tv::CDvec(xbs.data(), 6),
                     tv::CDvec(blbs.data(), 6), tv::CDvec(bubs.data(), 6), tv::CDvec(y.data(), 2), 1e-8, false,
                     tv::Dvec(w.data(), 4), pivot);
  EXPECT_EQ(q, 2);
  EXPECT_EQ(pivot, 0.5);
  EXPECT_EQ(w, (std::vector<double>{1.0, 0.5, 0.05, 0.0}));
  // Row 2: w = (0, 1, 2, 1); 3 (2.0 from 0) and 5 (10 from its bounds).
  y = {0.0, 1.0};
  q = tv::m7chzq(io, 9, 2, 4, 3, A, HA, KA, tv::CIvec(kbs.data(), 6), tv::CDvec(xbs.data(), 6),
                 tv::CDvec(blbs.data(), 6), tv::CDvec(bubs.data(), 6), tv::CDvec(y.data(), 2), 1e-8, true,
                 tv::Dvec(w.data(), 4), pivot);
  EXPECT_EQ(q, 4);
  EXPECT_EQ(pivot, 1.0);
  // The vector of the R update: w(q) - 1, all scaled by -1/pivot.
  EXPECT_EQ(w, (std::vector<double>{-0.0, -1.0, -2.0, -0.0}));
  // Nothing adequate.
  y = {1e-12, 0.0};
  q = tv::m7chzq(io, 9, 2, 4, 3, A, HA, KA, tv::CIvec(kbs.data(), 6), tv::CDvec(xbs.data(), 6),
                 tv::CDvec(blbs.data(), 6), tv::CDvec(bubs.data(), 6), tv::CDvec(y.data(), 2), 1e-8, false,
                 tv::Dvec(w.data(), 4), pivot);
  EXPECT_EQ(q, 0);
  EXPECT_EQ(io.buffer(9), "\n XXX  m7chzq.  Max pivot is too small:    1.0E-12\n");
}

// rg = g_S - S'pi, slacks by their row's price; grd in basis order takes
// the nonlinear columns' gradient and the objective row's for its slack.
TEST(RgIteration, ReducedGradientAndBasisOrderGradient) {
  // Two rows, two columns: column 1 is (1, 2), column 2 is (0, 3); slacks 3
  // and 4, the objective row's slack is 4.  Basic: 4 and 2; superbasic:
  // column 1 and slack 3.
  const std::vector<double> a = {1.0, 2.0, 3.0};
  const std::vector<int> ha = {1, 2, 2}, ka = {1, 3, 4};
  const std::vector<int> kbs = {4, 2, 1, 3};
  const std::vector<double> g = {10.0, 20.0};
  std::vector<double> grd(4), pi = {0.5, 0.25}, rg(2);
  tv::m7bsg(4, 2, tv::CIvec(kbs.data(), 4), tv::CDvec(g.data(), 2), tv::Dvec(grd.data(), 4), 4, -7.0);
  EXPECT_EQ(grd, (std::vector<double>{-7.0, 20.0, 10.0, 0.0}));
  const double rgnorm = tv::m7rg(2, 2, 2, tv::CDvec(a.data(), 3), tv::CIvec(ha.data(), 3), tv::CIvec(ka.data(), 3),
                                 tv::CIvec(kbs.data(), 4), tv::CDvec(grd.data(), 4), tv::CDvec(pi.data(), 2),
                                 tv::Dvec(rg.data(), 2));
  // column 1: 10 - (1 * 0.5 + 2 * 0.25); slack 3 (row 1): 0 - 0.5.
  EXPECT_EQ(rg, (std::vector<double>{9.0, -0.5}));
  EXPECT_EQ(rgnorm, 9.0);
}

}  // namespace
