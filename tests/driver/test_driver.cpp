// The run driver end to end on small LPs with known solutions: the three
// entries, maximisation signs, tvsolf, warm start, cycles, no objective row,
// a log callback that stops the run.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/lp.h"
#include "common/mps_lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "core/tvsolv.h"
#include "driver/driver_run.h"
#include "files/save_state.h"
#include "options/params.h"

using namespace tv;
using tvtest::contains;
using tvtest::DriverRun;
using tvtest::kInf;
using tvtest::lines;
using tvtest::TestLP;
using tvtest::Via;

namespace {

// min (sense 1) 2 x1 + 3 x2 + x3, or max (sense -1) -2 x1 - 3 x2 - x3, s.t.
//   x1 + x2 + x3 = 10,  x1 - x2 >= -2,  0 <= x1 <= 4,  x2 >= 0.5,  x3 <= 5.
// Unique solution x = (4, 1, 5), objective 16 * sense; the equality row's
// multiplier is 3 (internal sign), x1 and x3 have reduced costs -1 and -2.
TestLP lp_b(double sense) {
  return TestLP::dense({{1, 1, 1}, {1, -1, 0}, {2 * sense, 3 * sense, sense}}, {10, -2, -kInf},
                       {10, kInf, kInf}, {0, 0.5, -kInf}, {4, kInf, 5}, 3);
}

const std::vector<double> kX = {4, 1, 5, -10, -3, -16};
const std::vector<int> kHs = {1, 3, 1, 0, 3, 3};
const std::vector<double> kPi = {3, 0, -1};
const std::vector<double> kRc = {-1, 0, -2, -3, 0, 1};

void expect_b(DriverRun& d, double sense) {
  Problem P = d.view();
  EXPECT_EQ(d.r.inform, 0);
  EXPECT_NEAR(d.r.obj, 16 * sense, 1e-9);
  EXPECT_EQ(d.r.ninf, 0);
  EXPECT_EQ(d.ns, 0);
  EXPECT_EQ(d.r.ncstat, 0);
  EXPECT_EQ(d.r.cviol, 0.0);
  for (int j = 1; j <= P.nb; ++j) {
    const double x = j == 6 ? kX[5] * sense : kX[j - 1];
    EXPECT_NEAR(P.xn(j), x, 1e-9) << j;
    EXPECT_EQ(P.hs(j), kHs[j - 1]) << j;
    // A feasible maximisation reports pi and rc in the user's sign; the
    // objective row's multiplier is -1 either way.
    const double rc = j == 6 ? kRc[5] : sense * kRc[j - 1];
    EXPECT_NEAR(P.rc(j), rc, 1e-9) << j;
  }
  for (int i = 1; i <= P.m; ++i) EXPECT_NEAR(P.pi(i), i == 3 ? -1.0 : sense * kPi[i - 1], 1e-9) << i;
  // tvsolf: states lower/upper/basic/fixed, nothing flagged.
  const int states[] = {1, 3, 1, 4, 3, 3};
  for (int j = 1; j <= P.nb; ++j) {
    int flag = -1, state = -1;
    tvsolf(d.ctx, P.n, j, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
    EXPECT_EQ(state, states[j - 1]) << j;
    EXPECT_EQ(flag, 0) << j;
  }
}

}  // namespace

TEST(Driver, SmallLpThroughTvnoseAndTvnoss) {
  for (Via via : {Via::Nose, Via::Noss}) {
    DriverRun d;
    d.lp = lp_b(1);
    d.start({});
    d.solve("Cold", via);
    SCOPED_TRACE(via == Via::Nose ? "tvnose" : "tvnoss");
    expect_b(d, 1);
    EXPECT_EQ(d.r.nmajor, 1);
    EXPECT_GT(d.r.nitns, 0);
  }
}

TEST(Driver, SmallLpThroughTarvoHasActivitiesAsSlacks) {
  DriverRun d;
  d.lp = lp_b(1);
  const TestLP given = d.lp;
  tvtest::flip_rows(d.lp);
  d.start({});
  d.solve("Cold", Via::Tarvo);
  Problem P = d.view();
  EXPECT_EQ(d.r.inform, 0);
  EXPECT_NEAR(d.r.obj, 16, 1e-9);
  // Row activities, the equality row (slack at its lower bound) reported at
  // its upper activity limit, slack reduced costs negated.
  EXPECT_NEAR(P.xn(4), 10, 1e-9);
  EXPECT_NEAR(P.xn(5), 3, 1e-9);
  EXPECT_NEAR(P.xn(6), 16, 1e-9);
  EXPECT_EQ(P.hs(4), 1);
  EXPECT_EQ(P.hs(5), 3);
  EXPECT_NEAR(P.rc(4), 3, 1e-9);
  EXPECT_NEAR(P.rc(6), -1, 1e-9);
  EXPECT_NEAR(P.pi(1), 3, 1e-9);
  // The caller's row bounds come back in the caller's convention.
  for (int i = 1; i <= P.m; ++i) {
    const int j = P.n + i;
    EXPECT_NEAR(P.bl(j), -given.bu[j - 1], 1e-12) << i;
    EXPECT_NEAR(P.bu(j), -given.bl[j - 1], 1e-12) << i;
  }
}

TEST(Driver, MaximisationReturnsUserSigns) {
  DriverRun d;
  d.lp = lp_b(-1);
  d.start({"Maximize"});
  d.solve("Cold");
  expect_b(d, -1);
  EXPECT_TRUE(contains(d.prt(), " (Max)"));
}

TEST(Driver, InfeasibleMaximisationIsNotFlipped) {
  // x1 + x2 + x3 = 10 cannot hold with x1 <= 4, x2 <= 2, x3 <= 3.  With no
  // weight on the objective, phase 1 ignores the objective, so minimising
  // c and maximising -c end at the same point with the same multipliers.
  auto lp = [](double sense) {
    return TestLP::dense({{1, 1, 1}, {1, -1, 0}, {2 * sense, 3 * sense, sense}}, {10, -2, -kInf},
                         {10, kInf, kInf}, {0, 0.5, 0}, {4, 2, 3}, 3);
  };
  DriverRun mn, mx;
  mn.lp = lp(1);
  mn.start({});
  mn.solve("Cold");
  mx.lp = lp(-1);
  mx.start({"Maximize"});
  mx.solve("Cold");
  EXPECT_EQ(mn.r.inform, 1);
  EXPECT_EQ(mx.r.inform, 1);
  EXPECT_GT(mx.r.ninf, 0);
  Problem A = mn.view(), B = mx.view();
  for (int j = 1; j <= A.n; ++j) EXPECT_NEAR(B.xn(j), A.xn(j), 1e-9) << j;
  for (int i = 1; i <= 2; ++i) EXPECT_NEAR(B.pi(i), A.pi(i), 1e-9) << i;
  for (int j = 1; j <= A.n + 2; ++j) EXPECT_NEAR(B.rc(j), A.rc(j), 1e-9) << j;
  EXPECT_TRUE(contains(mx.prt(), " INFEASIBILITIES"));
  // tvsolf marks the variable with the largest bound violation infeasible.
  const int jp = mx.ctx.sav.jpinf;
  ASSERT_GT(jp, 0);
  int flag = -1, state = -1;
  tvsolf(mx.ctx, B.n, jp, flag, state, B.hs, B.bl, B.bu, B.rc, B.xn);
  EXPECT_EQ(flag, 3);
}

TEST(Driver, WarmStartFromOptimalBasisTakesNoIteration) {
  DriverRun cold;
  cold.lp = lp_b(1);
  cold.start({});
  cold.solve("Cold");
  ASSERT_EQ(cold.r.inform, 0);

  DriverRun warm;
  warm.lp = lp_b(1);
  warm.lp.hs = cold.lp.hs;
  warm.lp.xn = cold.lp.xn;
  warm.start({});
  warm.solve("Warm");
  expect_b(warm, 1);
  EXPECT_EQ(warm.r.nitns, 0);
  EXPECT_TRUE(contains(warm.prt(), "\n start = Warm\n"));
  EXPECT_FALSE(contains(warm.prt(), "No basis file supplied"));
  EXPECT_FALSE(contains(warm.prt(), "Crash option"));
}

TEST(Driver, CycleLimitTwoRepeatsFromTheLastBasis) {
  DriverRun d;
  d.lp = lp_b(1);
  d.start({"Cycle limit 2"});
  std::vector<int> calls;
  d.ctx.sav.matmod = [&](Context&, Problem&, int ncycle, int&) { calls.push_back(ncycle); };
  d.solve("Cold");
  expect_b(d, 1);
  EXPECT_EQ(calls, (std::vector<int>{0, 1}));
  const std::string prt = d.prt(), sum = d.sum();
  EXPECT_TRUE(contains(prt, " matmod called with ncycle =    0\n"));
  EXPECT_TRUE(contains(sum, " matmod called with ncycle =    1\n"));
  EXPECT_TRUE(contains(prt, " Start of Cycle    2\n -------------------\n gotbas = T"));
  EXPECT_TRUE(contains(sum, " Start of Cycle\n"));
  // Second cycle: warm from the first cycle's basis, no iteration; the
  // solution is printed once per cycle (Cycle print 1: only the last).
  EXPECT_TRUE(contains(prt, " No. of iterations                   0"));
  size_t reports = 0;
  for (size_t at = prt.find(" SECTION 1 - ROWS"); at != std::string::npos; at = prt.find(" SECTION 1 - ROWS", at + 1))
    ++reports;
  EXPECT_EQ(reports, 1u);
}

TEST(Driver, MatmodStopEndsTheCycles) {
  DriverRun d;
  d.lp = lp_b(1);
  d.start({"Cycle limit 3", "Cycle print 0"});
  d.ctx.sav.matmod = [](Context&, Problem&, int ncycle, int& stop) { stop = ncycle == 1 ? 1 : 0; };
  d.solve("Cold");
  expect_b(d, 1);
  EXPECT_FALSE(contains(d.prt(), "Start of Cycle"));
  // Cycle print 0: the last cycle's solution is printed after the loop.
  EXPECT_TRUE(contains(d.prt(), " SECTION 2 - COLUMNS"));
}

TEST(Driver, FeasibilityProblemWithoutObjectiveRow) {
  // x1 + x2 >= 2, x1 - x2 = 0.5, 0 <= x <= 10; objrow = 0.
  DriverRun d;
  d.lp = TestLP::dense({{1, 1}, {1, -1}}, {2, 0.5}, {kInf, 0.5}, {0, 0}, {10, 10}, 0);
  d.lp.objconst = 7.5;
  d.start({});
  d.solve("Cold");
  Problem P = d.view();
  EXPECT_EQ(d.r.inform, 0);
  EXPECT_EQ(d.r.ninf, 0);
  EXPECT_DOUBLE_EQ(d.r.obj, 7.5);
  EXPECT_GE(P.xn(1) + P.xn(2), 2 - 1e-9);
  EXPECT_NEAR(P.xn(1) - P.xn(2), 0.5, 1e-9);
  EXPECT_NEAR(P.xn(3), -(P.xn(1) + P.xn(2)), 1e-9);
  for (int j = 1; j <= P.nb; ++j) EXPECT_NEAR(P.rc(j), 0.0, 1e-12) << j;
  EXPECT_TRUE(contains(d.prt(), " OBJECTIVE VALUE       7.5000000000E+00"));
}

namespace {

int g_calls = 0, g_stop_at = 0, g_request = 0;

void stop_after(int* kind, int* stop, int*, int*, int*, double*, char*, double*, double*, double*, double*, int*,
                int*, double*, int*, int) {
  if (*kind == 1 && ++g_calls >= g_stop_at) *stop = g_request;
}

}  // namespace

TEST(Driver, LogCallbackStopLeavesAUsablePoint) {
  for (int request : {1, 2}) {
    DriverRun d;
    d.lp = tvtest::netlib_lp("afiro");
    const TestLP given = d.lp;
    d.start({});
    g_calls = 0;
    g_stop_at = 3;
    g_request = request;
    d.solve("Cold", Via::Nose, 1, stop_after);
    SCOPED_TRACE(request);
    EXPECT_EQ(d.r.inform, request == 1 ? 18 : 19);
    EXPECT_EQ(d.r.nitns, 3);
    EXPECT_TRUE(contains(d.sum(), request == 1 ? " EXIT -- CPU limit exceeded" : " EXIT -- control-c interrupt"));
    Problem P = d.view();
    int nbasic = 0;
    for (int j = 1; j <= P.nb; ++j) {
      ASSERT_GE(P.hs(j), 0);
      ASSERT_LE(P.hs(j), 3);
      nbasic += P.hs(j) == 3 ? 1 : 0;
      // Nonbasic variables lie within their bounds, up to the working
      // feasibility tolerance of the anti-degeneracy procedure.
      if (P.hs(j) <= 1) {
        EXPECT_GE(P.xn(j), P.bl(j) - 1e-6 * (1 + std::fabs(P.bl(j)))) << j;
        EXPECT_LE(P.xn(j), P.bu(j) + 1e-6 * (1 + std::fabs(P.bu(j)))) << j;
      }
    }
    EXPECT_EQ(nbasic, P.m);
    // The point solves A x + s = 0 (unscaled data), rc = -A'pi up to the
    // phase-1 costs (+-1 in the scaled problem) of infeasible basic variables.
    CDvec sc = d.ctx.ws.dvec(d.ctx.part.scales);
    ASSERT_EQ(sc.size(), P.nb);
    std::vector<double> r(P.m, 0.0);
    for (int j = 1; j <= P.n; ++j)
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) r[P.ha(l) - 1] += P.a(l) * P.xn(j);
    for (int i = 1; i <= P.m; ++i) EXPECT_NEAR(r[i - 1] + P.xn(P.n + i), 0.0, 1e-8 * (1 + std::fabs(r[i - 1]))) << i;
    for (int j = 1; j <= P.nb; ++j) {
      double d0 = 0.0;
      if (j <= P.n) {
        for (int l = P.ka(j); l < P.ka(j + 1); ++l) d0 += P.pi(P.ha(l)) * P.a(l);
      } else {
        d0 = P.pi(j - P.n);
      }
      const double extra = P.rc(j) + d0;
      if (P.hs(j) <= 1 || d.r.ninf == 0) {
        EXPECT_NEAR(extra, 0.0, 1e-9) << j;
      } else {
        const double unit = extra * sc(j);
        EXPECT_TRUE(std::fabs(unit) < 1e-9 || std::fabs(std::fabs(unit) - 1) < 1e-9) << j << " " << unit;
      }
    }
    // The matrix is handed back unscaled.
    for (size_t k = 0; k < given.a.size(); ++k) EXPECT_NEAR(d.lp.a[k], given.a[k], 1e-12 * (1 + std::fabs(given.a[k])));
  }
}

