// Nonlinear models through the plug-in.  The problems of the nonlinear
// test-problem library are written as host models (their formulas as
// expressions, their bounds, start points and linear rows as they are) and
// solved by the host driver through the dynamic loader; the results must
// match the known optimum and what the subroutine entry returns for the same
// problem.  Then the evaluation callbacks' failure paths (errors at the
// start point, DomLim, failing or lying host calls), the host's stop requests
// during a nonlinear solve, and the callbacks called directly against the
// test host's model library.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "control.h"
#include "core/units.h"
#include "host_result.h"
#include "link_test_util.h"
#include "problems.h"
#include "tarvo.h"
#include "tvl.h"

namespace {

using linktest::count;
using linktest::HostResult;
using linktest::parse_result;
using linktest::TempDir;
using DriverRun = linktest::Run;

std::string num(double v) {
  if (v >= 1e20) return "inf";
  if (v <= -1e20) return "-inf";
  return tv::strf("%.17g", v);
}

// ---- the library's problems as host models ----------------------------------

// The objective of hs086: x'Cx + sum d_j x_j^3 (its linear part is cobj).
std::string hs086_objective() {
  static const double c[5][5] = {{30, -20, -10, 32, -10},
                                 {-20, 39, -6, -31, 32},
                                 {-10, -6, 10, -6, -10},
                                 {32, -31, -6, 39, -20},
                                 {-10, 32, -10, -20, 30}};
  static const double d[5] = {4, 8, 10, 6, 2};
  std::string s;
  for (int i = 0; i < 5; ++i)
    for (int j = 0; j < 5; ++j) s += tv::strf("%s%g*x%d*x%d", s.empty() ? "" : " + ", c[i][j], i + 1, j + 1);
  for (int j = 0; j < 5; ++j) s += tv::strf(" + %g*x%d^3", d[j], j + 1);
  return s;
}

std::string hs110_objective() {
  std::string s, prod;
  for (int j = 1; j <= 10; ++j) {
    s += tv::strf("%slog(x%d - 2)^2 + log(10 - x%d)^2", j > 1 ? " + " : "", j, j);
    prod += tv::strf("%sx%d", j > 1 ? "*" : "", j);
  }
  return s + " - (" + prod + ")^0.2";
}

std::string hs118_objective() {
  std::string s;
  for (int j = 1; j <= 15; ++j) s += tv::strf("%s%g*x%d^2", j > 1 ? " + " : "", j % 3 == 0 ? 0.00015 : 0.0001, j);
  return s;
}

// The nonlinear objective f of each problem in the variables x1, x2, ...
// (the linear objective, constant and rows come from the library).
std::map<std::string, std::string> objectives() {
  const double pi = std::acos(-1.0), r3 = std::sqrt(3.0);
  const std::string obj51 = "(x1 - x2)^2 + (x2 + x3 - 2)^2 + (x4 - 1)^2 + (x5 - 1)^2";
  return {
      {"hs001", "100*(x2 - x1^2)^2 + (1 - x1)^2"},
      {"hs002", "100*(x2 - x1^2)^2 + (1 - x1)^2"},
      {"hs003", "x2 + 0.00001*(x2 - x1)^2"},
      {"hs004", "(x1 + 1)^3/3"},
      {"hs005", "sin(x1 + x2) + (x1 - x2)^2"},
      {"hs009", tv::strf("sin(%.17g*x1)*cos(%.17g*x2)", pi / 12, pi / 16)},
      {"hs021", "0.01*x1^2 + x2^2 - 100"},
      {"hs024", tv::strf("%.17g*((x1 - 3)^2 - 9)*x2^3", 1 / (27 * r3))},
      {"hs028", "(x1 + x2)^2 + (x2 + x3)^2"},
      {"hs035", "9 - 8*x1 - 6*x2 - 4*x3 + 2*x1^2 + 2*x2^2 + x3^2 + 2*x1*x2 + 2*x1*x3"},
      {"hs036", "-x1*x2*x3"},
      {"hs037", "-x1*x2*x3"},
      {"hs038", "100*(x2 - x1^2)^2 + (1 - x1)^2 + 90*(x4 - x3^2)^2 + (1 - x3)^2 + "
                "10.1*((x2 - 1)^2 + (x4 - 1)^2) + 19.8*(x2 - 1)*(x4 - 1)"},
      {"hs044", "x1 - x2 - x3 - x1*x3 + x1*x4 + x2*x3 - x2*x4"},
      {"hs045", "2 - x1*x2*x3*x4*x5/120"},
      {"hs048", "(x1 - 1)^2 + (x2 - x3)^2 + (x4 - x5)^2"},
      {"hs049", "(x1 - x2)^2 + (x3 - 1)^2 + (x4 - 1)^4 + (x5 - 1)^6"},
      {"hs050", "(x1 - x2)^2 + (x2 - x3)^2 + (x3 - x4)^4 + (x4 - x5)^2"},
      {"hs051", obj51},
      {"hs052", "(4*x1 - x2)^2 + (x2 + x3 - 2)^2 + (x4 - 1)^2 + (x5 - 1)^2"},
      {"hs053", obj51},
      {"hs076", "x1^2 + 0.5*x2^2 + x3^2 + 0.5*x4^2 - x1*x3 + x3*x4"},
      {"hs086", hs086_objective()},
      {"hs110", hs110_objective()},
      {"hs118", hs118_objective()},
  };
}

// A library problem as a model file: columns x1.. with their bounds and start
// levels, rows r1.. (a row with two finite limits becomes r<i> =g= and
// r<i>u =l= with the same terms), the objective from `f`, the library's linear
// objective and constant; the nonlinear rows' terms in the Jacobian columns
// from `c` (one expression per nonlinear row).
std::string host_model(const tvnlp::NlpProblem& p, const std::string& f, const std::vector<std::string>& c = {}) {
  std::string s = "name " + p.name + "\n";
  for (int j = 0; j < p.n; ++j)
    s += tv::strf("col x%d %s %s level %s\n", j + 1, num(p.xlo[j]).c_str(), num(p.xup[j]).c_str(),
                  num(p.x0[j]).c_str());
  for (int i = 0; i < p.m; ++i) {
    auto row = [&](const std::string& name, const char* type, double rhs) {
      s += "row " + name + " " + type + " " + num(rhs) + "\n";
      for (const tvnlp::Entry& e : p.lin)
        if (e.row == i) s += tv::strf("coef %s x%d %s\n", name.c_str(), e.col + 1, num(e.val).c_str());
      if (i < static_cast<int>(c.size())) s += "nlrow " + name + " " + c[static_cast<size_t>(i)] + "\n";
    };
    const std::string name = tv::strf("r%d", i + 1);
    if (p.rlo[i] == p.rup[i]) {
      row(name, "=e=", p.rlo[i]);
    } else {
      if (p.rlo[i] > -1e20) row(name, "=g=", p.rlo[i]);
      if (p.rup[i] < 1e20) row(p.rlo[i] > -1e20 ? name + "u" : name, "=l=", p.rup[i]);
    }
  }
  for (size_t j = 0; j < p.cobj.size(); ++j)
    if (p.cobj[j] != 0.0) s += tv::strf("coef obj x%zu %s\n", j + 1, num(p.cobj[j]).c_str());
  if (p.objconst != 0.0) s += "objconst " + num(p.objconst) + "\n";
  return f.empty() ? s : s + "nlobj " + f + "\n";
}

// The same problem through the subroutine entry: levels and reduced costs of
// the columns, and level and marginal of each row as the link writes them.
struct Direct {
  int inform = -1;
  double obj = 0.0;
  std::vector<double> x, rc, rowlevel, rowmarg;
};

Direct solve_direct(const tvnlp::NlpProblem& p) {
  tvnlp::TvArrays t = tvnlp::build_arrays(p);
  tvnlp::bind(p);
  tvsetfun(p.nnobj > 0 ? tvnlp::nlp_funobj : nullptr, p.nncon > 0 ? tvnlp::nlp_funcon : nullptr);
  int none = 0;
  tvstart(&none, &none, &none);
  char names[41];
  std::memset(names, ' ', 40);
  int nnames = 1, name1 = 0, name2 = 0, ns = 0, loglev = 0, minwork = 0, ncstat = 0, nmajor = 0, itns = 0;
  int ninf = 0;
  double sinf = 0.0, cviol = 0.0, cviolr = 0.0;
  int nwork = 200000;
  std::vector<double> z(static_cast<size_t>(nwork));
  Direct d;
  tvnose("Cold", &t.m, &t.n, &t.nb, &t.ne, &nnames, &t.nncon, &t.nnobj, &t.nnjac, &t.objrow, &t.objconst, names,
         t.a.data(), t.ha.data(), t.ka.data(), t.bl.data(), t.bu.data(), &name1, &name2, t.hs.data(), t.xn.data(),
         t.pi.data(), t.rc.data(), &d.inform, &minwork, &ns, &ninf, &sinf, &d.obj, z.data(), &nwork, &loglev,
         nullptr, &nmajor, &itns, &ncstat, &cviol, &cviolr, 4);
  tvsetfun(nullptr, nullptr);
  tvnlp::bind(nullptr);
  d.x.assign(t.xn.begin(), t.xn.begin() + p.n);
  d.rc.assign(t.rc.begin(), t.rc.begin() + p.n);
  for (int i = 0; i < p.m; ++i) {
    d.rowlevel.push_back(-t.xn[static_cast<size_t>(p.n + i)]);
    d.rowmarg.push_back(-t.rc[static_cast<size_t>(p.n + i)]);
  }
  return d;
}

class NonlinearModels : public ::testing::Test {
 protected:
  DriverRun run(const std::string& model, const std::string& control = "") {
    const std::string file = dir.write("model.txt", model + "env ScratchDir " + dir.path() + "\n");
    std::string flags = "--values";
    if (!control.empty()) flags += " --control '" + dir.write("control.txt", control) + "'";
    DriverRun r = linktest::run_driver(flags + " '" + file + "'");
    res = parse_result(r.out);
    return r;
  }
  void compare(const tvnlp::NlpProblem& p, const std::string& f, const std::vector<std::string>& c = {},
               double other = tvnlp::kNaN);
  TempDir dir;
  HostResult res;
};

// One problem through the plug-in against its known optimum (a table line
// for the closing note is printed) and against the subroutine entry.  A
// problem with another published local minimum (`other`) may end there: the
// model has one more row (the objective's) than the entry's form, and the
// path can differ; then only the value is checked.
void NonlinearModels::compare(const tvnlp::NlpProblem& p, const std::string& f, const std::vector<std::string>& c,
                              double other) {
  SCOPED_TRACE(p.name);
  DriverRun r = run(host_model(p, f, c));
  ASSERT_EQ(r.status, 0) << r.out;
  const double tol = std::max(p.xstar_tol, 1e-6) * std::max(1.0, std::fabs(p.fstar));
  if (std::fabs(res.objective - other) <= 1e-6 * std::fabs(other)) {
    std::printf("| %s | %.10g | %.10g (other local minimum) | %.2e | %d %d |\n", p.name.c_str(), res.objective,
                other, std::fabs(res.objective - other), res.modelstat, res.solvestat);
    EXPECT_EQ(res.modelstat, 2) << r.out;
    return;
  }
  const double err = std::fabs(res.objective - p.fstar);
  std::printf("| %s | %.10g | %.10g | %.2e | %d %d |\n", p.name.c_str(), res.objective, p.fstar, err, res.modelstat,
              res.solvestat);
  EXPECT_EQ(res.modelstat, 2) << r.out;  // locally optimal
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_NE(r.out.find(" EXIT - Optimal Solution found, objective: "), std::string::npos);
  EXPECT_LE(err, tol) << r.out;
  EXPECT_EQ(res.ncols, p.n);
  // Every expression evaluated with its gradient, without an error.
  EXPECT_NE(r.out.find(" 0 errors\n"), std::string::npos) << r.out;

  const Direct d = solve_direct(p);
  ASSERT_EQ(d.inform, 0);
  EXPECT_NEAR(res.objective, d.obj, 1e-7 * std::max(1.0, std::fabs(d.obj)));
  for (int j = 0; j < p.n; ++j) {
    const linktest::Record& col = res.cols[tv::strf("x%d", j + 1)];
    EXPECT_NEAR(col.level, d.x[j], 1e-4 * (1.0 + std::fabs(d.x[j]))) << "x" << j + 1;
    EXPECT_NEAR(col.marginal, d.rc[j], 1e-4 * (1.0 + std::fabs(d.rc[j]))) << "x" << j + 1;
  }
  for (int i = 0; i < p.m; ++i) {
    const std::string rn = tv::strf("r%d", i + 1);
    double level = 0.0, marg = 0.0;
    bool seen = false;
    for (const std::string& h : {rn, rn + "u"}) {
      auto it = res.rows.find(h);
      if (it == res.rows.end()) continue;
      level = it->second.level;
      marg += it->second.marginal;
      seen = true;
    }
    ASSERT_TRUE(seen) << rn;
    EXPECT_NEAR(level, d.rowlevel[i], 1e-5 * (1.0 + std::fabs(d.rowlevel[i]))) << rn;
    EXPECT_NEAR(marg, d.rowmarg[i], 1e-4 * (1.0 + std::fabs(d.rowmarg[i]))) << rn;
  }
}

// Every problem of the library with bounds and linear rows.
TEST_F(NonlinearModels, LibraryProblemsMatchTheKnownOptimumAndTheEntry) {
  const auto f = objectives();
  EXPECT_EQ(f.size(), 25u);
  for (const auto& [name, expr] : f) compare(tvnlp::make_problem(name), expr);
}

// Problems with nonlinear rows: objective and constraints, constraints only
// (hs010, hs039: linear objective), nonlinear and linear rows together
// (hs014, hs063), columns linear in every row they are in (x2 of hs006 and
// hs011) but in the Jacobian rows of the entry's form.
TEST_F(NonlinearModels, LibraryProblemsWithNonlinearConstraints) {
  struct Case {
    const char* name;
    std::string f;
    std::vector<std::string> c;
    double other = tvnlp::kNaN;
  };
  const std::vector<Case> cases = {
      {"hs006", "(1 - x1)^2", {"10*(x2 - x1^2)"}},
      {"hs007", "log(1 + x1^2) - x2", {"(1 + x1^2)^2 + x2^2"}},
      {"hs010", "", {"-3*x1^2 + 2*x1*x2 - x2^2"}},
      {"hs011", "(x1 - 5)^2 + x2^2 - 25", {"-x1^2 + x2"}},
      {"hs012", "0.5*x1^2 + x2^2 - x1*x2 - 7*x1 - 7*x2", {"4*x1^2 + x2^2"}},
      {"hs014", "(x1 - 2)^2 + (x2 - 1)^2", {"0.25*x1^2 + x2^2"}},
      // Local minimum 360.3797672 at (-0.7921232, -1.2624299) besides 306.5.
      {"hs015", "100*(x2 - x1^2)^2 + (1 - x1)^2", {"x1*x2", "x1 + x2^2"}, 360.3797672},
      {"hs039", "", {"x2 - x1^3 - x3^2", "x1^2 - x2 - x4^2"}},
      {"hs040", "-x1*x2*x3*x4", {"x1^3 + x2^2", "x1^2*x4 - x3", "x4^2 - x2"}},
      {"hs043", "x1^2 + x2^2 + 2*x3^2 + x4^2 - 5*x1 - 5*x2 - 21*x3 + 7*x4",
       {"x1^2 + x2^2 + x3^2 + x4^2 + x1 - x2 + x3 - x4", "x1^2 + 2*x2^2 + x3^2 + 2*x4^2 - x1 - x4",
        "2*x1^2 + x2^2 + x3^2 + 2*x1 - x2 - x4"}},
      {"hs063", "1000 - x1^2 - 2*x2^2 - x3^2 - x1*x2 - x1*x3", {"x1^2 + x2^2 + x3^2"}},
      {"hs065", "(x1 - x2)^2 + (x1 + x2 - 10)^2/9 + (x3 - 5)^2", {"x1^2 + x2^2 + x3^2"}},
      {"hs071", "x1*x4*(x1 + x2 + x3) + x3", {"x1*x2*x3*x4", "x1^2 + x2^2 + x3^2 + x4^2"}},
  };
  for (const Case& k : cases) compare(tvnlp::make_problem(k.name), k.f, k.c, k.other);
}

}  // namespace

