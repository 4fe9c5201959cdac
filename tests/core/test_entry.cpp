#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "core/m2amat.h"
#include "core/m2core.h"
#include "core/run_state.h"
#include "core/setup.h"
#include "core/states.h"
#include "tarvo.h"
#include "files/save_state.h"
#include "lu/basis_state.h"
#include "options/options.h"
#include "options/params.h"

using namespace tv;
using tvtest::kInf;
using tvtest::TestLP;

TEST(WorkspaceEstimate, KnownExampleAndNoOverflow) {
  EXPECT_EQ(tvcore(100, 200, 1000, 300, 1, 1, 0, 0, 0, 0), 20219);
  // Products that overflow 32 bits are carried in 64 bits.
  long long big = tvcore(2000000000, 2000000000, 2000000000, 2000000000, 1, 1, 0, 0, 0, 1);
  EXPECT_GT(big, 18LL * 10 * 2000000000LL);
  // n = 0 does not divide by zero.
  EXPECT_GT(tvcore(5, 0, 0, 5, 1, 1, 0, 0, 0, 1), 0);
}

namespace {
// Partition for a problem of the given size with parameters set directly.
int64_t partition(Context& ctx, int m, int n, int ne, int scaleopt, int nnobj, int nnjac, int nncon,
                  int maxs, int hdim) {
  ctx.run.m = m;
  ctx.run.n = n;
  ctx.run.ne = ne;
  ctx.run.njac = 0;
  ctx.par.scaleopt = scaleopt;
  ctx.par.nnobj = nnobj;
  ctx.par.nnjac = nnjac;
  ctx.par.nncon = nncon;
  ctx.par.maxs = maxs;
  ctx.par.hdim = hdim;
  ctx.par.wsuser = 0;
  return partition_workspace(ctx, 1000000);
}
}  // namespace

TEST(WorkspacePartition, RegionSizes) {
  Context ctx;
  partition(ctx, 10, 20, 50, 0, 0, 0, 0, 1, 1);
  const Partition& P = ctx.part;
  EXPECT_EQ(P.scales.words, 1);            // Scale option 0: one word
  EXPECT_EQ(P.hess.words, 1);              // maxs = hdim = 1: lenr = 1
  EXPECT_EQ(P.fcon6.words, 0);             // no nonlinear constraints
  EXPECT_EQ(P.lambda.words, 0);
  EXPECT_EQ(P.fcon1.words, 0);
  EXPECT_EQ(P.xfull2.words, 0);
  EXPECT_EQ(P.gcon.words, 1);              // njac raised to 1
  EXPECT_EQ(P.gcon2.words, 1);
  EXPECT_EQ(P.bsfeas.words, 11 / 2 + 1);   // 11 integers
  EXPECT_EQ(P.kbs.start, P.bsfeas.start + P.bsfeas.words);
  EXPECT_EQ(P.devex.start, P.grd.start + P.grd.words);  // Devex weights, one per variable
  EXPECT_EQ(P.devex.words, 30);
  EXPECT_EQ(P.chzr.start, P.devex.start + P.devex.words);  // ratio-test list, nbs + 1 integers
  EXPECT_EQ(P.chzr.len, 12);
  EXPECT_EQ(P.ynz.start, P.chzr.start + P.chzr.words);  // nonzeros of y, m + 1 integers
  EXPECT_EQ(P.ynz.len, 11);
  EXPECT_EQ(P.dvxval.words, 0);            // partial pricing: no Devex rows
  EXPECT_EQ(P.dvxrhonz.words, 0);
  EXPECT_EQ(P.lufirst, P.ynz.start + P.ynz.words);

  // Devex pricing: the matrix by rows and the candidate list.
  ctx.par.pricing = kPriceDevex;
  partition(ctx, 10, 20, 50, 0, 0, 0, 0, 1, 1);
  EXPECT_EQ(ctx.part.dvxstart.len, 11);
  EXPECT_EQ(ctx.part.dvxcol.len, 50);
  EXPECT_EQ(ctx.part.dvxval.words, 50);
  EXPECT_EQ(ctx.part.dvxrow.words, 20);
  EXPECT_EQ(ctx.part.dvxrhonz.len, 10);
  EXPECT_EQ(ctx.part.dvxlist.len, 30);
  EXPECT_EQ(ctx.part.dvxssc.words, 30);
  EXPECT_EQ(ctx.part.dvxtau.words, 0);      // Devex: no steepest-edge vectors
  EXPECT_EQ(ctx.part.lufirst, ctx.part.dvxssc.start + ctx.part.dvxssc.words);
  // Steepest edge: the same and two vectors of m.
  ctx.par.pricing = kPriceSteepest;
  partition(ctx, 10, 20, 50, 0, 0, 0, 0, 1, 1);
  EXPECT_EQ(ctx.part.dvxssc.words, 30);
  EXPECT_EQ(ctx.part.dvxtau.words, 10);
  EXPECT_EQ(ctx.part.dvxtrhs.words, 10);
  EXPECT_EQ(ctx.part.lufirst, ctx.part.dvxtrhs.start + ctx.part.dvxtrhs.words);
  ctx.par.pricing = kPriceDefault;

  partition(ctx, 10, 20, 50, 2, 4, 0, 0, 1, 1);
  EXPECT_EQ(ctx.part.xsave.words, 4);      // Scale option 2 and nnl > 0
  EXPECT_EQ(ctx.part.scales.words, 30);
  partition(ctx, 10, 20, 50, 1, 4, 0, 0, 1, 1);
  EXPECT_EQ(ctx.part.xsave.words, 0);      // Scale option 1
}