TEST(Driver, SolutionSavedOnlyForUsablePoints) {
  EXPECT_TRUE(solution_saved(0, 0));
  EXPECT_TRUE(solution_saved(19, 0));
  EXPECT_FALSE(solution_saved(20, 0));  // storage failure before any iteration
  EXPECT_TRUE(solution_saved(20, 1));
  EXPECT_TRUE(solution_saved(29, 3));
  EXPECT_FALSE(solution_saved(30, 0));  // basis file does not fit
  EXPECT_FALSE(solution_saved(32, 7));
}

namespace {

// m rows x(j) <= 1 over n columns (row i holds column (i-1) mod n + 1) and
// no objective row.
TestLP stripes(int m, int n) {
  std::vector<std::vector<double>> A(m, std::vector<double>(n, 0.0));
  for (int i = 0; i < m; ++i) A[i][i % n] = 1.0;
  return TestLP::dense(A, std::vector<double>(m, -kInf), std::vector<double>(m, 1.0), std::vector<double>(n, 0.0),
                       std::vector<double>(n, 1.0), 0);
}

}  // namespace

TEST(Driver, PartialPriceFollowsProblemSize) {
  struct Case {
    int m, n;
    const char* lines;
  };
  const Case cases[] = {
      {30, 25,
       " Scale option  2,      Partial price       3\n Partial price section size (A)            8\n"
       " Partial price section size (I)           10\n"},
      {8, 8,
       " Scale option  2,      Partial price       1\n Partial price section size (A)            8\n"
       " Partial price section size (I)            8\n"},
      {300, 200,
       " Scale option  2,      Partial price      10\n Partial price section size (A)           20\n"
       " Partial price section size (I)           30\n"},
  };
  for (const Case& c : cases) {
    DriverRun d;
    d.lp = stripes(c.m, c.n);
    d.start({"Partial price 10"});
    d.solve("Cold");
    SCOPED_TRACE(strf("m = %d, n = %d", c.m, c.n));
    EXPECT_EQ(d.r.inform, 0);
    EXPECT_TRUE(contains(d.prt(), c.lines)) << d.prt().substr(0, 400);
    EXPECT_TRUE(contains(d.sum(), strf(" Scale option  2,    Partial price%4d\n", d.ctx.par.partprice)));
  }
}