namespace {

// ---- evaluation errors, limits and stop requests through the plug-in --------

// -log(x) - log(1 - x) from x = 0.9: the first step leaves the domain, the line
// search comes back; optimum 2 log 2 at x = 1/2.
const char kBarrier[] = "name barrier\ncol x -10 10 level 0.9\nnlobj -log(x) - log(1 - x)\n";

TEST_F(NonlinearModels, EvaluationErrorsCountAgainstDomLim) {
  // The error in the line search is the first one: past a limit of 0.
  DriverRun r = run(std::string(kBarrier) + "env DomLim 0\n");
  EXPECT_EQ(r.status, 0) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Function evaluation error limit exceeded.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 5);
  EXPECT_EQ(res.modelstat, 7);
  EXPECT_NE(r.out.find("=== headntail 6 1\n"), std::string::npos);
  EXPECT_DOUBLE_EQ(res.cols["x"].level, 0.9);  // the last good point is written
  // Within the limit the solve goes on to the optimum; the error is reported.
  r = run(std::string(kBarrier) + "env DomLim 1\n");
  EXPECT_EQ(res.modelstat, 2) << r.out;
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_NEAR(res.objective, 2 * std::log(2.0), 1e-12);
  EXPECT_NEAR(res.cols["x"].level, 0.5, 1e-6);
  EXPECT_NE(r.out.find("=== headntail 6 1\n"), std::string::npos);
  EXPECT_NE(r.out.find(" 1 errors\n"), std::string::npos);
}