TEST(WorkspacePartition, MinworkGrowsWithTheLuEstimate) {
  Context ctx;
  int64_t w1 = partition(ctx, 100, 200, 1000, 2, 0, 0, 0, 1, 1);
  int64_t w2 = partition(ctx, 100, 200, 5000, 2, 0, 0, 0, 1, 1);
  EXPECT_GT(w2, w1);
  // LU entries: m + n + 6 * max(ne/n, 10) * min(nbs, n) + 10000, two words each.
  partition(ctx, 100, 200, 1000, 2, 0, 0, 0, 1, 1);
  const LuMap& L = ctx.bas.map;
  EXPECT_EQ(w1, (L.la - 1) + 2 * (100 + 200 + 6 * 10 * 101 + 10000));
}

// The estimate's terms for the regions before the LU factors cover those
// regions for a problem with nonlinear rows, including the Jacobian copies and
// the saved bounds of the rows, which grow with njac and nncon.  (The LU term
// 18 max(ne/n, 10) min(n, m) is a separate guess; the host link adds a
// margin for the LU map's fixed part.)
TEST(WorkspacePartition, EstimateCoversTheRegionsOfNonlinearRows) {
  for (int njac : {1500, 20000}) {
    Context ctx;
    const int m = 500, n = 1001, ne = 3000 + njac, nncon = 500, maxs = 501;
    ctx.run.m = m;
    ctx.run.n = n;
    ctx.run.ne = ne;
    ctx.run.njac = njac;
    ctx.par.scaleopt = 2;
    ctx.par.nnobj = n;
    ctx.par.nnjac = n;
    ctx.par.nncon = nncon;
    ctx.par.maxs = maxs;
    ctx.par.hdim = maxs;
    ctx.par.wsuser = 0;
    partition_workspace(ctx, 1 << 30);
    const long long lu = 18LL * std::max(ne / n, 10) * std::min(n, m);
    const long long est = tvcore(m, n, ne, m + n, maxs, maxs, n, nncon, n, njac);
    EXPECT_GE(est - lu, ctx.part.lufirst - 1) << njac;
  }
  // The 64-bit entry gives the same value.
  int m = 500, n = 1001, ne = 4500, nb = 1501, h = 501, nn = 1001, nc = 500, nj = 1500;
  long long e64 = 0;
  int e32 = 0;
  ::tvcore64(&m, &n, &ne, &nb, &h, &h, &nn, &nc, &nn, &nj, &e64);
  ::tvcore(&m, &n, &ne, &nb, &h, &h, &nn, &nc, &nn, &nj, &e32);
  EXPECT_EQ(e64, tvcore(m, n, ne, nb, h, h, nn, nc, nn, nj));
  EXPECT_EQ(e32, e64);
}

namespace {

struct Solve {
  Context ctx;
  TestLP lp;
  std::vector<double> z;
  EntryResult r;
  int ns = 0;

  explicit Solve(TestLP p) : lp(std::move(p)) {
    tvstart(ctx, 9, 0, 0);
    ctx.io.attach_buffer(9);
  }
  int run(int nwork, const char* start = "Cold") {
    z.assign(nwork > 0 ? nwork : 1, 0.0);
    Problem P = lp.view();
    tvnoss(ctx, start, P, nullptr, ns, z.data(), nwork, r);
    return r.inform;
  }
  std::string out() const { return ctx.io.buffer(9); }
};

TestLP tiny() {
  return TestLP::dense({{1, 1}, {1, -1}}, {-kInf, 0}, {4, 0}, {0, 0}, {kInf, kInf});
}

}  // namespace

