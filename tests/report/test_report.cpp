// Solution save and report on hand-filled final states of a small LP:
//   min  -x1 - 2 x2   s.t.  x1 + x2 <= 4,  x1 + 3 x2 <= 6,  x >= 0
// (row 3 is the objective row), optimal at x = (3, 1) with objective -5 and
// row multipliers 0.5, 0.5 in the user's sense.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "core/m2amat.h"
#include "core/run_state.h"
#include "core/setup.h"
#include "files/m4savb.h"
#include "files/m4soln.h"
#include "files/save_state.h"
#include "lu/m2scal.h"
#include "options/options.h"
#include "options/params.h"
#include "report/golden.h"
#include "simplex/simplex_state.h"

using namespace tv;
using tvtest::contains;
using tvtest::kInf;
using tvtest::lines;
using tvtest::TestLP;

namespace {

constexpr int kPrt = 9, kSum = 10, kSol = 11;

TestLP small_lp(double sense) {
  TestLP lp = TestLP::dense({{1, 1}, {1, 3}, {-sense, -2 * sense}}, {-kInf, -kInf, -kInf}, {4, 6, kInf},
                            {0, 0}, {kInf, kInf}, 3);
  return lp;
}

// A context as the driver leaves it after the main loop: parameters
// resolved, workspace partitioned, the final state filled by hand.
struct Hand {
  Context ctx;
  TestLP lp;
  Problem P;
  std::vector<double> z;

  Hand(TestLP lp0, const std::vector<std::string>& options) : lp(std::move(lp0)) {
    tvstart(ctx, 0, 0, 0);
    ctx.io.attach_buffer(kPrt);
    ctx.io.attach_buffer(kSum);
    ctx.par.prtfile = kPrt;
    ctx.par.sumfile = kSum;
    int errors = 0;
    for (const std::string& o : options) tvopt(ctx, o, 0, 0, errors);
    EXPECT_EQ(errors, 0);
    P = lp.view();
    Params& p = ctx.par;
    solve_settings(ctx, P);
    const int nwork = static_cast<int>(partition_workspace(ctx, 0));
    partition_workspace(ctx, nwork);
    z.assign(nwork, 0.0);
    bind_workspace(ctx, z.data(), nwork);
    ctx.io.clear_buffer(kPrt);  // the partition's LU storage line
    ctx.spx.jobj = P.objrow > 0 ? P.n + P.objrow : 0;
    ctx.run.objscale = 1.0;
    std::memcpy(p.names[0], "SMALL   ", 8);
    std::memcpy(p.names[1], "COST    ", 8);
    std::memcpy(p.names[2], "RHS     ", 8);
  }

  // The optimal basis with the main loop's (internal-sign) multipliers.
  void optimal(double sense) {
    const std::vector<double> x = {3, 1, -4, -6, sense * 5};
    const std::vector<int> hs = {3, 3, 0, 0, 3};
    for (int j = 1; j <= P.nb; ++j) {
      P.xn(j) = x[j - 1];
      P.hs(j) = hs[j - 1];
      P.rc(j) = 123.0;  // stale values must be replaced
    }
    P.pi(1) = -0.5;
    P.pi(2) = -0.5;
    P.pi(3) = -sense;
    ctx.run.ninf = 0;
    ctx.run.sinf = 0.0;
    ctx.spx.itn = 2;
  }

  void save_and_report(int inform = 0) {
    m4savb(ctx, 1, P, 0, inform);
    m4savb(ctx, 2, P, 0, inform);
  }

  std::string prt() const { return ctx.io.buffer(kPrt); }
  std::string sum() const { return ctx.io.buffer(kSum); }
};

std::vector<std::string> report_lines(const std::string& text, const std::string& first) {
  std::vector<std::string> all = lines(text), out;
  bool on = false;
  for (const std::string& l : all) {
    if (l.rfind(first, 0) == 0) on = true;
    if (on) out.push_back(l);
  }
  return out;
}

}  // namespace

