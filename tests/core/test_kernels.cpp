#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/kernels.h"
#include "core/matcol.h"
#include "options/params.h"

using namespace tv;
using tvtest::TestLP;

TEST(VectorKernels, LoadsCopiesAndIncrements) {
  std::vector<double> x(7, 9.0);
  Dvec v(x.data(), 7);
  dload(3, 0.0, v, 1);
  EXPECT_EQ(x[0], 0.0);
  EXPECT_EQ(x[2], 0.0);
  EXPECT_EQ(x[3], 9.0);
  dload(3, 2.5, v, 3);  // elements 1, 4, 7
  EXPECT_EQ(x[0], 2.5);
  EXPECT_EQ(x[3], 2.5);
  EXPECT_EQ(x[6], 2.5);
  dload(0, 5.0, v, 1);  // count 0 touches nothing
  EXPECT_EQ(x[1], 0.0);

  std::vector<int> xi = {1, 2, 3}, yi(3, 0);
  icopy(3, CIvec(xi.data(), 3), 1, Ivec(yi.data(), 3), -1);  // reversed
  EXPECT_EQ(yi, (std::vector<int>{3, 2, 1}));
  iload(2, 7, Ivec(yi.data(), 3), 2);
  EXPECT_EQ(yi, (std::vector<int>{7, 2, 7}));
}

TEST(VectorKernels, ScalingDivisionAndNorms) {
  std::vector<double> d = {4.0}, y = {1.0, 2.0, 8.0};
  dddiv(3, CDvec(d.data(), 1), 0, Dvec(y.data(), 3), 1);
  EXPECT_EQ(y, (std::vector<double>{0.25, 0.5, 2.0}));
  std::vector<double> dd = {2.0, 3.0, 4.0};
  ddscl(3, CDvec(dd.data(), 3), 1, Dvec(y.data(), 3), 1);
  EXPECT_EQ(y, (std::vector<double>{0.5, 1.5, 8.0}));
  dddiv(3, CDvec(dd.data(), 3), 1, Dvec(y.data(), 3), 1);
  EXPECT_EQ(y, (std::vector<double>{0.25, 0.5, 2.0}));

  EXPECT_EQ(dnormi(0, CDvec(), 1), 0.0);
  std::vector<double> z = {1.0, -7.0, 3.0, -2.0};
  EXPECT_EQ(dnormi(4, CDvec(z.data(), 4), 1), 7.0);
  EXPECT_DOUBLE_EQ(dnorm1(4, CDvec(z.data(), 4), 1), 13.0 / 2.0);
  EXPECT_EQ(dnorm1(-3, CDvec(), 1), -3.0);
}

namespace {
// 3 x 3:  [1 0 2; 0 3 0; 4 0 5], objective row none.
TestLP small() {
  return TestLP::dense({{1, 0, 2}, {0, 3, 0}, {4, 0, 5}}, {0, 0, 0}, {10, 10, 10}, {0, 0, 0},
                       {5, 5, 5});
}
}  // namespace

TEST(MatrixKernels, UnpackAndProducts) {
  TestLP lp = small();
  Problem P = lp.view();
  std::vector<double> y(3, 9.0);
  m2unpk(3, 3, 3, P.a, P.ha, P.ka, Dvec(y.data(), 3));
  EXPECT_EQ(y, (std::vector<double>{2, 0, 5}));
  m2unpk(5, 3, 3, P.a, P.ha, P.ka, Dvec(y.data(), 3));  // slack of row 2
  EXPECT_EQ(y, (std::vector<double>{0, 1, 0}));

  // mode 5: y = y - A x, a tiny level skipped.
  std::vector<double> x = {1.0, 1e-14, 2.0};
  std::vector<double> r(3, 0.0);
  m2apr5(5, 3, 0, 0, 3e-13, P.a, P.ha, P.ka, CDvec(x.data(), 3), Dvec(r.data(), 3));
  EXPECT_EQ(r, (std::vector<double>{-5, 0, -14}));

  // modes 1 and 3 over a list of basic variables (column 3, slack 1).
  std::vector<int> kbs = {3, 4};
  std::vector<double> xb = {2.0, 1.0}, yy(3, 0.0);
  m2apr1(1, 3, 3, 0.0, P.a, P.ha, P.ka, CIvec(kbs.data(), 2), CDvec(xb.data(), 2), 2,
         Dvec(yy.data(), 3));
  EXPECT_EQ(yy, (std::vector<double>{-5, 0, -10}));
  std::vector<double> pi = {1.0, 1.0, 1.0}, out(2, 0.0);
  m2apr1(3, 3, 3, 0.0, P.a, P.ha, P.ka, CIvec(kbs.data(), 2), CDvec(pi.data(), 3), 2,
         Dvec(out.data(), 2));
  EXPECT_EQ(out, (std::vector<double>{-7, -1}));

  // modes 6 and 7 keep only the rows 1..nncon.
  std::vector<double> r6(3, 0.0);
  std::vector<double> ones = {1, 1, 1};
  m2apr5(7, 3, 1, 2, 0.0, P.a, P.ha, P.ka, CDvec(ones.data(), 3), Dvec(r6.data(), 3));
  EXPECT_EQ(r6, (std::vector<double>{-1, 0, 0}));
  m2apr5(6, 3, 1, 2, 0.0, P.a, P.ha, P.ka, CDvec(ones.data(), 3), Dvec(r6.data(), 3));
  EXPECT_EQ(r6, (std::vector<double>{-3, 0, 0}));
}

