// Exits of the main loop: log-callback stops, the partial crash of the
// inequality rows, bases that start singular or with too many basic
// variables, LU storage that runs out.
#include <gtest/gtest.h>

#include <vector>

#include "common/mps_lp.h"
#include "lu/basis_state.h"
#include "simplex/enumerate.h"
#include "simplex/harness.h"

using namespace spxtest;

namespace {

TestLP two_var() {
  return TestLP::dense({{1, 1}, {1, 3}, {-1, -2}}, {-kInf, -kInf, -kInf}, {4, 6, kInf}, {0, 0},
                       {kInf, kInf}, 3);
}

struct LogCall {
  int kind, major, minor, ninf, ns, ncon, bsswp, flaglen;
  double sinf, step, objective;
  char flag;
};
std::vector<LogCall> g_calls;
int g_stop_at = 0;     // minor iteration at which to ask for a stop
int g_stop_value = 0;  // the request

void logfun(int* kind, int* stop, int* major, int* minor, int* ninf, double* sinf, char* flag,
            double* step, double* objective, double* feasible, double* optimal, int* ns, int* ncon,
            double* penalty, int* bsswp, int flaglen) {
  (void)feasible;
  (void)optimal;
  (void)penalty;
  g_calls.push_back({*kind, *major, *minor, *ninf, *ns, *ncon, *bsswp, flaglen, *sinf, *step,
                     *objective, *flag});
  if (*minor == g_stop_at) *stop = g_stop_value;
}

int run_with_stop(int at, int value, LoopRun& r) {
  g_calls.clear();
  g_stop_at = at;
  g_stop_value = value;
  r.ctx.loglev = 1;
  r.ctx.logfun = logfun;
  r.slack_basis();
  return r.solve();
}

}  // namespace

TEST(LoopExits, LogCallbackArgumentsAndStops) {
  {
    LoopRun r(two_var());
    EXPECT_EQ(run_with_stop(-1, 0, r), 0);
    ASSERT_EQ(static_cast<int>(g_calls.size()), r.itn());
    for (size_t k = 0; k < g_calls.size(); ++k) {
      EXPECT_EQ(g_calls[k].kind, 1);
      EXPECT_EQ(g_calls[k].major, 0);  // major iteration minus 1
      EXPECT_EQ(g_calls[k].minor, static_cast<int>(k) + 1);
      EXPECT_EQ(g_calls[k].flaglen, 1);
      EXPECT_EQ(g_calls[k].ns, 0);
    }
    EXPECT_NEAR(g_calls.back().objective, -5.0, 1e-12);
  }
  {
    LoopRun r(two_var());
    EXPECT_EQ(run_with_stop(1, 1, r), 18);
    EXPECT_EQ(r.itn(), 1);
    EXPECT_TRUE(has(r.prt(), " EXIT -- CPU limit exceeded"));
    EXPECT_TRUE(has(r.sum(), " EXIT -- CPU limit exceeded"));
  }
  {
    LoopRun r(two_var());
    EXPECT_EQ(run_with_stop(1, 2, r), 19);
    EXPECT_TRUE(has(r.prt(), " EXIT -- control-c interrupt"));
  }
  {
    // Any other request is ignored: the run goes on to the optimum.
    LoopRun r(two_var());
    EXPECT_EQ(run_with_stop(1, 7, r), 0);
    EXPECT_NEAR(r.obj(), -5.0, 1e-12);
    EXPECT_EQ(r.itn(), 2);
  }
}

TEST(LoopExits, PartialCrashOfInequalityRows) {
  // Only inequality rows, slack start feasible, started as after a crash of
  // the linear equality rows (start value 3): the loop crashes the
  // inequality rows once, refactorizes without result 12 and solves.
  LoopRun r(two_var());
  r.slack_basis();
  EXPECT_EQ(r.solve(3), 0);
  EXPECT_NEAR(r.obj(), -5.0, 1e-9);
  EXPECT_EQ(r.start, 0);
  EXPECT_FALSE(has(r.prt(), "requested twice in a row"));
  EXPECT_TRUE(has(r.prt(), " Crash on linear LG rows:")) << r.prt();
  EXPECT_TRUE(has(r.prt(), " Itn        0 -- linear E rows feasible.   Obj =   0.000000000E+00"));
}

TEST(LoopExits, PartialCrashWithEqualityRows) {
  // An equality row and inequality rows; start 3 keeps the inequality
  // slacks free until the equality row is satisfied.
  TestLP lp = TestLP::dense({{1, 1, 0}, {1, 3, 1}, {0, 1, 1}, {-1, -2, -1}}, {-kInf, 6, -kInf, -kInf},
                            {4, 6, 3, kInf}, {0, 0, 0}, {kInf, kInf, kInf}, 4);
  const Vertex v = enumerate_vertices(lp, 1);
  ASSERT_TRUE(v.feasible);
  LoopRun r(lp);
  r.slack_basis();
  EXPECT_EQ(r.solve(3), 0);
  EXPECT_NEAR(r.obj(), v.obj, 1e-9);
  EXPECT_EQ(r.start, 0);
  EXPECT_LT(r.primal_error(), 1e-9);
}