TEST(SolutionSave, MinimisationValuesAndReport) {
  Hand h(small_lp(1), {"Scale option 0"});
  h.optimal(1);
  h.save_and_report();
  const Problem& P = h.P;
  // Reduced costs: columns basic, slacks at their bounds with rc = -pi.
  const double rc[] = {0, 0, 0.5, 0.5, 1};
  for (int j = 1; j <= P.nb; ++j) EXPECT_NEAR(P.rc(j), rc[j - 1], 1e-15) << j;
  EXPECT_DOUBLE_EQ(P.pi(1), -0.5);
  EXPECT_DOUBLE_EQ(h.ctx.run.obj, -5.0);
  EXPECT_TRUE(h.ctx.sav.saved);
  EXPECT_EQ(h.ctx.sav.pinfmax, 0.0);
  EXPECT_EQ(h.ctx.sav.dinfmax, 0.0);  // the objective slack's rc is left out
  EXPECT_EQ(h.ctx.sav.jxmax, 1);
  EXPECT_EQ(h.ctx.sav.ipimax, 3);
  EXPECT_EQ(h.ctx.sav.pinorm, 1.0);

  // Scale option 0: only the final Max lines, on both files.
  const std::string sum = h.sum();
  EXPECT_TRUE(contains(sum, " Max x                       1 3.0E+00  Max pi                      3 1.0E+00\n"));
  EXPECT_TRUE(contains(sum, " Max Primal infeas           0 0.0E+00  Max Dual infeas             0 0.0E+00\n"));
  EXPECT_FALSE(contains(sum, "(scaled)"));
  EXPECT_TRUE(contains(sum, "\n Solution printed on file   9\n"));
  EXPECT_FALSE(contains(sum, "SECTION"));

  const std::string prt = h.prt();
  EXPECT_TRUE(contains(prt, " NAME           SMALL                 OBJECTIVE VALUE      -5.0000000000E+00\n"));
  EXPECT_TRUE(contains(prt, " STATUS         OPTIMAL SOLN          ITERATION      2    SUPERBASICS      0\n"));
  EXPECT_TRUE(contains(prt, " OBJECTIVE      COST     (Min)\n"));
  // Rows: a row at its upper limit is UL; the free objective row prints None.
  EXPECT_TRUE(contains(prt, "       3  r......1    UL         4.00000         0.00000            None         4.00000        -0.50000      1\n"));
  EXPECT_TRUE(contains(prt, "       5  r......3    BS        -5.00000         5.00000            None            None        -1.00000      3\n"));
  EXPECT_TRUE(contains(prt, "       1  x......1    BS         3.00000        -1.00000         0.00000            None         0.00000      4\n"));
  tvtest::expect_golden("report", "min_print", prt);
  tvtest::expect_golden("report", "min_summary", sum);
}

