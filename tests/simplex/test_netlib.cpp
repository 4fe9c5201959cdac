// Netlib problems from the slack basis without scaling: optimal values
// against the published ones.
#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "common/mps_lp.h"
#include "common/netlib.h"
#include "lu/basis_state.h"
#include "simplex/harness.h"
#include "simplex/simplex_state.h"

using namespace spxtest;

namespace {

void solve_netlib(const std::string& name) {
  const double expect = tvtest::netlib_optimum(name);
  LoopRun r(tvtest::netlib_lp(name), [](tv::Context& c) { opt_i(c, "Iterations limit", 20000); });
  r.slack_basis();
  const int inform = r.solve();
  EXPECT_EQ(inform, 0) << name;
  EXPECT_NEAR(r.obj(), expect, 1e-6 * std::fabs(expect)) << name;
  EXPECT_LT(r.primal_error(), 1e-5 * (1.0 + r.ctx.spx.xnorm)) << name;
  // The factorizations stay few.
  EXPECT_LE(r.ctx.bas.nfactor, 2 + r.itn() / 10) << name;
}

}  // namespace

TEST(Netlib, Afiro) { solve_netlib("afiro"); }
TEST(Netlib, Sc50a) { solve_netlib("sc50a"); }
TEST(Netlib, Sc50b) { solve_netlib("sc50b"); }
TEST(Netlib, Adlittle) { solve_netlib("adlittle"); }
TEST(Netlib, Blend) { solve_netlib("blend"); }
TEST(Netlib, Sc105) { solve_netlib("sc105"); }
TEST(Netlib, Share2b) { solve_netlib("share2b"); }
TEST(Netlib, Recipe) { solve_netlib("recipe"); }
TEST(Netlib, Israel) { solve_netlib("israel"); }
TEST(Netlib, Scagr7) { solve_netlib("scagr7"); }
TEST(Netlib, E226) { solve_netlib("e226"); }
TEST(Netlib, Degen2) { solve_netlib("degen2"); }

TEST(Netlib, MoreProblems) {
  for (const char* nm : {"sc205", "lotfi", "bore3d", "beaconfd", "sctap1", "scorpion"}) solve_netlib(nm);
}
