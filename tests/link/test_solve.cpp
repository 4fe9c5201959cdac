// Linear models solved through the plug-in, driven by the host driver:
// the model transfer, the result codes as host statuses, the solution
// written back, the iteration log and the host's stop requests.
#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <string>

#include "core/entry.h"
#include "core/m2core.h"
#include "core/units.h"
#include "host_result.h"
#include "link_test_util.h"
#include "tvl.h"

namespace {

using linktest::count;
using linktest::HostResult;
using linktest::parse_result;
using linktest::Record;
using DriverRun = linktest::Run;
using linktest::run_driver;
using linktest::TempDir;

class Solve : public ::testing::Test {
 protected:
  DriverRun run(const std::string& model, const std::string& flags = "--values") {
    const std::string file = dir.write("model.txt", model + "env ScratchDir " + dir.path() + "\n");
    DriverRun r = run_driver(flags + " '" + file + "'");
    res = parse_result(r.out);
    return r;
  }
  DriverRun run_control(const std::string& control, const std::string& model) {
    return run(model, "--values --control '" + dir.write("control.txt", control) + "'");
  }
  std::string print_file() { return linktest::read_file(dir.file("tarvo55Print.dat")); }
  void expect(const std::map<std::string, Record>& got, const std::string& name, double level,
              double marginal, int basis, int cond = 0) {
    SCOPED_TRACE(name);
    auto it = got.find(name);
    ASSERT_NE(it, got.end());
    EXPECT_NEAR(it->second.level, level, 1e-9);
    EXPECT_NEAR(it->second.marginal, marginal, 1e-9);
    EXPECT_EQ(it->second.basis, basis);
    EXPECT_EQ(it->second.cond, cond);
  }
  TempDir dir;
  HostResult res;
};

// min x + 2y + 3z - w + v + 10 over one row of each type; w and v are fixed.
// Optimum x = 4, y = 1, z = 1: objective 20, row marginals 2 (r1), -1 (r3).
std::string typed_model(bool maximize, const std::string& extra = "") {
  const double s = maximize ? -1 : 1;
  return std::string("name types\n") + (maximize ? "sense max\n" : "") +
         tv::strf("objconst %g\n", 10 * s) +
         "col x 0 inf\ncol y 0 inf\ncol z 1 5\ncol w 2 2\ncol v 3 3\n"
         "row r1 =e= 6\nrow r2 =g= 1\nrow r3 =l= 4\nrow r4 =n= 0\n"
         "coef r1 x 1\ncoef r1 y 1\ncoef r1 z 1\ncoef r2 x 1\ncoef r2 y -1\ncoef r3 x 1\n"
         "coef r4 x 1\ncoef r4 z 1\n" +
         tv::strf("coef obj x %g\ncoef obj y %g\ncoef obj z %g\ncoef obj w %g\ncoef obj v %g\n", s,
                                2 * s, 3 * s, -s, s) +
         extra;
}

TEST_F(Solve, RowsOfEveryTypeBoundsAndConstantMinimised) {
  DriverRun r = run(typed_model(false));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Optimal Solution found, objective: 20\n\n=== tvlCallSolver 0\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_DOUBLE_EQ(res.objective, 20.0);
  EXPECT_TRUE(res.completed);
  // The free row never reached the solver and is not written.
  EXPECT_EQ(res.nrows, 3);
  EXPECT_EQ(res.ncols, 5);
  EXPECT_EQ(res.rows.count("r4"), 0u);
  expect(res.rows, "r1", 6, 2, 0);   // equality pushed from below
  expect(res.rows, "r2", 3, 0, 2);   // basic
  expect(res.rows, "r3", 4, -1, 1);  // at its upper limit
  expect(res.cols, "x", 4, 0, 2);
  expect(res.cols, "y", 1, 0, 2);
  expect(res.cols, "z", 1, 1, 0);
  // Fixed columns: the reduced cost decides the bound they are held at.
  expect(res.cols, "w", 2, -1, 1);
  expect(res.cols, "v", 3, 1, 0);
  // Three rows and the objective row reach the solver.
  const std::string p = print_file();
  EXPECT_NE(p.find(" Rows              4 "), std::string::npos) << p;
}

TEST_F(Solve, RowsOfEveryTypeMaximisedHaveNegatedMarginals) {
  DriverRun r = run(typed_model(true));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_DOUBLE_EQ(res.objective, -20.0);
  expect(res.rows, "r1", 6, -2, 0);  // the objective would rather have it lower
  expect(res.rows, "r2", 3, 0, 2);
  expect(res.rows, "r3", 4, 1, 1);
  expect(res.cols, "z", 1, -1, 0);
  expect(res.cols, "w", 2, 1, 1);
  expect(res.cols, "v", 3, -1, 0);
  EXPECT_NE(print_file().find("      Maximize\n"), std::string::npos);
}

TEST_F(Solve, HostBasisGivesAWarmStart) {
  DriverRun cold = run(typed_model(false));
  ASSERT_EQ(res.modelstat, 1) << cold.out;
  const int cold_itns = res.iterations;
  // The optimal basis (host status 2 = basic) with the optimal levels.
  std::string m = typed_model(false, "basis\n");
  auto set = [&](const std::string& head, const std::string& attrs) {
    const size_t at = m.find(head + "\n");
    ASSERT_NE(at, std::string::npos) << head;
    m.replace(at, head.size(), head + " " + attrs);
  };
  set("col x 0 inf", "level 4 status 2");
  set("col y 0 inf", "level 1 status 2");
  set("col z 1 5", "level 1");
  set("row r1 =e= 6", "level 6");
  set("row r2 =g= 1", "level 3 status 2");
  set("row r3 =l= 4", "level 4");
  DriverRun warm = run(m);
  EXPECT_EQ(res.modelstat, 1) << warm.out;
  EXPECT_DOUBLE_EQ(res.objective, 20.0);
  EXPECT_EQ(res.iterations, 0) << warm.out;
  EXPECT_GE(cold_itns, 0);
  EXPECT_NE(print_file().find(" start = Warm"), std::string::npos);
}

TEST_F(Solve, ModelWithoutObjectiveIsAFeasibilityProblem) {
  DriverRun r = run("modeltype 8\ncol x 0 inf\ncol y 0 10\nrow r1 =g= 1\nrow r2 =l= 8\n"
              "coef r1 x 1\ncoef r1 y 1\ncoef r2 x 1\ncoef r2 y 2\ncoef obj x 5\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(res.modelstat, 16);
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_FALSE(res.has_objective);  // no objective value is handed back
  ASSERT_EQ(res.nrows, 2);
  const double x = res.cols["x"].level, y = res.cols["y"].level;
  EXPECT_GE(x + y, 1 - 1e-9);
  EXPECT_LE(x + 2 * y, 8 + 1e-9);
  const std::string p = print_file();
  EXPECT_EQ(count(p, "Minimize"), 0) << p;
  EXPECT_NE(p.find(" Rows              2 "), std::string::npos) << p;  // no objective row
  EXPECT_NE(p.find(" No. of objective coefficients             0"), std::string::npos) << p;
}

TEST_F(Solve, InfeasibleUnboundedAndUnsupportedRows) {
  DriverRun r = run("col x 0 5\ncol y 0 10\nrow r1 =g= 20\ncoef r1 x 1\ncoef r1 y 1\ncoef obj x 1\n");
  EXPECT_NE(r.out.find("\n EXIT - The problem is infeasible.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.modelstat, 4);
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_EQ(res.nrows, 1);  // an infeasible point is written
  EXPECT_EQ(res.cols["x"].cond, 2);  // the infeasibility sits on x (10 > 5)
  EXPECT_EQ(res.cols["y"].cond, 0);

  // Unbounded: nothing written, the host completes the solution itself.
  r = run("col x 0 inf\ncol y 0 10\nrow r1 =g= 1\ncoef r1 x 1\ncoef r1 y 1\ncoef obj x -1\n");
  EXPECT_NE(r.out.find("\n EXIT - The problem is unbounded (or badly scaled).\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.modelstat, 3);
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_EQ(res.nrows, 0);
  EXPECT_EQ(res.ncols, 0);
  EXPECT_TRUE(res.completed);
  EXPECT_EQ(r.status, 0);

  for (const char* t : {"=x=", "=c=", "=b="}) {
    r = run(linktest::small_model(std::string("row bad ") + t + " 1\ncoef bad x 1\n"));
    std::string up = t;
    for (auto& c : up) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_NE(r.out.find("*** CAPABILITY ERROR: Equation type '" + up + "' not supported.\n=== tvlCallSolver 1\n"
                         "=== model status 14\n=== solve status 6\n"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(count(print_file(), "EXIT --"), 0);  // the solver was not called
  }
  r = run(linktest::small_model("sense 2\n"));
  EXPECT_NE(r.out.find("*** CAPABILITY ERROR: Only supports optimization sense min and max.\n"), std::string::npos)
      << r.out;
}

TEST_F(Solve, InfeasibilityOnlyAfterUnscalingIsWarned) {
  // x = 0.99999 < 1 is within the feasibility tolerance only once x is scaled.
  DriverRun r = run("col x 1 2\ncol y 0 1\nrow r1 =e= 0.00099999\ncoef r1 x 0.001\ncoef r1 y 1\ncoef obj y 1\n");
  EXPECT_NE(r.out.find(" EXIT - Optimal Solution found, objective: 0\n"
                       "*** WARNING: Feasible w.r.t. scaled model. Unscaled model has infeasibilities.\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_EQ(res.cols["x"].cond, 2);
  // Clearly infeasible: no warning, the model status says it.
  r = run("col x 1 2\ncol y 0 1\nrow r1 =e= 0.00099\ncoef r1 x 0.001\ncoef r1 y 1\ncoef obj y 1\n");
  EXPECT_EQ(res.modelstat, 4);
  EXPECT_EQ(count(r.out, "WARNING"), 0) << r.out;
}

TEST_F(Solve, HostFailuresAreHmoErrorsAndNothingIsSolved) {
  struct Case {
    const char* fail;
    const char* what;
  };
  const Case cases[] = {
      {"hmoGetRowSparse", "get sparse row"},        {"hmoGetObjSparse", "get sparse objective"},
      {"hmoGetVarL", "get variable level"},         {"hmoGetVarLower", "get variable lower bounds"},
      {"hmoGetVarUpper", "get variable upper bounds"}, {"hmoGetEquL", "get equation level"},
      {"hmoGetEquM", "get equation marginals"},     {"hmoSetSolutionEquRec", "set solution equation record"},
      {"hmoSetSolutionVarRec", "set solution variable record"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.fail);
    DriverRun r = run_control(std::string("fail ") + c.fail + "\n", linktest::small_model(""));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.out.find(std::string("*** HMO ERROR: Failed calling HMO: ") + c.what + "\n"), std::string::npos)
        << r.out;
    EXPECT_EQ(res.modelstat, 13);
    EXPECT_EQ(res.solvestat, 9);
    EXPECT_FALSE(res.completed);  // a failed write skips the head and tail
    const bool solved = std::string(c.fail).find("SetSolution") != std::string::npos;
    EXPECT_EQ(count(r.out, "EXIT - Optimal"), solved ? 1 : 0) << r.out;
  }
}

TEST_F(Solve, LinearModelsAreNotPermutedNonlinearOnesAre) {
  // The permutation calls fail in the host: a linear model never makes them.
  DriverRun r = run_control("fail hmoSetRvVarPermutation\nfail hmoSetRvEquPermutation\n", typed_model(false));
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_EQ(res.column_order, "");
  EXPECT_EQ(res.row_order, "");

  // Columns nonlinear in constraints and objective, in constraints only, in
  // the objective only, then linear; nonlinear rows first; free rows out.
  const std::string nl =
      "col a 0 1\ncol b 0 1\ncol c 0 1\ncol d 0 1\ncol e 0 1\n"
      "row l1 =l= 4\nrow f1 =n= 0\nrow n1 =g= 0\nrow l2 =e= 1\nrow n2 =l= 3\n"
      "coef l1 a 1\ncoef f1 b 1\ncoef n1 d 1 nl\ncoef n1 a 1\ncoef l2 e 1\ncoef n2 b 1 nl\ncoef n2 d 2\n"
      "coef obj c 1 nl\ncoef obj b 1 nl\ncoef obj e 1\n";
  r = run(nl);
  EXPECT_EQ(res.column_order, "b d c a e") << r.out;
  EXPECT_EQ(res.row_order, "n1 n2 l1 l2") << r.out;
  // The same classes from expressions, linear terms in them included.
  r = run("col a 0 1\ncol b 0 1\ncol c 0 1\ncol d 1 2\ncol e 0 1\n"
          "row l1 =l= 4\nrow f1 =n= 0\nrow n1 =g= 0\nrow l2 =e= 1\nrow n2 =l= 3\n"
          "coef l1 a 1\nnlrow f1 b^2\nnlrow n1 log(d) + a\nnlrow l2 2*(e - 1) + 3\nnlrow n2 b*b + 2*d\n"
          "nlobj c^2/2 + exp(b) + e\n");
  EXPECT_EQ(res.column_order, "b d c a e") << r.out;
  EXPECT_EQ(res.row_order, "n1 n2 l1 l2") << r.out;
  r = run_control("fail hmoSetRvVarPermutation\n", nl);
  EXPECT_NE(r.out.find("*** HMO ERROR: Failed calling HMO: set variable permutation\n"), std::string::npos)
      << r.out;
  r = run_control("fail hmoSetRvEquPermutation\n", nl);
  EXPECT_NE(r.out.find("*** HMO ERROR: Failed calling HMO: set equation permutation\n"), std::string::npos)
      << r.out;
  r = run(nl + "row x1 =x= 0\ncoef x1 a 1 nl\n");
  EXPECT_NE(r.out.find("*** CAPABILITY ERROR: Equation type =x= not supported.\n"), std::string::npos) << r.out;
}

TEST_F(Solve, SuperbasicsLimitFromTheNonlinearVariables) {
  EXPECT_EQ(tvl::superbasicsEstimate(0), 3);
  EXPECT_EQ(tvl::superbasicsEstimate(1), 3);
  EXPECT_EQ(tvl::superbasicsEstimate(2), 4);
  EXPECT_EQ(tvl::superbasicsEstimate(3998), 4999);
  EXPECT_EQ(tvl::superbasicsEstimate(3999), 5000);
  EXPECT_EQ(tvl::superbasicsEstimate(INT_MAX), 5000);
  // The link's value replaces one from the option file.
  dir.write("tarvo.opt", "superbasics_limit 77\n");
  for (auto [nln, g] : {std::pair{0, 3}, {3998, 4999}, {3999, 5000}, {100000, 5000}}) {
    DriverRun r = run(linktest::small_model(tv::strf("count nln %d\noptfile tarvo.opt\n", nln)));
    EXPECT_EQ(res.modelstat, 1) << r.out;
    const std::string p = print_file();
    EXPECT_NE(p.find(tv::strf("      Superbasics Limit %15d\n\n", g)), std::string::npos) << p;
  }
}

TEST_F(Solve, WorkspaceOfTheHostSettings) {
  // WorkSpace 0 and WorkFactor 1: only the allocated line, the estimate allocated.
  DriverRun r = run(linktest::small_model(""));
  const long long est = tv::tvcore(1, 2, 2, 3, 3, 3, 2, 1, 2, 2) + 100000;
  EXPECT_NE(r.out.find(tv::strf("\n\n Work space allocated           -- %9.2f Mb\n\n=== tvlReadyAPI 0\n",
                                static_cast<double>(est) / 131072)),
            std::string::npos)
      << r.out;
  EXPECT_NE(print_file().find(tv::strf(" Workspace (total)......%10lld", est)), std::string::npos);
  // Half a megabyte is 65536 words.
  r = run(linktest::small_model("env WorkSpace 0.5\n"));
  EXPECT_NE(r.out.find(" Work space requested by user   --      0.50 Mb\n"
                       " Work space allocated           --      0.50 Mb\n"),
            std::string::npos)
      << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_NE(print_file().find(" Workspace (total)......     65536"), std::string::npos);
}

TEST_F(Solve, TooLittleWorkspaceAsksForAFigureThatWorks) {
  const std::string afiro = dir.file("afiro.txt");
  DriverRun conv = linktest::run_command(std::string("'") + TVHOST_MPS2HOST + "' '" + TARVO_TEST_DATA +
                                   "/netlib/afiro.mps' '" + afiro + "'");
  ASSERT_EQ(conv.status, 0) << conv.out;
  const std::string model = linktest::read_file(afiro);
  DriverRun r = run(model + "env WorkSpace 0.01\n");
  EXPECT_EQ(res.modelstat, 13) << r.out;
  EXPECT_EQ(res.solvestat, 9);
  EXPECT_EQ(res.nrows, 0);
  const size_t at = r.out.find("\n EXIT - Not enough storage to solve the model.\n        Request at least ");
  ASSERT_NE(at, std::string::npos) << r.out;
  const std::string figure = r.out.substr(r.out.find("least", at) + 6, 8);
  EXPECT_EQ(r.out.substr(r.out.find("least", at) + 14, 9), " Mbytes.\n");
  // The figure is the solver's minimum with a tenth more.
  const std::string p = print_file();
  const size_t mw = p.find("minwork =");
  ASSERT_NE(mw, std::string::npos) << p;
  const long long minwork = std::stoll(p.substr(mw + 9));
  EXPECT_EQ(figure, tv::strf("%8.2f", minwork * 1.1 * 8 / 1024 / 1024 + 0.005));
  r = run(model + "env WorkSpace " + figure + "\n");
  EXPECT_EQ(res.modelstat, 1) << r.out;
  EXPECT_NEAR(res.objective, -464.753142857, 1e-6);
}

TEST_F(Solve, ModelWithoutColumnsOrRows) {
  DriverRun r = run("row r1 =l= 1\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_EQ(res.nrows, 1);
  EXPECT_EQ(res.ncols, 0);
  r = run("name empty\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(res.modelstat, 1);
  EXPECT_DOUBLE_EQ(res.objective, 0.0);
  EXPECT_EQ(res.nrows + res.ncols, 0);
}

// ---- the iteration log and the host's stop requests ---------------------------

class NetlibLog : public Solve {
 protected:
  void SetUp() override {
    const std::string file = dir.file("m.txt");
    DriverRun conv = linktest::run_command(std::string("'") + TVHOST_MPS2HOST + "' '" + TARVO_TEST_DATA +
                                     "/netlib/sc50a.mps' '" + file + "'");
    ASSERT_EQ(conv.status, 0) << conv.out;
    model = linktest::read_file(file);
  }
  std::string model;
};

TEST_F(NetlibLog, SummaryFrequencyLinesAndHeaders) {
  dir.write("tarvo.opt", "summary_frequency 1\n");
  DriverRun r = run(model + "optfile tarvo.opt\n");
  ASSERT_EQ(res.modelstat, 1) << r.out;
  const int itns = res.iterations;
  ASSERT_GE(itns, 11);
  // A header before the 1st, 11th, 21st... line.
  EXPECT_EQ(count(r.out, "    Itn  ninf      sinf       objective\n"), (itns + 9) / 10) << r.out;
  EXPECT_NE(r.out.find("    Itn  ninf      sinf       objective\n      1 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n     10 "), std::string::npos);
  EXPECT_NE(r.out.find("\n    Itn  ninf      sinf       objective\n     11 "), std::string::npos) << r.out;
  // Every line in its format: %7d%6d %10.3e %16.8e.
  const size_t at = r.out.find(tv::strf("\n%7d", itns));
  ASSERT_NE(at, std::string::npos) << r.out;
  const std::string last = r.out.substr(at + 1, r.out.find('\n', at + 1) - at - 1);
  EXPECT_EQ(last.size(), 7u + 6 + 1 + 10 + 1 + 16) << last;

  dir.write("tarvo.opt", "summary_frequency 5\n");
  r = run(model + "optfile tarvo.opt\n");
  EXPECT_EQ(count(r.out, "    Itn  ninf"), (itns / 5 + 9) / 10) << r.out;
  EXPECT_NE(r.out.find("objective\n      5 "), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("\n     10 "), std::string::npos);
  EXPECT_EQ(count(r.out, "\n      1 "), 0);

  // A frequency of 0 (or less) logs every iteration.
  for (const char* f : {"0", "-3"}) {
    dir.write("tarvo.opt", std::string("summary_frequency ") + f + "\n");
    r = run(model + "optfile tarvo.opt\n");
    EXPECT_EQ(res.modelstat, 1) << r.out;
    EXPECT_NE(r.out.find("objective\n      1 "), std::string::npos) << r.out;
  }
  // The default (100) logs nothing for a short solve.
  r = run(model);
  EXPECT_EQ(count(r.out, "    Itn  ninf"), 0);
}

TEST_F(NetlibLog, TerminateFlagStopsTheSolve) {
  DriverRun r = run(model + "env TerminateAfter 5\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_EQ(count(r.out, " Received interrupt signal, will stop shortly...\n"), 1) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Terminated by user.\n\n=== tvlCallSolver 0\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 8);
  EXPECT_EQ(res.modelstat, 7);  // stopped at a feasible point
  EXPECT_EQ(res.iterations, 5);
  EXPECT_EQ(res.nrows + res.ncols, 0);
  EXPECT_TRUE(res.completed);
}

TEST_F(NetlibLog, ResourceLimitStopsTheSolve) {
  // Every clock reading advances one second; the limit is three seconds.
  DriverRun r = run(model + "env ClockStep 1\nenv ResLim 3\n");
  EXPECT_EQ(count(r.out, " Resource limit exceeded, will stop shortly...\n"), 1) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Time limit reached.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 3);
  EXPECT_EQ(res.nrows + res.ncols, 0);
  EXPECT_GT(res.iterations, 0);
  r = run(model + "env ResLim 0\n");
  EXPECT_EQ(res.solvestat, 3) << r.out;
  EXPECT_EQ(res.iterations, 1);
  // The interrupt is looked at first.
  r = run(model + "env ResLim 0\nenv TerminateAfter 1\n");
  EXPECT_EQ(res.solvestat, 8) << r.out;
  EXPECT_EQ(count(r.out, "Resource limit"), 0);
}

TEST_F(NetlibLog, IterationLimitKeepsTheModelStatusAndWritesThePoint) {
  DriverRun r = run(model + "env IterLim 3\n");
  EXPECT_NE(r.out.find("\n EXIT - Too many iterations.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 2);
  EXPECT_TRUE(res.modelstat == 6 || res.modelstat == 7) << res.modelstat;
  EXPECT_EQ(res.nrows, 50);
  EXPECT_EQ(res.iterations, 3);
}

}  // namespace

namespace {

// Every result code of the solver as the host sees it.
TEST(ExitReport, EveryResultCode) {
  struct Row {
    int inform;
    const char* text;
    int modelstat, solvestat;
    bool write;
  };
  const Row rows[] = {
      {0, " EXIT - Optimal Solution found, objective: -464.753", 1, 1, true},
      {1, " EXIT - The problem is infeasible.", 4, 1, true},
      {2, " EXIT - The problem is unbounded (or badly scaled).", 3, 1, false},
      {3, " EXIT - Too many iterations.", 0, 2, true},
      {4, " EXIT - The objective has not changed in many iterations.", 0, 4, true},
      {5, " EXIT - The Superbasics Limit is too small.", 0, 4, false},
      {6, " EXIT - Constraint and objective values could not be calculated.", 0, 4, true},
      {9, " EXIT - The current point cannot be improved.", 0, 4, true},
      {12, " EXIT - The current point cannot be improved.", 0, 4, true},
      {13, " EXIT - The current point cannot be improved.", 0, 4, true},
      {10,
       " EXIT - Numerical error in trying to satisfy the linear constraints\n"
       "        (or the linearized constraints). The basis is very ill-conditioned.",
       0, 4, false},
      {18, " EXIT - Time limit reached.", 0, 3, false},
      {19, " EXIT - Terminated by user.", 0, 8, false},
      {20, " EXIT - Not enough storage to solve the model.", 13, 9, false},
      {42, " EXIT - Not enough storage to solve the model.\n        Request at least     1.06 Mbytes.", 13, 9,
       false},
  };
  auto joined = [](const tvl::ExitReport& e) {
    std::string s;
    for (const auto& l : e.lines) s += (s.empty() ? "" : "\n") + l;
    return s;
  };
  for (const Row& r : rows) {
    SCOPED_TRACE(r.inform);
    // 126000 words with a tenth more are 1.06 MB.
    const tvl::ExitReport e = tvl::exitReport(r.inform, -464.753142857, 126000, false, false, false, false);
    EXPECT_EQ(joined(e), r.text);
    EXPECT_EQ(e.modelstat, r.modelstat);
    EXPECT_EQ(e.solvestat, r.solvestat);
    EXPECT_EQ(e.write, r.write);
  }
  for (int inform : {7, 8, 11, 14, 15, 16, 17, 21, 22, 30, 32, 40, 41, 43, 99, -1}) {
    SCOPED_TRACE(inform);
    const tvl::ExitReport e = tvl::exitReport(inform, 0, 0, false, false, false, false);
    EXPECT_EQ(joined(e), " EXIT - Systems error.");
    EXPECT_EQ(e.modelstat, 0);
    EXPECT_EQ(e.solvestat, 4);
    EXPECT_FALSE(e.write);
  }
  // Model type and nonlinearity.
  EXPECT_EQ(tvl::exitReport(0, 1, 0, true, false, false, false).modelstat, 16);
  EXPECT_EQ(tvl::exitReport(0, 1, 0, false, true, false, false).modelstat, 2);
  EXPECT_EQ(tvl::exitReport(1, 1, 0, false, true, true, false).modelstat, 5);
  const tvl::ExitReport dom = tvl::exitReport(6, 0, 0, false, true, false, true);
  EXPECT_EQ(joined(dom), " EXIT - Function evaluation error limit exceeded.");
  EXPECT_EQ(dom.solvestat, 5);
  EXPECT_TRUE(dom.write);
  // The request figure: minwork words with a tenth more, in megabytes, rounded up.
  EXPECT_EQ(tvl::exitReport(42, 0, 1000000, false, false, false, false).lines[1],
            "        Request at least     8.40 Mbytes.");
}

}  // namespace