TEST_F(NonlinearModels, UndefinedAtTheStartPoint) {
  const std::string m = "name start\ncol x -10 10 level -1\nnlobj -log(x) - log(1 - x)\n";
  DriverRun r = run(m + "env DomLim 0\n");
  EXPECT_NE(r.out.find("\n EXIT - Function evaluation error limit exceeded.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 5);
  EXPECT_NE(linktest::read_file(dir.file("tarvo55Print.dat"))
                .find(" EXIT -- Termination requested by User in subroutine funobj after       1  calls"),
            std::string::npos);
  // Within the limit the solver cannot start either: values not available.
  r = run(m + "env DomLim 5\n");
  EXPECT_NE(r.out.find("\n EXIT - Constraint and objective values could not be calculated.\n"), std::string::npos)
      << r.out;
  EXPECT_EQ(res.solvestat, 4);
  EXPECT_EQ(res.iterations, 0);
  EXPECT_DOUBLE_EQ(res.cols["x"].level, -1.0);
}

TEST_F(NonlinearModels, FailingHostEvaluationIsAnEvaluationError) {
  // A failed call is one error, whatever counts the host wrote.
  for (const char* c : {"fail hmoEvalGradNLObj\n", "failjunk hmoEvalGradNLObj\n"}) {
    SCOPED_TRACE(c);
    DriverRun r = run(std::string(kBarrier) + "env DomLim 0\n", c);
    EXPECT_EQ(count(r.out, "*** WARNING: HMO: evaluate objective gradient failed!\n"), 1) << r.out;
    EXPECT_EQ(res.solvestat, 5);
    EXPECT_NE(r.out.find("=== headntail 6 1\n"), std::string::npos) << r.out;
  }
  // The objective's entries fail after the model was sent (four queries).
  DriverRun r = run(std::string(kBarrier) + "env DomLim 3\n", "failafter hmoGetObjSparse 4\n");
  EXPECT_EQ(count(r.out, "*** WARNING: HMO: evaluate objective gradient failed!\n"), 1) << r.out;
  EXPECT_EQ(res.solvestat, 4);
  EXPECT_NE(r.out.find("=== headntail 6 1\n"), std::string::npos) << r.out;
}

// hs038 from its start point takes some 30 iterations.
std::string hs038() { return host_model(tvnlp::make_problem("hs038"), objectives().at("hs038")); }

TEST_F(NonlinearModels, StopRequestsAndLimitsDuringANonlinearSolve) {
  DriverRun r = run(hs038() + "env TerminateAfter 5\n");
  EXPECT_EQ(count(r.out, " Received interrupt signal, will stop shortly...\n"), 1) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Terminated by user.\n"), std::string::npos);
  EXPECT_EQ(res.solvestat, 8);
  EXPECT_EQ(res.modelstat, 7);
  EXPECT_EQ(res.iterations, 5);
  EXPECT_EQ(res.ncols, 0);

  r = run(hs038() + "env ClockStep 1\nenv ResLim 3\n");
  EXPECT_EQ(count(r.out, " Resource limit exceeded, will stop shortly...\n"), 1) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Time limit reached.\n"), std::string::npos);
  EXPECT_EQ(res.solvestat, 3);
  EXPECT_EQ(res.ncols, 0);

  // An iteration limit keeps the intermediate point, superbasics not optimal.
  r = run(hs038() + "env IterLim 4\n");
  EXPECT_NE(r.out.find("\n EXIT - Too many iterations.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 2);
  EXPECT_EQ(res.modelstat, 7);
  EXPECT_EQ(res.iterations, 4);
  ASSERT_EQ(res.ncols, 4);
  int nonopt = 0;
  for (const auto& [name, c] : res.cols) nonopt += c.cond == 1;
  EXPECT_GT(nonopt, 0);

  // hs110 has ten superbasics at its optimum; a host that counts no nonlinear
  // variable gets a limit of three.
  r = run(host_model(tvnlp::make_problem("hs110"), objectives().at("hs110")) + "count nln 0\n");
  EXPECT_NE(r.out.find("\n EXIT - The Superbasics Limit is too small.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 4);
  EXPECT_EQ(res.ncols, 0);
}

// Nonlinear rows: an error in a row counts as one in the objective; the
// infeasibility of a model with nonlinear rows is only local; stop requests
// and the major iterations limit between major iterations.
TEST_F(NonlinearModels, NonlinearRowsErrorsInfeasibilityAndLimits) {
  // y = log(x) while the objective pulls x below 0: the line search tries x < 0.
  const std::string m = "name conerr\ncol x -10 10 level 1\ncol y -10 10 level 0\nrow c1 =e= 0\n"
                        "nlrow c1 log(x) - y\nnlobj (x + 3)^2 + y^2\n";
  DriverRun r = run(m + "env DomLim 0\n");
  EXPECT_NE(r.out.find("\n EXIT - Function evaluation error limit exceeded.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 5);
  EXPECT_NE(r.out.find("=== headntail 6 1\n"), std::string::npos);
  r = run(m + "env DomLim 100\n");
  EXPECT_EQ(res.modelstat, 2) << r.out;
  // 2 (x + 3) + 2 log(x) / x = 0
  const double x = res.cols["x"].level;
  EXPECT_NEAR(x + 3 + std::log(x) / x, 0.0, 1e-6);
  EXPECT_NEAR(res.cols["y"].level, std::log(x), 1e-8);
  EXPECT_EQ(r.out.find("=== headntail 6 0\n"), std::string::npos) << r.out;

  // Linear rows that no point satisfies: with nonlinear rows in the model the
  // host hears of a local infeasibility, without them of an infeasible model.
  const std::string inf = "name infeas\ncol x 0 1 level 1\ncol y 0 1 level 1\nrow c2 =g= 5\ncoef c2 x 1\n"
                          "coef c2 y 1\nnlobj (x - 1)^2 + (y - 2)^2\n";
  r = run(inf + "row c1 =l= 4\nnlrow c1 x^2 + y^2\n");
  EXPECT_NE(r.out.find("\n EXIT - The problem is infeasible.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.modelstat, 5);
  EXPECT_EQ(res.solvestat, 1);
  EXPECT_EQ(res.ncols, 2);
  r = run(inf);
  EXPECT_EQ(res.modelstat, 4) << r.out;
  EXPECT_EQ(res.solvestat, 1);

  // hs071 takes several major iterations.
  const tvnlp::NlpProblem p = tvnlp::make_problem("hs071");
  const std::string hs071 =
      host_model(p, "x1*x4*(x1 + x2 + x3) + x3", {"x1*x2*x3*x4", "x1^2 + x2^2 + x3^2 + x4^2"});
  r = run(hs071);
  ASSERT_EQ(res.modelstat, 2) << r.out;
  ASSERT_NE(r.out.find(" Major minor  step     objective  Feasible Optimal  nsb   ncon penalty BSswp\n"
                      "     1     0T "),
            std::string::npos)
      << r.out;
  EXPECT_NE(r.out.find("\n     4 "), std::string::npos) << r.out;
  // The interrupt seen at the third log call (a major line).
  r = run(hs071 + "env TerminateAfter 3\n");
  EXPECT_EQ(count(r.out, " Received interrupt signal, will stop shortly...\n"), 1) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Terminated by user.\n"), std::string::npos);
  EXPECT_EQ(res.solvestat, 8);
  EXPECT_EQ(res.ncols, 0);
  r = run(hs071 + "env ClockStep 1\nenv ResLim 3\n");
  EXPECT_EQ(count(r.out, " Resource limit exceeded, will stop shortly...\n"), 1) << r.out;
  EXPECT_NE(r.out.find("\n EXIT - Time limit reached.\n"), std::string::npos);
  EXPECT_EQ(res.solvestat, 3);
  // The major iterations limit of the option file.
  dir.write("tarvo.opt", "major_iterations_limit 2\n");
  r = run(hs071 + "optfile tarvo.opt\n");
  EXPECT_NE(r.out.find("\n EXIT - Too many iterations.\n"), std::string::npos) << r.out;
  EXPECT_EQ(res.solvestat, 2);
  EXPECT_EQ(res.ncols, 4);
  EXPECT_EQ(res.nrows, 2);
}

TEST_F(NonlinearModels, MaximisedObjectiveHasNegatedValueAndMarginals) {
  const tvnlp::NlpProblem p = tvnlp::make_problem("hs076");
  DriverRun r = run(host_model(p, objectives().at("hs076")));
  ASSERT_EQ(res.modelstat, 2) << r.out;
  const HostResult minimised = res;
  // max -f: the same point, the objective and every marginal negated.
  tvnlp::NlpProblem q = p;
  for (double& c : q.cobj) c = -c;
  r = run("sense max\n" + host_model(q, "-(" + objectives().at("hs076") + ")"));
  ASSERT_EQ(res.modelstat, 2) << r.out;
  EXPECT_NEAR(res.objective, -minimised.objective, 1e-9);
  for (const auto& [name, c] : minimised.cols) {
    EXPECT_NEAR(res.cols[name].level, c.level, 1e-6) << name;
    EXPECT_NEAR(res.cols[name].marginal, -c.marginal, 1e-6) << name;
  }
  for (const auto& [name, row] : minimised.rows) EXPECT_NEAR(res.rows[name].marginal, -row.marginal, 1e-6) << name;
}

}  // namespace

namespace {

// ---- the callbacks called directly against the test host's model library ----

// Columns x, y nonlinear in the rows (x also in the objective), z linear; rows
// c1, c2 nonlinear, c3 linear.  Already in the solver's order, so the model's
// own order is the one the callbacks see.
//   c1: x^2 y + 2 z      c2: exp(x) + 4 y      c3: x + z
//   objective: log(x) + 3 y + z
// Jacobian columns: x (c1, c2), y (c1, c2): jacstart 0 2 4.
const char kRows[] =
    "col x 0.5 4 level 1\ncol y -inf inf level 2\ncol z 0 inf level 3\n"
    "row c1 =l= 10\nrow c2 =l= 20\nrow c3 =g= 0\n"
    "nlrow c1 x^2*y + 2*z\nnlrow c2 exp(x) + 4*y\ncoef c3 x 1\ncoef c3 z 1\n"
    "nlobj log(x) + 3*y + z\n";

class Callbacks : public ::testing::Test {
 protected:
  void SetUp() override {
    tvhost_control_reset();
    char msg[256];
    const std::string file = dir.write("model.txt", kRows);
    ASSERT_EQ(hmoCreateDD(&model, TVHOST_LIBDIR, file.c_str(), msg, sizeof msg), 1) << msg;
    ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
    hmoSetExitIndicator(0);
    hevSetExitIndicator(0);
    ASSERT_EQ(hmoN(model), 3);
    ASSERT_EQ(hmoNLM(model), 2);
    tvl.model = model;
    tvl.env = static_cast<hevHandle_t>(hmoEnvironment(model));
    tvl.hasobj = 1;
    tvl.domlim = 100;
    tvl.jacstart = jacstart;
    tvl.njaccols = 2;
    tvl.nbuf = 3;
    tvl.colbuf = colbuf;
    tvl.nlbuf = nlbuf;
    tvl.cntbuf = cntbuf;
    tvl.gradbuf = gradbuf;
    tvl.valbuf = valbuf;
    saved = tvl::global_tvl;
    tvl::global_tvl = &tvl;
    tvhost_capture_start();
  }
  void TearDown() override {
    tvhost_capture_stop();
    tvhost_control_reset();
    tvl::global_tvl = saved;
    hmoFree(&model);
  }
  // funobj at (x, y); returns mode.
  int obj(double x, double y, int mode = 2) {
    double xx[2] = {x, y};
    int nn = 2, nstate = 0, nprob = 1, nwork = 0;
    tvl::funobj(&mode, &nn, xx, &fobj, gobj, &nstate, &nprob, nullptr, &nwork);
    return mode;
  }
  int con(double x, double y, int mode = 2) {
    double xx[2] = {x, y};
    int nncon = 2, nnjac = 2, njac = 4, nstate = 0, nprob = 1, nwork = 0;
    tvl::funcon(&mode, &nncon, &nnjac, &njac, xx, fcon, gcon, &nstate, &nprob, nullptr, &nwork);
    return mode;
  }
  std::string log() { return tvhost_capture_text(); }

  TempDir dir;
  hmoHandle_t model = nullptr;
  tvl::tvlRec tvl;
  tvl::tvlRec* saved = nullptr;
  int jacstart[3] = {0, 2, 4};
  int colbuf[3] = {}, nlbuf[3] = {}, cntbuf[3] = {};
  double gradbuf[3] = {}, valbuf[3] = {};
  double fobj = -1, gobj[2] = {-1, -1}, fcon[2] = {-1, -1}, gcon[4] = {-1, -1, -1, -1};
};

TEST_F(Callbacks, ValuesAndGradientsInTheJacobianLayout) {
  const double e = std::exp(1.0);
  EXPECT_EQ(con(1.0, 2.0), 2);
  // The rows' terms in the Jacobian columns; 2 z belongs to the matrix.
  EXPECT_DOUBLE_EQ(fcon[0], 2.0);
  EXPECT_DOUBLE_EQ(fcon[1], e + 8.0);
  // Column x: d/dx of c1, c2; column y: d/dy of c1 (nonlinear), c2 (the coefficient 4).
  EXPECT_DOUBLE_EQ(gcon[0], 4.0);
  EXPECT_DOUBLE_EQ(gcon[1], e);
  EXPECT_DOUBLE_EQ(gcon[2], 1.0);
  EXPECT_DOUBLE_EQ(gcon[3], 4.0);
  // Mode 0 gets the gradient as well.
  EXPECT_EQ(con(2.0, -1.0, 0), 0);
  EXPECT_DOUBLE_EQ(fcon[0], -4.0);
  EXPECT_DOUBLE_EQ(gcon[0], -4.0);
  EXPECT_DOUBLE_EQ(gcon[2], 4.0);

  // log(x) + 3 y; z is in the objective row.
  EXPECT_EQ(obj(1.0, 2.0), 2);
  EXPECT_DOUBLE_EQ(fobj, 6.0);
  EXPECT_DOUBLE_EQ(gobj[0], 1.0);
  EXPECT_DOUBLE_EQ(gobj[1], 3.0);
  EXPECT_EQ(tvl.evalerrs, 0);
  EXPECT_EQ(log(), "");
  // Without an objective: zero, and the host is not asked.
  tvl.hasobj = 0;
  tvhost_control_add("fail hmoGetObjSparse\nfail hmoEvalGradNLObj\n");
  EXPECT_EQ(obj(1.0, 2.0), 2);
  EXPECT_EQ(fobj, 0.0);
  EXPECT_EQ(gobj[0], 0.0);
  EXPECT_EQ(gobj[1], 0.0);
}

TEST_F(Callbacks, ErrorsAreCountedAgainstTheLimit) {
  tvl.domlim = 2;
  EXPECT_EQ(obj(-1.0, 2.0), -1);  // log(-1)
  EXPECT_EQ(tvl.evalerrs, 1);
  EXPECT_EQ(obj(1.0, 2.0), 2);  // defined again
  EXPECT_EQ(obj(-1.0, 2.0), -1);
  EXPECT_EQ(tvl.evalerrs, 2);
  EXPECT_EQ(obj(-1.0, 2.0), -2);  // the third passes the limit of two
  EXPECT_EQ(tvl.evalerrs, 3);
  // A row error stops the loop over the rows at the limit.
  tvl.evalerrs = 0;
  tvl.domlim = 0;
  EXPECT_EQ(con(4.0, 1e308), -2);  // x^2 y overflows in c1
  EXPECT_EQ(tvl.evalerrs, 1);
  EXPECT_EQ(fcon[1], 0.0);  // c2 not evaluated
}

TEST_F(Callbacks, FailedHostCallsAreErrorsWhateverCountsTheyWrite) {
  tvhost_control_add("failjunk hmoEvalGradNLObj\n");
  EXPECT_EQ(obj(1.0, 2.0), -1);
  EXPECT_EQ(tvl.evalerrs, 1);
  EXPECT_EQ(fobj, 0.0);
  EXPECT_EQ(log(), "*** WARNING: HMO: evaluate objective gradient failed!\n");
  tvhost_control_reset();
  tvhost_control_add("failjunk hmoGetObjSparse\n");
  EXPECT_EQ(obj(1.0, 2.0), -1);
  EXPECT_EQ(tvl.evalerrs, 2);

  tvhost_capture_start();
  tvl.evalerrs = 0;
  tvhost_control_reset();
  tvhost_control_add("failjunk hmoGetRowSparse\n");
  EXPECT_EQ(con(1.0, 2.0), -1);
  EXPECT_EQ(tvl.evalerrs, 2);  // one per row
  EXPECT_EQ(log(), "*** WARNING: HMO: evaluate constraint gradient 0 failed!\n"
                   "*** WARNING: HMO: evaluate constraint gradient 1 failed!\n");
  for (double g : gcon) EXPECT_EQ(g, 0.0);
  tvhost_control_reset();
  tvhost_control_add("failjunk hmoEvalGradNL\n");
  EXPECT_EQ(con(1.0, 2.0), -1);
  EXPECT_EQ(tvl.evalerrs, 4);
  tvhost_control_reset();
  tvhost_control_add("fail hmoEvalNewPoint\n");
  EXPECT_EQ(con(1.0, 2.0), -1);
  EXPECT_EQ(tvl.evalerrs, 5);
  EXPECT_NE(log().find("*** WARNING: HMO: evaluate new point failed!\n"), std::string::npos) << log();
}

TEST_F(Callbacks, CountsBeyondTheBuffersAreCut) {
  tvhost_control_add("overcount hmoGetRowSparse 5\novercount hmoGetObjSparse 9\n");
  EXPECT_EQ(con(1.0, 2.0), 2);
  EXPECT_DOUBLE_EQ(fcon[0], 2.0);
  EXPECT_DOUBLE_EQ(gcon[3], 4.0);
  EXPECT_EQ(obj(1.0, 2.0), 2);
  EXPECT_DOUBLE_EQ(fobj, 6.0);
  EXPECT_EQ(log(), "*** WARNING: HMO: 8 entries returned for buffers of 3, the rest ignored\n"
                   "*** WARNING: HMO: 7 entries returned for buffers of 3, the rest ignored\n"
                   "*** WARNING: HMO: 12 entries returned for buffers of 3, the rest ignored\n");
  EXPECT_EQ(tvl.evalerrs, 0);
}

}  // namespace