TEST(MatrixKernels, ReducedCostsAndInfeasibilities) {
  TestLP lp = small();
  Problem P = lp.view();
  std::vector<double> pi = {1.0, 2.0, -1.0}, g = {0.5, 0.0, 0.0};
  for (int j = 1; j <= 6; ++j) P.hs(j) = 0;
  P.hs(2) = 3;  // basic: m2rcn leaves it alone
  P.rc(2) = 99.0;
  m2rcn(1, 3, true, 1, P.a, P.ha, P.ka, P.hs, CDvec(g.data(), 1), CDvec(pi.data(), 3), P.rc);
  EXPECT_DOUBLE_EQ(P.rc(1), -(1.0 - 4.0) + 0.5);
  EXPECT_EQ(P.rc(2), 99.0);
  EXPECT_DOUBLE_EQ(P.rc(3), -(2.0 - 5.0));

  // All reduced costs, infeasible point: phase-1 costs for basic variables only.
  P.hs(4) = 3;
  P.xn(2) = 7.0;   // above its upper bound 5
  P.xn(4) = 1.0;   // slack of row 1, bounds [-10, 0]: above
  P.xn(1) = -1.0;  // nonbasic below: no phase-1 cost
  m2rca(false, 1e-6, 1.0, 3, 3, 0, P.a, P.ha, P.ka, P.hs, P.bl, P.bu, CDvec(g.data(), 1),
        CDvec(pi.data(), 3), P.rc, P.xn);
  EXPECT_DOUBLE_EQ(P.rc(1), 3.0);
  EXPECT_DOUBLE_EQ(P.rc(2), -6.0 + 1.0);
  EXPECT_DOUBLE_EQ(P.rc(4), -1.0 + 1.0);
  EXPECT_DOUBLE_EQ(P.rc(5), -2.0);

  double inf;
  int j;
  m2binf(6, P.xn, P.bl, P.bu, inf, j);
  EXPECT_EQ(j, 2);
  EXPECT_DOUBLE_EQ(inf, 2.0);

  // Dual infeasibility: at lower bound with negative rc is infeasible.
  std::vector<double> rc = {-3.0, 0.0, 2.0, 0.0, 0.0, 0.0};
  std::vector<double> x = {0.0, 2.0, 5.0, 0.0, 0.0, 0.0};
  m2dinf(6, 0, P.bl, P.bu, CDvec(rc.data(), 6), CDvec(x.data(), 6), inf, j);
  EXPECT_EQ(j, 1);
  EXPECT_DOUBLE_EQ(inf, 3.0);
  m2dinf(6, 1, P.bl, P.bu, CDvec(rc.data(), 6), CDvec(x.data(), 6), inf, j);
  EXPECT_EQ(j, 3);
  EXPECT_DOUBLE_EQ(inf, 2.0);
}

