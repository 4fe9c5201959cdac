// The main loop's branches for superbasics and major iterations, driven
// through the entry with fakes in the table of nonlinear steps (ctx.seams).
//
// The problem is the LP  min -x1 - 2 x2  s.t.  x1 + x2 <= 4,  x1 + 3 x2 <= 6,
// 0 <= x1, x2 <= 10  (optimum -5 at (3, 1)) with a third column x3 in no row
// and with zero cost, so that a superbasic x3 never changes the rows.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/lp.h"
#include "driver/driver_run.h"
#include "lu/basis_state.h"
#include "nonlinear/nonlinear_state.h"
#include "nonlinear/seams.h"
#include "simplex/m5.h"
#include "simplex/simplex_state.h"

using tvtest::contains;
using tvtest::DriverRun;
using tvtest::kInf;
using tvtest::TestLP;

namespace {

TestLP lp3() {
  return TestLP::dense({{1, 1, 0}, {1, 3, 0}, {-1, -2, 0}}, {-kInf, -kInf, -kInf}, {4, 6, kInf}, {0, 0, 0},
                       {10, 10, 10}, 3);
}

// A warm start with x3 superbasic at 5 and the basis given by hs.
void warm(DriverRun& d, const std::vector<int>& hs, const std::vector<double>& xn) {
  d.start({"Superbasics limit 5", "Print level 1"});
  d.lp = lp3();
  d.lp.hs = hs;
  d.lp.xn = xn;
  d.ns = 1;
  d.z.assign(100000, 0.0);
}

// The reduced-gradient step of the fake: the last superbasic goes to its
// lower bound and leaves the superbasic set; the basic variables follow.
tv::RgResult drop_superbasic(tv::Context& ctx, tv::Problem& P, int& ns) {
  tv::Ivec kbs = ctx.ws.ivec(ctx.part.kbs);
  const int j = kbs(P.m + ns);
  P.xn(j) = P.bl(j);
  P.hs(j) = tv::kHsLower;
  ns -= 1;
  tv::m5setx(ctx, tv::kSetxRecompute, P, ns);
  return {tv::RgNext::FormCosts, 0};
}

}  // namespace

// Slack basis and x3 superbasic: the loop takes the reduced-gradient branch
// first (state 4), the fake ends the superbasic's life, and the simplex
// method finishes at the LP optimum.  With an iteration and then "factorize
// with BS" first, the basic and superbasic sets are re-chosen before that.
TEST(NonlinearSteps, SuperbasicLeavesThenSimplexFinishes) {
  for (const bool bs_first : {false, true}) {
    SCOPED_TRACE(bs_first ? "FactorBS first" : "step at once");
    DriverRun d;
    warm(d, {0, 0, 2, 3, 3, 3}, {0, 0, 5, 0, 0, 0});
    int rgits = 0, rgnorms = 0;
    d.ctx.seams.reduced_gradient = [&](tv::Context&, tv::Problem&, int) {
      ++rgnorms;
      return 0.0;
    };
    d.ctx.seams.rgit = [&](tv::Context& ctx, tv::Problem& P, int& ns) {
      ++rgits;
      if (bs_first && rgits == 1) return tv::RgResult{tv::RgNext::Step, 0};  // an iteration first
      if (bs_first && rgits == 2) return tv::RgResult{tv::RgNext::FactorBS, 0};
      return drop_superbasic(ctx, P, ns);
    };
    d.solve("Warm");
    EXPECT_EQ(d.r.inform, 0) << d.prt();
    EXPECT_NEAR(d.r.obj, -5.0, 1e-12);
    EXPECT_EQ(d.ns, 0);
    EXPECT_EQ(rgits, bs_first ? 3 : 1);
    EXPECT_GE(rgnorms, 1);
    EXPECT_EQ(d.ctx.bas.nfactor, bs_first ? 2 : 1);
    // The re-choice factorizes (B S)' (4 rows here) with factor tolerance 1.9.
    EXPECT_EQ(contains(d.prt(), " m           4 >n           3"), bs_first) << d.prt();
  }
}