TEST(Entry, TooLittleWorkspaceLeavesTheArraysAlone) {
  Solve s(tiny());
  s.lp.xn = {1, 2, 3, 4};
  s.lp.hs = {0, 1, 3, 3};
  s.lp.pi = {5, 6};
  s.lp.rc = {7, 8, 9, 10};
  EXPECT_EQ(s.run(10), 42);
  const int minwork = s.r.minwork;
  ASSERT_GT(minwork, 10);
  EXPECT_EQ(s.run(minwork - 1), 42);
  EXPECT_EQ(s.lp.xn, (std::vector<double>{1, 2, 3, 4}));
  EXPECT_EQ(s.lp.hs, (std::vector<int>{0, 1, 3, 3}));
  EXPECT_EQ(s.lp.pi, (std::vector<double>{5, 6}));
  EXPECT_EQ(s.lp.rc, (std::vector<double>{7, 8, 9, 10}));
  EXPECT_NE(s.run(minwork), 42);
}

TEST(Entry, InvalidProblemDataIsRefused) {
  auto expect_bad = [](TestLP lp, const char* what) {
    Solve s(std::move(lp));
    EXPECT_EQ(s.run(100000), TV_BAD_DATA) << what;
    EXPECT_TRUE(tvtest::contains(s.out(), " XXX  Invalid problem data:")) << what;
  };
  TestLP lp = tiny();
  lp.ha[1] = 3;  // row index out of range
  expect_bad(lp, "row index");
  lp = tiny();
  lp.ka[1] = 6;  // ka(2) > ka(3): pointers out of order
  expect_bad(lp, "ka");
  lp = tiny();
  lp.a[0] = std::nan("");
  expect_bad(lp, "NaN entry");
  lp = tiny();
  lp.bu[0] = HUGE_VAL;
  expect_bad(lp, "infinite bound");
  lp = tiny();
  lp.objrow = 5;
  expect_bad(lp, "objrow");
  lp = tiny();
  lp.nncon = 3;
  expect_bad(lp, "nncon > m");

  Solve s(tiny());
  Problem P = s.lp.view();
  P.nb = 7;  // nb != n + m
  s.z.assign(100000, 0.0);
  tvnoss(s.ctx, "Cold", P, nullptr, s.ns, s.z.data(), 100000, s.r);
  EXPECT_EQ(s.r.inform, TV_BAD_DATA);
}

TEST(StartMode, LettersAndFlags) {
  Context ctx;
  ctx.io.attach_buffer(9);
  ctx.par.prtfile = 9;
  int ns = 4;
  set_start_mode(ctx, "hot", ns);
  EXPECT_EQ(ctx.run.startmode, 2);
  EXPECT_TRUE(ctx.run.gotfac && ctx.run.gothes && ctx.run.gotscl && ctx.run.gotbas);
  EXPECT_EQ(ns, 4);
  EXPECT_TRUE(tvtest::contains(ctx.io.buffer(9),
                               " gotbas = T     gotfac = T     gothes = T     gotscl = T"));
  set_start_mode(ctx, "Hot S", ns);
  EXPECT_FALSE(ctx.run.gotfac);
  EXPECT_FALSE(ctx.run.gothes);
  EXPECT_TRUE(ctx.run.gotscl);
  set_start_mode(ctx, "Hot  fh     ", ns);
  EXPECT_TRUE(ctx.run.gotfac && ctx.run.gothes && !ctx.run.gotscl);
  set_start_mode(ctx, "Warm", ns);
  EXPECT_EQ(ctx.run.startmode, 1);
  EXPECT_TRUE(ctx.run.gotbas);
  set_start_mode(ctx, "basis", ns);
  EXPECT_EQ(ctx.run.startmode, 0);
  EXPECT_EQ(ns, 0);
  ns = 3;
  set_start_mode(ctx, "xyz", ns);
  EXPECT_EQ(ctx.run.startmode, 0);
  EXPECT_EQ(ns, 0);
  EXPECT_TRUE(tvtest::contains(ctx.io.buffer(9), " XXX Start parameter not recognized:  xyz"));
}