TEST(MatrixKernels, GatherScatterAndRowFlip) {
  std::vector<int> kbs = {3, 1};
  std::vector<double> xbs(2), xn = {10, 20, 30};
  m5bsx(0, 2, CIvec(kbs.data(), 2), Dvec(xbs.data(), 2), Dvec(xn.data(), 3));
  EXPECT_EQ(xbs, (std::vector<double>{30, 10}));
  xbs = {-1, -2};
  m5bsx(1, 2, CIvec(kbs.data(), 2), Dvec(xbs.data(), 2), Dvec(xn.data(), 3));
  EXPECT_EQ(xn, (std::vector<double>{-2, 20, -1}));

  TestLP lp = small();
  Problem P = lp.view();
  P.xn(4) = -3.0;
  P.hs(4) = 0;
  P.hs(5) = 1;
  P.rc(4) = 2.0;
  m2swap(1, 3, 3, P.bl, P.bu, P.hs, P.xn, P.rc);
  EXPECT_EQ(P.bl(4), 0.0);
  EXPECT_EQ(P.bu(4), 10.0);
  EXPECT_EQ(P.xn(4), 3.0);
  EXPECT_EQ(P.hs(4), 1);
  EXPECT_EQ(P.hs(5), 0);
  EXPECT_EQ(P.rc(4), 2.0);
  m2swap(2, 3, 3, P.bl, P.bu, P.hs, P.xn, P.rc);
  EXPECT_EQ(P.bl(4), -10.0);
  EXPECT_EQ(P.hs(4), 0);
  EXPECT_EQ(P.rc(4), -2.0);
}

TEST(Export, MatrixAndSolutionFiles) {
  Units io;
  TestLP lp = small();
  Problem P = lp.view();
  for (int j = 1; j <= 6; ++j) P.hs(j) = (j == 2 || j == 6) ? 3 : 0;
  io.attach_buffer(92);
  m2xmat(io, 92, P);
  auto l = tvtest::lines(io.buffer(92));
  ASSERT_EQ(l.size(), 2u);
  EXPECT_EQ(l[0], "         2         1    3.00000000000000E+00");
  EXPECT_EQ(l[1], "         3         2   -1.00000000000000E+00");
  io.attach_buffer(91);
  m2xmat(io, 91, P);
  EXPECT_EQ(tvtest::lines(io.buffer(91)).size(), 5u);
  io.attach_buffer(90);
  m2xmat(io, 90, P);  // any other unit writes nothing
  EXPECT_EQ(io.buffer(90), "");

  io.attach_buffer(81);
  m2xsol(io, 81, P, 1, 0, 1.5, 0, 0.0);
  EXPECT_EQ(tvtest::lines(io.buffer(81)).size(), 3u + 6u);
}

TEST(Export, MatcolFillsPhantomColumnsAndReportsErrors) {
  Context ctx;
  // Two real columns and one empty phantom column; room for 2 phantom elements.
  TestLP lp = TestLP::dense({{1, 0, 0}, {0, 1, 0}}, {0, 0}, {1, 1}, {0, 0, 0}, {1, 1, 1});
  lp.a.resize(lp.a.size() + 2, 0.0);
  lp.ha.resize(lp.ha.size() + 2, 0);
  Problem P = lp.view();
  P.a = Dvec(lp.a.data(), 4);
  P.ha = Ivec(lp.ha.data(), 4);
  ctx.par.phcols = 1;
  ctx.par.budef = 7.0;
  ctx.io.attach_buffer(9);
  ctx.par.prtfile = 9;
  std::vector<double> zero = {0.0};
  std::vector<int> r1 = {1};
  EXPECT_EQ(matcol(ctx, P, 1, CDvec(zero.data(), 1), CIvec(r1.data(), 1)), 1);
  EXPECT_TRUE(tvtest::contains(ctx.io.buffer(9), " XXX  MATCOL  error.  New column of  A  was zero."));
  std::vector<double> v = {2.0, 3.0};
  std::vector<int> rows = {1, 2};
  EXPECT_EQ(matcol(ctx, P, 2, CDvec(v.data(), 2), CIvec(rows.data(), 2)), 0);
  EXPECT_EQ(P.ne, 4);
  EXPECT_EQ(P.ka(4), 5);
  EXPECT_EQ(P.a(4), 3.0);
  EXPECT_EQ(P.bu(3), 7.0);
  EXPECT_EQ(matcol(ctx, P, 2, CDvec(v.data(), 2), CIvec(rows.data(), 2)), 1);
  EXPECT_TRUE(tvtest::contains(ctx.io.buffer(9), " XXX  MATCOL  error.  Not enough Phantom columns."));
}