// The print file names the pricing rule in force after the section sizes:
// an explicit Partial price gives partial pricing, the default steepest edge.
TEST(Driver, ListingNamesThePricingRule) {
  const struct {
    std::vector<std::string> specs;
    const char* line;
  } cases[] = {
      {{}, " Pricing rule                  steepest edge (reference framework, every column)\n"},
      {{"IPARM 6 2"}, " Pricing rule                  Devex (reference weights, every column)\n"},
      {{"Partial price 10"}, " Pricing rule                  partial (largest reduced cost by sections)\n"},
      {{"IPARM 6 3"}, " Pricing rule                  partial Devex (reference weights by sections)\n"},
  };
  for (const auto& c : cases) {
    DriverRun d;
    d.lp = stripes(30, 25);
    d.start(c.specs);
    d.solve("Cold");
    EXPECT_EQ(d.r.inform, 0);
    EXPECT_TRUE(contains(d.prt(), std::string(" Partial price section size (I)           10\n") + c.line))
        << d.prt().substr(0, 400);
  }
}

TEST(Driver, TimingLevelZeroPrintsNoTimes) {
  DriverRun d;
  d.lp = lp_b(1);
  d.start({"Timing level 0"});
  d.solve("Cold");
  EXPECT_EQ(d.r.inform, 0);
  EXPECT_FALSE(contains(d.prt(), "Time for"));
  EXPECT_FALSE(contains(d.sum(), "Time for"));
  for (int k = 1; k <= Timers::kClocks; ++k) EXPECT_EQ(d.ctx.tim.count[k], 0) << k;
}