// At the LP optimum with x3 superbasic, pricing finds nothing; the reduced
// gradient (rgnorm) decides.  Small: optimal at once.  Large: the tolerance
// is lowered until it reaches the optimality test, and the run ends
// near-optimal with the warning.
TEST(NonlinearSteps, NoCandidateWithSuperbasicsDecidesOnTheReducedGradient) {
  for (const double rgnorm : {0.0, 0.5}) {
    SCOPED_TRACE(rgnorm);
    DriverRun d;
    warm(d, {3, 3, 2, 0, 0, 3}, {3, 1, 5, -4, -6, 5});
    d.ctx.seams.reduced_gradient = [&](tv::Context&, tv::Problem&, int) { return rgnorm; };
    int ncalls = 0;
    d.ctx.seams.rgit = [&](tv::Context& ctx, tv::Problem&, int&) {
      if (++ncalls > 20) return tv::RgResult{tv::RgNext::Step, 9};  // pricing went wrong: end the run
      ctx.spx.state = tv::kStatePriceRg;  // price before the next reduced-gradient step
      return tv::RgResult{tv::RgNext::SubspaceOptimal, 0};
    };
    d.solve("Warm");
    EXPECT_EQ(d.ns, 1);
    EXPECT_NEAR(d.r.obj, -5.0, 1e-12);
    EXPECT_EQ(d.ctx.spx.itn, 0);
    if (rgnorm == 0.0) {
      EXPECT_EQ(d.r.inform, 0);
      EXPECT_FALSE(contains(d.prt(), "tolrg  reduced")) << d.prt();
    } else {
      EXPECT_EQ(d.r.inform, 13);
      EXPECT_TRUE(contains(d.prt(), " tolrg  reduced to  2.500E-02      lvltol = 1")) << d.prt();
      EXPECT_TRUE(contains(d.prt(), "      lvltol = 2")) << d.prt();
      EXPECT_TRUE(contains(d.sum(), " EXIT -- near-optimal solution found"));
      EXPECT_TRUE(contains(d.sum(), " XXX WARNING: reduced gradient is large -- solution is not really optimal"));
    }
  }
}

// Results of the reduced-gradient iteration end the run with their texts.
TEST(NonlinearSteps, ReducedGradientResultsEndTheRun) {
  struct Case {
    int inform;
    const char* text;
  };
  for (const Case c : {Case{9, " EXIT -- the current point cannot be improved upon"},
                       Case{11, " EXIT -- cannot find a superbasic to replace basic variable"}}) {
    DriverRun d;
    warm(d, {0, 0, 2, 3, 3, 3}, {0, 0, 5, 0, 0, 0});
    d.ctx.seams.rgit = [&](tv::Context&, tv::Problem&, int&) { return tv::RgResult{tv::RgNext::Step, c.inform}; };
    d.solve("Warm");
    EXPECT_EQ(d.r.inform, c.inform);
    EXPECT_TRUE(contains(d.sum(), c.text)) << d.sum();
    EXPECT_EQ(contains(d.sum(), " XXX  The final point is REASONABLY NEAR AN OPTIMUM"), c.inform == 9);
  }
}

// Nonlinear constraints (row 1 declared nonlinear, no nonlinear variables, so
// each subproblem is solved by the simplex method): the set-up of each major
// iteration decides whether the run goes on, converged, or stops.  Every
// major iteration starts with forward differences.
TEST(NonlinearSteps, MajorIterationSetUpDecides) {
  struct Case {
    tv::MajorSetup setup;
    int inform;
    const char* text;
    int majors;  // set-up calls
  };
  const Case cases[] = {
      {{tv::MajorNext::Converged, 0, 0}, 0, " EXIT -- optimal solution found", 1},
      {{tv::MajorNext::Stop, 19, 0}, 19, " EXIT -- control-c interrupt", 1},
      {{tv::MajorNext::Iterate, 0, 4}, 9, " EXIT -- the current point cannot be improved upon", 1},
      {{tv::MajorNext::Iterate, 0, 0}, 3, " EXIT -- too many iterations", 3},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    DriverRun d;
    d.start({"Major iterations 2"});
    d.lp = lp3();
    // Row 1 nonlinear in column 1 (a row count without Jacobian columns is
    // no nonlinear constraint); no functions are evaluated.
    d.lp.nncon = 1;
    d.lp.nnjac = 1;
    d.z.assign(100000, 0.0);
    d.ctx.seams.first_feasible = [](tv::Context&, tv::Problem&, int) { return 0; };
    int calls = 0;
    std::vector<tv::SubproblemEnd> ends;
    d.ctx.seams.major_setup = [&](tv::Context& ctx, tv::Problem&, int&, tv::SubproblemEnd last) {
      if (++calls > 1) ends.push_back(last);
      EXPECT_EQ(ctx.nl.ev.difmode, 1);
      ctx.nl.ev.difmode = 2;  // as a switch to central differences would
      return c.setup;
    };
    d.solve("Cold");
    EXPECT_EQ(d.r.inform, c.inform);
    EXPECT_EQ(calls, c.majors);
    EXPECT_TRUE(contains(d.sum(), c.text)) << d.sum();
    // The first major iteration ends at the first feasible point (the
    // functions are evaluated there); every later subproblem solved before
    // the limit ended optimal.
    for (size_t k = 0; k < ends.size(); ++k) {
      EXPECT_EQ(ends[k], k == 0 ? tv::SubproblemEnd::MinorLimit : tv::SubproblemEnd::Optimal);
    }
    if (c.inform == 3) {
      EXPECT_TRUE(contains(d.prt(), " XXX  Major iterations terminated before convergence"));
    }
  }
}