TEST(LoopExits, SingularStartBasesAreRepaired) {
  // Two equal columns basic together, and a basis with too few basic
  // variables: the repair puts slacks in, the solve still reaches the optimum.
  TestLP lp = TestLP::dense({{1, 1, 2}, {1, 1, 1}, {2, 2, 1}, {-1, -1, -3}}, {-kInf, -kInf, -kInf, -kInf},
                            {4, 3, 5, kInf}, {0, 0, 0}, {kInf, kInf, kInf}, 4);
  const Vertex v = enumerate_vertices(lp, 1);
  {
    LoopRun r(lp, [](tv::Context& c) { opt_i(c, "Print level", 1); });
    r.slack_basis();
    r.P.hs(1) = 3;
    r.P.hs(2) = 3;
    r.P.hs(r.P.n + 1) = 0;
    r.P.hs(r.P.n + 2) = 0;
    EXPECT_EQ(r.solve(), 0);
    EXPECT_NEAR(r.obj(), v.obj, 1e-9);
    EXPECT_TRUE(has(r.prt(), "  replaced by slack"));
  }
  {
    LoopRun r(lp);
    r.slack_basis();
    for (int i = 1; i <= r.P.m; ++i) r.P.hs(r.P.n + i) = 0;  // no basic variable at all
    EXPECT_EQ(r.solve(), 0);
    EXPECT_NEAR(r.obj(), v.obj, 1e-9);
  }
  {
    // Nearly dependent columns after a crash: the raised tolerance replaces one.
    TestLP lp2 = lp;
    lp2.a[3] = 1.0 + 1e-7;  // column 2 row 1: columns 1 and 2 almost equal
    LoopRun r(lp2);
    r.slack_basis();
    r.P.hs(1) = 3;
    r.P.hs(2) = 3;
    r.P.hs(r.P.n + 1) = 0;
    r.P.hs(r.P.n + 2) = 0;
    EXPECT_EQ(r.solve(1), 0);
    EXPECT_NEAR(r.obj(), enumerate_vertices(lp2, 1).obj, 1e-8);
  }
}

TEST(LoopExits, TooManyBasicVariables) {
  LoopRun r(two_var());
  r.slack_basis();
  r.P.hs(1) = 3;  // m + 1 basic variables
  EXPECT_EQ(r.solve(), 32);
  const std::string text = tv::strf(" EXIT -- system error.  Too many basic variables:%8d", 4);
  EXPECT_TRUE(has(r.prt(), text));
  EXPECT_TRUE(has(r.sum(), text));
  for (int j = 1; j <= r.P.nb; ++j) EXPECT_LE(r.P.hs(j), 3);  // returned in external form
}

TEST(LoopExits, LuStorageExhaustedGivesUsableFigure) {
  // A workspace too small for the factors of a Netlib basis: result 20 with
  // a figure that is enough when used.
  const TestLP lp = tvtest::netlib_lp("sc205");
  int64_t minwork = 0;
  int64_t base = 0;
  {
    LoopRun probe(lp);
    minwork = probe.minwork;
    base = probe.ctx.bas.map.la - 1;  // words before the LU values
  }
  // Room for only a handful of factor entries.
  const int small = static_cast<int>(base + 2 * 800);
  ASSERT_LT(small, minwork);
  LoopRun r(lp, nullptr, small);
  r.slack_basis();
  const int inform = r.solve();
  ASSERT_EQ(inform, 20);
  const std::string prt = r.prt();
  EXPECT_TRUE(has(prt, " EXIT -- not enough storage for the basis factors"));
  EXPECT_TRUE(has(prt, tv::strf(" Words available =%8d", small)));
  const auto pos = prt.find(" Increase Workspace (total) to at least");
  ASSERT_NE(pos, std::string::npos);
  int need = 0;
  ASSERT_EQ(std::sscanf(prt.c_str() + pos, " Increase Workspace (total) to at least%d", &need), 1);
  EXPECT_GT(need, small);
  // Follow the advice until the problem solves; each figure must help.
  int nwork = need;
  for (int round = 0; round < 3; ++round) {
    LoopRun again(lp, nullptr, nwork);
    again.slack_basis();
    const int inf2 = again.solve();
    if (round == 0) {
      EXPECT_EQ(inf2, 0) << "the figure " << nwork << " was not enough";
    }
    if (inf2 == 0) {
      EXPECT_NEAR(again.obj(), -5.2202061212E+01, 1e-6 * 52.2);
      break;
    }
    const std::string p2 = again.prt();
    const auto q = p2.find(" Increase Workspace (total) to at least");
    ASSERT_NE(q, std::string::npos);
    ASSERT_EQ(std::sscanf(p2.c_str() + q, " Increase Workspace (total) to at least%d", &nwork), 1);
  }
}

// Row checks are counted from the last factorization: with a refactorization
// every 3 iterations and a check every 2, the loop checks at iterations
// 2, 5, 8, ... (and the factorizations at 0, 3, 6, ...), never at 4, 7, ...
TEST(LoopExits, RowCheckCountedFromLastFactorization) {
  LoopRun r(tvtest::netlib_lp("sc50a"), [](tv::Context& c) {
    opt_i(c, "Debug level", 2);
    opt_i(c, "Check frequency", 2);
    opt_i(c, "Factorization frequency", 3);
  });
  r.slack_basis();
  ASSERT_EQ(r.solve(), 0);
  // The checks of the EXPAND resets (followed by their own line) come at
  // any iteration; the loop's own checks are the others.
  std::vector<int> itns;
  const auto prt = tvtest::lines(r.prt());
  for (size_t k = 0; k < prt.size(); ++k) {
    int itn = 0;
    const bool reset = k + 1 < prt.size() && prt[k + 1].find("nonbasics set on bound") != std::string::npos;
    if (prt[k].find(" -- row check.   Max residual =") != std::string::npos && !reset &&
        std::sscanf(prt[k].c_str(), " Itn%9d", &itn) == 1) {
      itns.push_back(itn);
    }
  }
  ASSERT_GT(itns.size(), 4u);
  int loopchecks = 0;
  for (size_t k = 0; k + 1 < itns.size(); ++k) {
    EXPECT_NE(itns[k] % 3, 1) << itns[k];
    loopchecks += itns[k] % 3 == 2;
  }
  EXPECT_GT(loopchecks, 2);
}