TEST(Driver, ScaleOptionOneWithOnlyNonlinearColumnsIsShownAsZero) {
  DriverRun d;
  d.lp = lp_b(1);
  d.lp.nnobj = d.lp.n;  // every column nonlinear in the objective (no function: value 0)
  d.start({"Scale option 1", "Iterations limit 5"});
  d.solve("Cold");
  EXPECT_TRUE(contains(d.prt(), " Scale option  0,      Partial price"));
  EXPECT_TRUE(contains(d.sum(), " Scale option  0,    Partial price"));
  EXPECT_FALSE(contains(d.prt(), " Scaling\n"));
}

TEST(Driver, HotStartInTheSameWorkspaceKeepsScalesAndBasis) {
  DriverRun d;
  d.lp = lp_b(1);
  d.start({});
  d.solve("Cold");
  ASSERT_EQ(d.r.inform, 0);
  d.ctx.io.clear_buffer(tvtest::kPrt);
  d.ctx.io.clear_buffer(tvtest::kSum);
  d.solve("Hot");
  expect_b(d, 1);
  EXPECT_EQ(d.r.nitns, 0);
  const std::string prt = d.prt();
  EXPECT_TRUE(contains(prt, " gotbas = T     gotfac = T     gothes = T     gotscl = T\n"));
  EXPECT_TRUE(contains(prt, " start = Hot\n"));
  EXPECT_FALSE(contains(prt, " Scaling\n"));  // the scales are taken over
  EXPECT_FALSE(contains(prt, "WARNING"));
}