TEST(SolutionSave, FeasibleMaximisationFlipsSigns) {
  Hand h(small_lp(-1), {"Scale option 0", "Maximize"});
  h.optimal(-1);
  h.save_and_report();
  const Problem& P = h.P;
  // pi and rc in the user's sign: a tighter row lowers the maximum.
  EXPECT_DOUBLE_EQ(P.pi(1), 0.5);
  EXPECT_DOUBLE_EQ(P.pi(2), 0.5);
  EXPECT_DOUBLE_EQ(P.pi(3), -1.0);
  EXPECT_NEAR(P.rc(3), -0.5, 1e-15);
  EXPECT_NEAR(P.rc(4), -0.5, 1e-15);
  EXPECT_DOUBLE_EQ(h.ctx.run.obj, 5.0);
  EXPECT_TRUE(contains(h.prt(), " OBJECTIVE      COST     (Max)\n"));
  // tvsolf sees an optimal point: no variable is flagged.
  for (int j = 1; j <= P.nb; ++j) {
    int flag = -1, state = -1;
    tvsolf(h.ctx, P.n, j, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
    EXPECT_EQ(flag, 0) << j;
    EXPECT_EQ(state, j <= 2 || j == 5 ? 3 : 1) << j;
  }
  tvtest::expect_golden("report", "max_print", h.prt());
}

TEST(SolutionSave, InfeasibleMaximisationKeepsInternalSigns) {
  Hand h(small_lp(-1), {"Scale option 0", "Maximize"});
  // x1 basic at 6 (row 2 tight), x2 at 0: row 1 is 6 > 4, its slack basic
  // and 2 below its lower bound.
  const std::vector<double> x = {6, 0, -6, -6, -6};
  const std::vector<int> hs = {3, 0, 3, 0, 3};
  for (int j = 1; j <= h.P.nb; ++j) {
    h.P.xn(j) = x[j - 1];
    h.P.hs(j) = hs[j - 1];
  }
  h.P.pi(1) = 0.25;
  h.P.pi(2) = -0.75;
  h.P.pi(3) = 1.0;
  h.ctx.run.ninf = 1;
  h.ctx.run.sinf = 2.0;
  h.ctx.spx.itn = 1;
  h.save_and_report(1);
  const Problem& P = h.P;
  EXPECT_DOUBLE_EQ(P.pi(1), 0.25);                 // not flipped
  EXPECT_DOUBLE_EQ(P.rc(3), -0.25 - 1.0);          // phase-1 cost of the violated basic slack
  EXPECT_DOUBLE_EQ(P.rc(4), 0.75);                 // nonbasic: no phase-1 cost
  EXPECT_DOUBLE_EQ(P.rc(1), -(0.25 - 0.75 + 1.0));  // row 3 holds -sense * c = (1, 2)
  EXPECT_EQ(h.ctx.sav.jpinf, 3);
  EXPECT_DOUBLE_EQ(h.ctx.sav.pinfmax, 2.0);
  EXPECT_TRUE(contains(h.prt(), " NAME           SMALL                 INFEASIBILITIES      1      2.0000E+00\n"));
  EXPECT_TRUE(contains(h.prt(), " STATUS         INFEASIBLE            ITERATION      1"));
  // The violated slack is also the largest dual infeasibility (its phase-1
  // cost), which tvsolf marks as not optimal when the run did not end optimal.
  EXPECT_EQ(h.ctx.sav.jdinf, 3);
  EXPECT_EQ(h.ctx.sav.inform, 1);
  int flag = -1, state = -1;
  tvsolf(h.ctx, P.n, 3, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
  EXPECT_EQ(flag, 4);
  EXPECT_EQ(state, 3);
  h.ctx.sav.inform = 0;
  tvsolf(h.ctx, P.n, 3, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
  EXPECT_EQ(flag, 3);
}

TEST(SolutionSave, PhaseOneCostsOnlyAtAnInfeasiblePoint) {
  // The same basic point with x2 slightly below its bound (beyond the
  // working tolerance): declared feasible, the reduced costs are -A'pi
  // alone; declared infeasible, x2 gets its phase-1 cost -1.
  for (int ninf : {0, 1}) {
    Hand h(small_lp(1), {"Scale option 0"});
    h.optimal(1);
    h.P.xn(2) = -0.001;
    h.ctx.run.ninf = ninf;
    h.ctx.spx.delta = 1e-6;
    m4savb(h.ctx, 1, h.P, 0, ninf);
    EXPECT_NEAR(h.P.rc(2), ninf == 0 ? 0.0 : -1.0, 1e-15) << ninf;
    EXPECT_NEAR(h.P.rc(1), 0.0, 1e-15);
    EXPECT_NEAR(h.P.rc(3), 0.5, 1e-15);
  }
}

TEST(SolutionSave, ScaledStateIsUnscaledWithBothMaxLines) {
  Hand ref(small_lp(1), {"Scale option 0"});
  ref.optimal(1);
  ref.save_and_report();

  Hand h(small_lp(1), {"Scale option 2"});
  h.optimal(1);
  const TestLP before = h.lp;
  Ivec rowtype = h.ctx.ws.ivec(h.ctx.part.bsfeas);
  m2amat(h.ctx, 2, h.P, rowtype);
  Dvec sc = h.ctx.ws.dvec(h.ctx.part.scales);
  const int m = h.P.m;
  m2scal(h.ctx, h.P, rowtype, sc, h.ctx.ws.dvec(h.ctx.part.y).head(m), h.ctx.ws.dvec(h.ctx.part.y2).head(m));
  m2scla(h.ctx, 1, h.P, sc);
  bool any_scaled = false;
  for (size_t k = 0; k < before.a.size(); ++k) any_scaled = any_scaled || h.lp.a[k] != before.a[k];
  ASSERT_TRUE(any_scaled);
  h.ctx.io.clear_buffer(kPrt);
  h.ctx.io.clear_buffer(kSum);
  h.save_and_report();

  for (size_t k = 0; k < before.a.size(); ++k) EXPECT_NEAR(h.lp.a[k], before.a[k], 1e-14);
  for (int j = 1; j <= h.P.nb; ++j) {
    EXPECT_NEAR(h.P.xn(j), ref.P.xn(j), 1e-13) << j;
    EXPECT_NEAR(h.P.rc(j), ref.P.rc(j), 1e-13) << j;
    if (before.bl[j - 1] > -kInf) {
      EXPECT_NEAR(h.P.bl(j), before.bl[j - 1], 1e-13) << j;
    }
  }
  for (int i = 1; i <= m; ++i) EXPECT_NEAR(h.P.pi(i), ref.P.pi(i), 1e-14) << i;
  EXPECT_NEAR(h.ctx.run.obj, -5.0, 1e-13);
  EXPECT_EQ(h.ctx.run.objscale, 1.0);
  const std::vector<std::string> L = lines(h.sum());
  ASSERT_GE(L.size(), 4u);
  EXPECT_EQ(L[0].substr(0, 21), " Max x       (scaled)");
  EXPECT_EQ(L[0].substr(38, 22), "  Max pi      (scaled)");
  EXPECT_EQ(L[1], ref.sum().substr(0, ref.sum().find('\n')));
  EXPECT_EQ(L[2].substr(0, 21), " Max Prim inf(scaled)");
  EXPECT_EQ(L[3], " Max Primal infeas           0 0.0E+00  Max Dual infeas             0 0.0E+00");
  // The printed report matches the unscaled run's up to the last digits.
  EXPECT_EQ(report_lines(h.prt(), " NAME"), report_lines(ref.prt(), " NAME"));
}

TEST(SolutionReport, SolutionNoPrintsNothing) {
  Hand h(small_lp(1), {"Scale option 0", "Solution no"});
  h.optimal(1);
  h.save_and_report();
  EXPECT_FALSE(contains(h.prt(), "SECTION"));
  EXPECT_TRUE(contains(h.sum(), "\n Solution not printed\n"));
  EXPECT_FALSE(contains(h.sum(), "Solution printed"));
}

TEST(SolutionReport, SolutionFileUsesEFormatAndNoNone) {
  Hand h(small_lp(1), {"Scale option 0", "Solution file 11"});
  h.ctx.io.attach_buffer(kSol);
  h.optimal(1);
  h.save_and_report();
  const std::string sol = h.ctx.io.buffer(kSol);
  EXPECT_FALSE(contains(sol, "None"));
  EXPECT_TRUE(contains(sol, "       5  r......3    BS   -5.000000E+00    5.000000E+00   -1.000000E+20    1.000000E+20   -1.000000E+00      3\n"));
  EXPECT_TRUE(contains(h.prt(), "\n\n SOLUTION file saved on file  11\n"));
  EXPECT_TRUE(contains(h.sum(), "\n\n SOLUTION file saved on file  11\n"));
  tvtest::expect_golden("report", "solution_file", sol);
}

TEST(SolutionReport, ReportFileExportAndUnknownUnit) {
  {
    Hand h(small_lp(1), {"Scale option 0", "Report file 81"});
    h.ctx.io.attach_buffer(81);
    h.optimal(1);
    h.save_and_report();
    const std::vector<std::string> L = lines(h.ctx.io.buffer(81));
    ASSERT_EQ(L.size(), 3u + 5u);
    EXPECT_EQ(L[0], "         0         3         2");
    EXPECT_EQ(L[1], "         1         3   -5.00000000000000E+00");
    EXPECT_TRUE(contains(h.sum(), "\n\n Solution exported to file  81\n"));
  }
  {
    Hand h(small_lp(1), {"Scale option 0", "Report file 92"});
    h.ctx.io.attach_buffer(92);
    h.optimal(1);
    h.save_and_report();
    // Basic columns 1, 2 (three entries each) and the basic objective slack.
    EXPECT_EQ(lines(h.ctx.io.buffer(92)).size(), 7u);
  }
  {
    Hand h(small_lp(1), {"Scale option 0", "Report file 17"});
    h.optimal(1);
    h.save_and_report();
    EXPECT_TRUE(contains(h.prt(), "\n\n XXX Report file requested.  m4rept does nothing.\n"));
    EXPECT_TRUE(contains(h.sum(), "\n\n XXX Report file requested.  m4rept does nothing.\n"));
  }
}

TEST(SolutionReport, LineLayoutFixedEAndNone) {
  Context ctx;
  const double v[5] = {2.5E+9, 999999.5, -1.0E+20, 1.0E+20, -0.0};
  EXPECT_EQ(m4solp(ctx, 0, 7, "ABCDEFGH", 2, 3, v, 12),
            "       7  ABCDEFGH D  BS    2.500000E+09    999999.50000            None            None         0.00000     12");
  EXPECT_EQ(m4solp(ctx, 1, 7, "ABCDEFGH", 4, 2, v, 12),
            "       7  ABCDEFGH N SBS    2.500000E+09    9.999995E+05   -1.000000E+20    1.000000E+20    0.000000E+00     12");
  // Just below 1e9 stays fixed; a finite limit of 1e19 is printed, not None.
  const double w[5] = {999999999.0, -1.0E+9, -1.0E+19, 8.0E+19, 1.0};
  EXPECT_EQ(m4solp(ctx, 0, 1, "x......1", 0, 5, w, 1),
            "       1  x......1    FR 999999999.00000   -1.000000E+09   -1.000000E+19    8.000000E+19         1.00000      1");
}

TEST(SolutionReport, MadeAndStoredNames) {
  TestLP lp = small_lp(1);
  Problem P = lp.view();
  EXPECT_EQ(m4id(P, 1), "x......1");
  EXPECT_EQ(m4id(P, 5), "r......3");
  Problem W;
  W.m = 12;
  W.n = 12345;
  W.nb = W.m + W.n;
  W.nnames = 1;
  EXPECT_EQ(m4id(W, 5), "x......5");
  EXPECT_EQ(m4id(W, 12345), "x..12345");
  EXPECT_EQ(m4id(W, 12345 + 12), "r.....12");

  // Stored names: two 4-character words per variable.
  std::vector<int32_t> n1(5), n2(5);
  const char* names[5] = {"COLUMN01", "COL2    ", "LIM1    ", "LIM2    ", "COST    "};
  for (int k = 0; k < 5; ++k) {
    std::memcpy(&n1[k], names[k], 4);
    std::memcpy(&n2[k], names[k] + 4, 4);
  }
  P.nnames = 5;
  P.name1 = Ivec(n1.data(), 5);
  P.name2 = Ivec(n2.data(), 5);
  for (int j = 1; j <= 5; ++j) EXPECT_EQ(m4id(P, j), names[j - 1]);
}
