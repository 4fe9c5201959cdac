// Through the entry: the run driver crashes, scales and calls the main loop.
#include <gtest/gtest.h>

#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "options/options.h"

using tvtest::kInf;
using tvtest::TestLP;

namespace {

struct Solved {
  tv::EntryResult r;
  std::string prt;
};

Solved solve_cold(const TestLP& lp0, int crash) {
  Solved out;
  int nwork = 1;
  for (int attempt = 0; attempt < 2; ++attempt) {
    TestLP lp = lp0;
    tv::Context ctx;
    ctx.io.attach_buffer(9);
    tv::tvstart(ctx, 9, 0, 0);
    int errors = 0;
    if (crash >= 0) tv::tvopti(ctx, "Crash option", crash, 0, 0, errors);
    std::vector<double> z(nwork, 0.0);
    tv::Problem P = lp.view();
    int ns = 0;
    tv::tvnose(ctx, "Cold", P, nullptr, ns, z.data(), nwork, 0, nullptr, out.r);
    out.prt = ctx.io.buffer(9);
    if (out.r.inform != 42) break;
    nwork = out.r.minwork;
  }
  return out;
}

}  // namespace

// Only inequality rows and a feasible slack start under the default Crash
// option 3: the crash of the equality rows finds nothing, the loop crashes
// the inequality rows and refactorizes (not "requested twice in a row").
TEST(EntrySolve, InequalityRowsUnderDefaultCrash) {
  const TestLP lp = TestLP::dense({{1, 1}, {1, 3}, {-1, -2}}, {-kInf, -kInf, -kInf}, {4, 6, kInf},
                                  {0, 0}, {kInf, kInf}, 3);
  const Solved s = solve_cold(lp, -1);
  EXPECT_EQ(s.r.inform, 0);
  EXPECT_NEAR(s.r.obj, -5.0, 1e-9);
  EXPECT_EQ(s.prt.find("requested twice in a row"), std::string::npos);
  EXPECT_NE(s.prt.find(" Crash on linear LG rows:"), std::string::npos);
  EXPECT_NE(s.prt.find(" EXIT -- optimal solution found"), std::string::npos);
}

TEST(EntrySolve, EveryCrashOption) {
  // An equality row, a range and an inequality; optimum by hand: -5.
  const TestLP lp = TestLP::dense({{1, 1}, {1, 3}, {1, -1}, {-1, -2}}, {-kInf, 6, -2, -kInf},
                                  {4, 6, 2, kInf}, {0, 0}, {kInf, kInf}, 4);
  for (int crash = 0; crash <= 3; ++crash) {
    const Solved s = solve_cold(lp, crash);
    EXPECT_EQ(s.r.inform, 0) << crash;
    EXPECT_NEAR(s.r.obj, -5.0, 1e-9) << crash;
  }
}
