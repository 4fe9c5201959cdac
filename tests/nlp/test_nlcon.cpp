// Nonlinear constraints solved end to end through tvnose: every problem of
// the library with nonlinear rows against its published optimum (point,
// rows, multiplier signs, the caller's bounds and the slacks of the
// nonlinear rows as returned), and the paths of the major iterations: the
// right-hand-side perturbation of an infeasible subproblem, the penalty
// increase of an unbounded one, an infeasible problem, the Major iterations
// limit, a short Minor iterations limit, a stop asked through the log
// callback, funcon asking to stop or undefined inside a major iteration,
// and the debug listings of the Print level digits.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "core/context.h"
#include "core/entry.h"
#include "core/units.h"
#include "options/options.h"
#include "options/params.h"
#include "problems.h"

namespace {

using tvnlp::kInf;
using tvnlp::NlpProblem;

constexpr int kPrt = 9, kSum = 10;

// One solve on its own context with the print and summary files in memory.
// funcon can be made to stop or to be undefined at a given call.
struct NlSolve {
  tv::Context ctx;
  NlpProblem p;
  tvnlp::TvArrays t;
  std::vector<double> bl0, bu0;  // the bounds as passed
  tv::EntryResult r;
  int ns = 0;
  std::vector<double> z;
  int con_calls = 0;
  int con_stop_at = 0;       // > 0: mode -2 at this funcon call
  int con_undefined_at = 0;  // > 0: mode -1 at this funcon call
  bool wrong_jacobian = false;  // the first Jacobian entry comes back wrong
  std::vector<int> con_nstates;  // nstate of every funcon call
  std::vector<double> con_xlast;  // x at the last funcon call

  explicit NlSolve(const NlpProblem& prob) : p(prob), t(tvnlp::build_arrays(prob)), bl0(t.bl), bu0(t.bu) {}

  void start(const std::vector<std::string>& options) {
    tv::tvstart(ctx, 0, 0, 0);
    ctx.io.attach_buffer(kPrt);
    ctx.io.attach_buffer(kSum);
    ctx.par.prtfile = kPrt;
    ctx.par.sumfile = kSum;
    int errors = 0;
    for (const std::string& o : options) tv::tvopt(ctx, o, 0, 0, errors);
    EXPECT_EQ(errors, 0);
    tv::tvsetfun(
        ctx,
        [this](int* mode, int* nnobj, double* x, double* f, double* g, int* nstate, int* nprob, double* w,
               int* nw) { tvnlp::nlp_funobj(mode, nnobj, x, f, g, nstate, nprob, w, nw); },
        [this](int* mode, int* nncon, int* nnjac, int* njac, double* x, double* f, double* g, int* nstate,
               int* nprob, double* w, int* nw) {
          ++con_calls;
          con_nstates.push_back(*nstate);
          con_xlast.assign(x, x + *nnjac);
          if (con_calls == con_stop_at) {
            *mode = -2;
            return;
          }
          if (con_calls == con_undefined_at) {
            *mode = -1;
            return;
          }
          tvnlp::nlp_funcon(mode, nncon, nnjac, njac, x, f, g, nstate, nprob, w, nw);
          if (wrong_jacobian && *mode == 2) g[0] = -1e3 * (g[0] + 1.0);  // relative error above 1
        });
  }

  void run(int loglev = 0, tv_logfun logfun = nullptr, const char* startword = "Cold") {
    tvnlp::bind(p);
    tv::Problem P;
    P.m = t.m;
    P.n = t.n;
    P.nb = t.nb;
    P.ne = t.ne;
    P.nncon = t.nncon;
    P.nnobj = t.nnobj;
    P.nnjac = t.nnjac;
    P.objrow = t.objrow;
    P.objconst = t.objconst;
    P.a = tv::Dvec(t.a.data(), t.ne);
    P.ha = tv::Ivec(t.ha.data(), t.ne);
    P.ka = tv::Ivec(t.ka.data(), t.n + 1);
    P.bl = tv::Dvec(t.bl.data(), t.nb);
    P.bu = tv::Dvec(t.bu.data(), t.nb);
    static int name0 = 0;
    P.name1 = tv::Ivec(&name0, 1);
    P.name2 = tv::Ivec(&name0, 1);
    P.hs = tv::Ivec(t.hs.data(), t.nb);
    P.xn = tv::Dvec(t.xn.data(), t.nb);
    P.pi = tv::Dvec(t.pi.data(), t.m);
    P.rc = tv::Dvec(t.rc.data(), t.nb);
    double one = 0.0;
    tv::tvnose(ctx, startword, P, nullptr, ns, &one, 1, 0, nullptr, r);
    ASSERT_EQ(r.inform, TV_WORKSPACE);
    z.assign(static_cast<size_t>(r.minwork), 0.0);
    ctx.io.clear_buffer(kPrt);
    ctx.io.clear_buffer(kSum);
    tv::tvnose(ctx, startword, P, nullptr, ns, z.data(), r.minwork, loglev, logfun, r);
    tvnlp::bind(nullptr);
    if (const char* d = std::getenv("NLCON_DUMP")) {
      FILE* f = std::fopen(d, "a");
      std::fputs(prt().c_str(), f);
      std::fclose(f);
    }
  }