TEST(StateCodes, InternalAndExternal) {
  std::vector<double> bl = {0, 0, 0, 2, 0}, bu = {1, 1, 1, 2, 5}, x = {0, 1, 0.5, 2, 3};
  std::vector<int> hs = {1, 0, 0, 0, 3};
  m5hs(HsMode::Internal, 5, CDvec(bl.data(), 5), CDvec(bu.data(), 5), Ivec(hs.data(), 5),
       CDvec(x.data(), 5));
  EXPECT_EQ(hs, (std::vector<int>{0, 1, -1, 4, 3}));
  m5hs(HsMode::External, 5, CDvec(bl.data(), 5), CDvec(bu.data(), 5), Ivec(hs.data(), 5),
       CDvec(x.data(), 5));
  EXPECT_EQ(hs, (std::vector<int>{0, 1, 0, 0, 3}));
}

TEST(SolutionStatus, ClassifiesVariables) {
  Context ctx;
  ctx.par.feastol = 1e-6;
  ctx.par.opttol = 1e-6;
  ctx.sav.pinorm = 1.0;
  ctx.run.ninf = 0;
  // n = 2 columns, 1 slack.
  std::vector<int> hs = {0, 3, 0};
  std::vector<double> bl = {0, 0, -1}, bu = {10, 10, 1}, rc = {2.0, 0.0, 0.0}, x = {0, 10, -1};
  int flag = -1, state = -1;
  auto run = [&](int j) {
    return tvsolf(ctx, 2, j, flag, state, CIvec(hs.data(), 3), CDvec(bl.data(), 3),
                  CDvec(bu.data(), 3), CDvec(rc.data(), 3), CDvec(x.data(), 3));
  };
  // Column at lower bound with rc = 2 (d = -2): optimal, value d.
  EXPECT_DOUBLE_EQ(run(1), -2.0);
  EXPECT_EQ(state, 0);
  EXPECT_EQ(flag, 0);
  // Basic column at its upper bound: degenerate.
  run(2);
  EXPECT_EQ(state, 3);
  EXPECT_EQ(flag, 2);
  // Slack at lower (hs 0) is reported at upper; rc 0 gives an alternative optimum.
  run(3);
  EXPECT_EQ(state, 1);
  EXPECT_EQ(flag, 1);
  // A wrong-signed reduced cost is flagged not optimal.
  rc[0] = -3.0;
  EXPECT_DOUBLE_EQ(run(1), 3.0);
  EXPECT_EQ(flag, 4);
  // Nonbasic strictly between bounds: state 5, value |d|.
  x[0] = 5.0;
  EXPECT_DOUBLE_EQ(run(1), 3.0);
  EXPECT_EQ(state, 5);
  // Basic and infeasible.
  x[1] = 12.0;
  EXPECT_DOUBLE_EQ(run(2), 2.0);
  EXPECT_EQ(flag, 3);
}

TEST(MatrixStatistics, ExactLines) {
  Context ctx;
  ctx.io.attach_buffer(9);
  ctx.par.prtfile = 9;
  // Rows: 1 objective (free), 2 equality, 3 one-sided, 4 ranged.
  TestLP lp = TestLP::dense({{1, -2, 0}, {1, 1, 1}, {0, 3, 4}, {0.5, 0, 8}}, {-kInf, 4, 1, -1},
                            {kInf, 4, kInf, 3}, {0, -kInf, 2}, {kInf, kInf, 2}, 1);
  Problem P = lp.view();
  std::vector<int> rt(4);
  m2amat(ctx, 1, P, Ivec(rt.data(), 4));
  EXPECT_EQ(rt, (std::vector<int>{2, 0, 1, 1}));
  const auto l = tvtest::lines(ctx.io.buffer(9));
  const std::vector<std::string> want = {
      "",
      "",
      "",
      " Matrix Statistics",
      " -----------------",
      "               Total      Normal        Free       Fixed     Bounded",
      " Rows              4           1           1           1           1",
      " Columns           3           1           1           1           0",
      "",
      " No. of matrix elements                    9     Density      75.000",
      " Biggest                          3.0000E+00  (excluding fixed columns,",
      " Smallest                         5.0000E-01   free rows, and RHS)",
      "",
      " No. of objective coefficients             2",
      " Biggest                          2.0000E+00  (excluding fixed columns)",
      " Smallest                         1.0000E+00",
      "",
      "",
      " Nonlinear constraints       0     Linear constraints       4",
      " Nonlinear variables         0     Linear variables         3",
      " Jacobian  variables         0     Objective variables      0",
  };
  EXPECT_EQ(l, want);
  // Mode 2 only computes the row types.
  ctx.io.clear_buffer(9);
  m2amat(ctx, 2, P, Ivec(rt.data(), 4));
  EXPECT_EQ(ctx.io.buffer(9), "");
}