  std::vector<double> x() const { return std::vector<double>(t.xn.begin(), t.xn.begin() + p.n); }
  double f() const {
    const std::vector<double> v = x();
    return p.objective(v.data());
  }
  double error() const { return std::fabs(f() - p.fstar) / std::max(1.0, std::fabs(p.fstar)); }
  std::string prt() const { return ctx.io.buffer(kPrt); }
  std::string sum() const { return ctx.io.buffer(kSum); }
  bool printed(const std::string& s) const { return prt().find(s) != std::string::npos; }
  bool summarized(const std::string& s) const { return sum().find(s) != std::string::npos; }
  std::string tail() const { return prt().substr(prt().size() > 4000 ? prt().size() - 4000 : 0); }

  // Largest violation of a row or a bound relative to 1 + |bound|.
  double violation() const {
    const std::vector<double> v = x();
    std::vector<double> act(static_cast<size_t>(p.m));
    if (!p.activities(v.data(), act.data())) return kInf;
    double worst = 0.0;
    auto rel = [](double excess, double b) { return excess / (1.0 + std::fabs(b)); };
    for (int j = 0; j < p.n; ++j) worst = std::max({worst, rel(p.xlo[j] - v[j], p.xlo[j]), rel(v[j] - p.xup[j], p.xup[j])});
    for (int i = 0; i < p.m; ++i) worst = std::max({worst, rel(p.rlo[i] - act[i], p.rlo[i]), rel(act[i] - p.rup[i], p.rup[i])});
    return worst;
  }
};

// What every run returns, whatever its exit: the nonlinear rows' bounds
// exactly as passed (they are relaxed and perturbed inside); the others as
// passed up to the rounding of scaling and unscaling.
void expect_bounds_returned(const NlSolve& s) {
  const int n = s.t.n;
  for (int j = 0; j < s.t.nb; ++j) {
    if (j >= n && j < n + s.t.nncon) {
      EXPECT_EQ(s.t.bl[j], s.bl0[j]) << "row " << j - n + 1;
      EXPECT_EQ(s.t.bu[j], s.bu0[j]) << "row " << j - n + 1;
    } else {
      EXPECT_NEAR(s.t.bl[j], s.bl0[j], 1e-15 * std::fabs(s.bl0[j])) << "variable " << j + 1;
      EXPECT_NEAR(s.t.bu[j], s.bu0[j], 1e-15 * std::fabs(s.bu0[j])) << "variable " << j + 1;
    }
  }
}

// The returned multipliers have the signs of a minimum: a row whose
// activity is above its lower bound has pi <= 0 from that side, below its
// upper bound pi >= 0 ... up to the tolerance; and the slacks of the
// nonlinear rows are minus their activities at the returned point.
void expect_kkt_signs_and_slacks(const NlSolve& s) {
  const NlpProblem& p = s.p;
  const std::vector<double> v = s.x();
  std::vector<double> act(static_cast<size_t>(p.m));
  ASSERT_TRUE(p.activities(v.data(), act.data()));
  double pimax = 1.0;
  for (int i = 0; i < p.m; ++i) pimax = std::max(pimax, std::fabs(s.t.pi[i]));
  const double dtol = 1e-5 * pimax;
  for (int i = 0; i < p.m; ++i) {
    const double scale = 1.0 + std::fabs(act[i]);
    // Activity strictly above its lower bound: no multiplier pushing it up.
    if (act[i] > p.rlo[i] + 1e-5 * scale) {
      EXPECT_LE(s.t.pi[i], dtol) << "row " << i;
    }
    if (act[i] < p.rup[i] - 1e-5 * scale) {
      EXPECT_GE(s.t.pi[i], -dtol) << "row " << i;
    }
  }
  for (int i = 0; i < p.nncon; ++i) {
    EXPECT_NEAR(s.t.xn[p.n + i], -act[i], 1e-9 * (1.0 + std::fabs(act[i]))) << "slack of row " << i;
  }
}

// ---- every library problem with nonlinear constraints ---------------------------------------

std::vector<std::string> nonlinear_constraint_problems() {
  std::vector<std::string> names;
  for (const std::string& name : tvnlp::problem_names()) {
    if (!tvnlp::make_problem(name).linear_constraints) names.push_back(name);
  }
  return names;
}

class NlconLibrary : public ::testing::TestWithParam<std::string> {};

TEST_P(NlconLibrary, ReachesThePublishedOptimum) {
  const std::string name = GetParam();
  NlSolve s(tvnlp::make_problem(name));
  // The variables of hs106 range over four decades: it needs the scaling
  // that sees the Jacobian.  ocp has a superbasic per time step.
  std::vector<std::string> options;
  if (name == "hs106") options.push_back("Scale option 2");
  if (name == "ocp") options.push_back("Superbasics limit 600");
  s.start(options);
  s.run();
  EXPECT_EQ(s.r.inform, TV_OPTIMAL) << s.tail();
  // hs072's multipliers are near 1e4: its published value has 8 digits.
  const double ftol = name == "ocp" ? 1e-5 : (name == "hs072" ? 1e-5 : 1e-6);
  // From the standard start hs015 reaches its published local minimum
  // 360.379767 at (-0.79212, -1.26243) as well as the global one.
  const bool local15 = name == "hs015" && std::fabs(s.f() - 360.379767) <= 1e-6 * 360.379767;
  if (!local15) {
    EXPECT_LE(s.error(), ftol) << "f = " << s.f() << ", f* = " << s.p.fstar;
  }
  EXPECT_LE(s.violation(), 1e-6);
  EXPECT_EQ(s.r.ncstat, 1);
  EXPECT_LE(s.r.cviolr, 1e-6);
  EXPECT_NEAR(s.r.obj, s.f(), 1e-8 * (1.0 + std::fabs(s.f())));
  EXPECT_TRUE(s.printed(" Major minor     total  ninf step     objective     Feasible Optimal   nsb   ncon       LU penalty BSwap"));
  EXPECT_TRUE(s.printed(" Nonlinear constraint violn"));
  EXPECT_TRUE(s.printed(" EXIT -- optimal solution found"));
  expect_bounds_returned(s);
  expect_kkt_signs_and_slacks(s);
}

INSTANTIATE_TEST_SUITE_P(Problems, NlconLibrary, ::testing::ValuesIn(nonlinear_constraint_problems()),
                         [](const ::testing::TestParamInfo<std::string>& i) { return i.param; });

// ---- small problems for the paths of the major iterations -------------------------------------

// min (x - 2)^2  s.t.  x^2 >= 1,  x in [-10, 10], from x = 0: the first
// linearization has a zero gradient and cannot be satisfied, so the
// right-hand side is perturbed.  Optimum x = 2, f = 0.
NlpProblem flat_start() {
  NlpProblem p;
  p.name = "flatstart";
  p.group = "test";
  p.linear_constraints = false;
  p.n = 1;
  p.nnobj = p.nncon = p.nnjac = 1;
  p.m = 1;
  p.xlo = {-10.0};
  p.xup = {10.0};
  p.x0 = {0.0};
  p.rlo = {1.0};
  p.rup = {kInf};
  p.jac = {{0, 0}};
  p.fobj = [](const double* x, double& f, double* g) {
    f = (x[0] - 2.0) * (x[0] - 2.0);
    if (g) g[0] = 2.0 * (x[0] - 2.0);
    return true;
  };
  p.fcon = [](const double* x, double* c, double* J) {
    c[0] = x[0] * x[0];
    if (J) J[0] = 2.0 * x[0];
    return true;
  };
  p.fstar = 0.0;
  p.xstar = {2.0};
  return p;
}

// min -x1  s.t.  x1^2 + x2^2 <= 2 (free columns), from (0, 1): optimum
// (sqrt 2, 0), f = -sqrt 2.  The first linearization does not involve x1,
// so without a penalty the first subproblem is unbounded.
NlpProblem disc() {
  NlpProblem p;
  p.name = "disc";
  p.group = "test";
  p.linear_constraints = false;
  p.n = 2;
  p.nnobj = 0;
  p.nncon = 1;
  p.nnjac = 2;
  p.m = 1;
  p.cobj = {-1.0, 0.0};
  p.xlo = {-kInf, -kInf};
  p.xup = {kInf, kInf};
  p.x0 = {0.0, 1.0};
  p.rlo = {-kInf};
  p.rup = {2.0};
  p.jac = {{0, 0}, {0, 1}};
  p.fcon = [](const double* x, double* c, double* J) {
    c[0] = x[0] * x[0] + x[1] * x[1];
    if (J) {
      J[0] = 2.0 * x[0];
      J[1] = 2.0 * x[1];
    }
    return true;
  };
  p.fstar = -std::sqrt(2.0);
  p.xstar = {std::sqrt(2.0), 0.0};
  return p;
}

TEST(NlconPaths, InfeasibleFirstLinearizationPerturbsTheRightHandSide) {
  NlSolve s(flat_start());
  s.start({});
  s.run();
  EXPECT_TRUE(s.printed(" XXX  Infeasible subproblem.    RHS perturbed by  1.0E-02 * (|RHS|  +")) << s.tail();
  EXPECT_EQ(s.r.inform, TV_OPTIMAL) << s.tail();
  EXPECT_LE(s.error(), 1e-6);
  EXPECT_LE(s.violation(), 1e-6);
  expect_bounds_returned(s);
}

TEST(NlconPaths, UnboundedSubproblemRaisesThePenalty) {
  NlSolve s(disc());
  s.start({"Penalty parameter 0"});
  s.run();
  EXPECT_TRUE(s.printed(" Penalty parameter increased to")) << s.tail();
  EXPECT_TRUE(s.summarized(" Penalty parameter increased to"));
  EXPECT_EQ(s.r.inform, TV_OPTIMAL) << s.tail();
  EXPECT_LE(s.error(), 1e-6);
  EXPECT_LE(s.violation(), 1e-6);
  expect_bounds_returned(s);
  expect_kkt_signs_and_slacks(s);
}

TEST(NlconPaths, InfeasibleProblem) {
  // exp(x) <= 0 has no solution; over x in [-1, 1] its linearization at
  // the lower bound cannot be satisfied either, however far its right-hand
  // side is perturbed.
  NlpProblem p;
  p.name = "expneg";
  p.group = "test";
  p.linear_constraints = false;
  p.n = 1;
  p.nnobj = 0;
  p.nncon = p.nnjac = 1;
  p.m = 1;
  p.cobj = {1.0};
  p.xlo = {-1.0};
  p.xup = {1.0};
  p.x0 = {0.0};
  p.rlo = {-kInf};
  p.rup = {0.0};
  p.jac = {{0, 0}};
  p.fcon = [](const double* x, double* c, double* J) {
    c[0] = std::exp(x[0]);
    if (J) J[0] = std::exp(x[0]);
    return true;
  };
  NlSolve s(p);
  s.start({});
  s.run();
  EXPECT_EQ(s.r.inform, TV_INFEASIBLE) << s.tail();
  EXPECT_TRUE(s.printed(" EXIT -- the problem is infeasible"));
  expect_bounds_returned(s);
  EXPECT_EQ(s.r.ncstat, 2);
  EXPECT_GT(s.r.cviol, 0.0);
}

TEST(NlconPaths, MajorIterationsLimit) {
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({"Major iterations limit 3"});
  s.run();
  EXPECT_EQ(s.r.inform, TV_ITERATION_LIMIT);
  EXPECT_TRUE(s.printed(" XXX  Major iterations terminated before convergence"));
  EXPECT_TRUE(s.printed(" EXIT -- too many iterations"));
  EXPECT_LE(s.r.nmajor, 3);
  expect_bounds_returned(s);
}

// The count of minor iterations against the limit starts again with every
// major iteration: a limit of 2 slows the method down but does not stop it.
TEST(NlconPaths, ShortMinorIterationsLimit) {
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({"Minor iterations limit 2"});
  s.run();
  EXPECT_EQ(s.r.inform, TV_OPTIMAL) << s.tail();
  EXPECT_LE(s.error(), 1e-6);
  EXPECT_TRUE(s.printed("T        "));  // subproblems ended by the limit
}

// ---- the log callback at the end of a major iteration ---------------------------------------

struct LogCall {
  int kind, major, minor, ninf, ns, ncon, bsswp;
  double sinf, step, objective, feasible, optimal, penalty;
  char flag;
  int stop_in;
};
std::vector<LogCall> g_log;
int g_stop_major = 0;  // > 0: ask for an interrupt at this major iteration

extern "C" void record_log(int* kind, int* stop, int* major, int* minor, int* ninf, double* sinf, char* flag,
                           double* step, double* objective, double* feasible, double* optimal, int* ns,
                           int* ncon, double* penalty, int* bsswp, int) {
  g_log.push_back({*kind, *major, *minor, *ninf, *ns, *ncon, *bsswp, *sinf, *step, *objective, *feasible,
                   *optimal, *penalty, *flag, *stop});
  if (*kind == 2 && g_stop_major > 0 && *major == g_stop_major) *stop = 2;
}

TEST(NlconLog, MajorIterationCallsCarryTheLogLineAndCanStop) {
  g_log.clear();
  g_stop_major = 0;
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({});
  s.run(1, record_log);
  ASSERT_EQ(s.r.inform, TV_OPTIMAL);
  std::vector<LogCall> majors;
  for (const LogCall& c : g_log) {
    EXPECT_EQ(c.stop_in, 0);  // cleared before every call
    if (c.kind == 2) majors.push_back(c);
  }
  ASSERT_GE(majors.size(), 2u);
  for (size_t k = 0; k < majors.size(); ++k) {
    EXPECT_EQ(majors[k].major, static_cast<int>(k) + 1);
    EXPECT_TRUE(majors[k].flag == ' ' || majors[k].flag == 'T' || majors[k].flag == 'I' || majors[k].flag == 'U');
    EXPECT_GE(majors[k].feasible, 0.0);
    EXPECT_LT(majors[k].feasible, 10.0);  // normalized
    EXPECT_GT(majors[k].ncon, 0);
    EXPECT_EQ(majors[k].penalty > 0.0, true);
  }
  // The last major line: at the optimum, both measures within tolerance.
  const LogCall& last = majors.back();
  EXPECT_NEAR(last.objective, s.p.fstar, 1e-6 * std::fabs(s.p.fstar));
  EXPECT_LE(last.feasible, 1e-6);
  EXPECT_LE(last.optimal, 1e-6);
  EXPECT_EQ(last.step, 1.0);
  // The same numbers as the print file's major line.
  EXPECT_TRUE(s.printed(tv::strf("%6d%6d%c", last.major, last.minor, last.flag)));

  g_log.clear();
  g_stop_major = 2;
  NlSolve t(tvnlp::make_problem("hs071"));
  t.start({});
  t.run(1, record_log);
  EXPECT_EQ(t.r.inform, TV_INTERRUPT);
  EXPECT_TRUE(t.printed(" EXIT -- control-c interrupt"));
  expect_bounds_returned(t);
  g_stop_major = 0;
}

// ---- evaluations inside the major iterations ------------------------------------------------

TEST(NlconEvaluation, FuncconStopInsideAMajorIteration) {
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({});
  s.con_stop_at = 12;
  s.run();
  EXPECT_EQ(s.r.inform, TV_USER_STOP) << s.tail();
  EXPECT_TRUE(s.printed(" EXIT -- Termination requested by User in subroutine funcon"));
  expect_bounds_returned(s);
}

TEST(NlconEvaluation, UndefinedConstraintsAreSteppedAround) {
  // One undefined evaluation in the middle of the run: the search (or the
  // damped step) backs off and the run still reaches the optimum.
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({});
  s.con_undefined_at = 15;
  s.run();
  EXPECT_EQ(s.r.inform, TV_OPTIMAL) << s.tail();
  EXPECT_LE(s.error(), 1e-6);
  expect_bounds_returned(s);
}

TEST(NlconEvaluation, WrongJacobianIsFoundBeforeTheFirstStep) {
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({"Verify level 3"});
  s.wrong_jacobian = true;
  s.run();
  EXPECT_EQ(s.r.inform, TV_CON_GRADIENTS) << s.tail();
  EXPECT_TRUE(s.printed(" EXIT -- subroutine funcon appears to be giving incorrect gradients"));
  expect_bounds_returned(s);
  // Right gradients pass the same check.
  NlSolve t(tvnlp::make_problem("hs071"));
  t.start({"Verify level 3"});
  t.run();
  EXPECT_EQ(t.r.inform, TV_OPTIMAL) << t.tail();
}

// After the run funcon is called once more at the returned point with
// nstate = 2 + the result.
TEST(NlconEvaluation, FinalCallOfFuncon) {
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({});
  s.run();
  ASSERT_EQ(s.r.inform, TV_OPTIMAL);
  ASSERT_FALSE(s.con_nstates.empty());
  EXPECT_EQ(s.con_nstates.front(), 1);
  EXPECT_EQ(s.con_nstates.back(), 2);
  EXPECT_EQ(std::count(s.con_nstates.begin(), s.con_nstates.end(), 2), 1);
  const std::vector<double> x = s.x();
  EXPECT_EQ(s.con_xlast, std::vector<double>(x.begin(), x.begin() + s.p.nnjac));
  EXPECT_TRUE(s.printed(" funcon called with nstate =   2"));
}

TEST(NlconEvaluation, EstimatedJacobian) {
  for (const char* level : {"Derivative level 0", "Derivative level 1"}) {
    NlSolve s(tvnlp::make_problem("hs071"));
    s.start({level});
    s.run();
    EXPECT_EQ(s.r.inform, TV_OPTIMAL) << level << s.tail();
    EXPECT_LE(s.error(), 1e-6) << level;
  }
}

// ---- debug listings of the Print level digits ---------------------------------------------

TEST(NlconPrint, PrintLevelDigits) {
  for (const char* scale : {"Scale option 0", "Scale option 2"}) {
    SCOPED_TRACE(scale);
    NlSolve s(tvnlp::make_problem("hs071"));
    s.start({"Print level 11111", scale});
    s.run();
    EXPECT_EQ(s.r.inform, TV_OPTIMAL);
    EXPECT_TRUE(s.printed("\n Jacobian variables\n ------------------\n"));
    EXPECT_TRUE(s.printed("\n Multiplier estimates\n --------------------\n"));
    EXPECT_TRUE(s.printed("\n Constraint functions\n --------------------\n"));
    EXPECT_TRUE(s.printed("\n x  and  Jacobian\n"));
    EXPECT_TRUE(s.printed(" Maximum change in Jacobian vars ="));
    EXPECT_TRUE(s.printed(" Maximum constraint violation    ="));
    EXPECT_TRUE(s.summarized(" Change in multipliers ="));
    // Column 1 of hs071 at the optimum (x1 = 1, at its lower bound) with its
    // two Jacobian entries on one line, in the user's units when scaled.
    EXPECT_TRUE(s.printed("     1  1.00000E+00 LL        1")) << s.tail();
  }
}

// A Warm start from the solution of a Cold one: the state codes are made
// internal before the first subproblem like those of a crash, and the
// major iterations confirm the optimum at once.
TEST(NlconStart, WarmStartFromTheOptimum) {
  NlSolve s(tvnlp::make_problem("hs071"));
  s.start({});
  s.run();
  ASSERT_EQ(s.r.inform, TV_OPTIMAL);
  const int majors = s.r.nmajor;
  NlSolve w(tvnlp::make_problem("hs071"));
  w.t.hs = s.t.hs;
  w.t.xn = s.t.xn;
  w.t.pi = s.t.pi;
  w.ns = s.ns;
  w.start({});
  w.run(0, nullptr, "Warm");
  EXPECT_EQ(w.r.inform, TV_OPTIMAL) << w.tail();
  EXPECT_LE(w.error(), 1e-6);
  EXPECT_LT(w.r.nmajor, majors);
  expect_bounds_returned(w);
}

}  // namespace
