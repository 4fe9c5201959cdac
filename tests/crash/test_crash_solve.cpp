// End-to-end: every Crash option and Scale option reaches the same optimum
// on small problems (the Netlib problems run the options in tests/netlib).
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "options/options.h"

using namespace tv;
using tvtest::kInf;
using tvtest::TestLP;

namespace {

struct Outcome {
  int inform = -1;
  double obj = 0.0;
};

// Solve a copy of lp from a cold start with the given options.
Outcome solve(const TestLP& lp0, int crash, int scale) {
  Outcome out;
  int nwork = 0;
  for (int attempt = 0; attempt < 2; ++attempt) {
    TestLP lp = lp0;
    Context ctx;
    tvstart(ctx, 0, 0, 0);
    int errors = 0;
    tvopti(ctx, "Crash option", crash, 0, 0, errors);
    tvopti(ctx, "Scale option", scale, 0, 0, errors);
    tvopti(ctx, "Iterations limit", 100000, 0, 0, errors);  // 3m is too few for some unscaled runs
    EXPECT_EQ(errors, 0);
    std::vector<double> z(nwork > 0 ? nwork : 1, 0.0);
    Problem P = lp.view();
    int ns = 0;
    EntryResult r;
    tvnose(ctx, "Cold", P, nullptr, ns, z.data(), nwork > 0 ? nwork : 1, 0, nullptr, r);
    out.inform = r.inform;
    out.obj = r.obj;
    if (r.inform != 42) break;
    nwork = r.minwork;  // first call sizes the workspace
  }
  return out;
}

void expect_same_optimum(const TestLP& lp, double optimum, const std::string& name) {
  for (int crash = 0; crash <= 3; ++crash) {
    for (int scale = 0; scale <= 2; ++scale) {
      const Outcome o = solve(lp, crash, scale);
      SCOPED_TRACE(name + strf(": Crash option %d, Scale option %d", crash, scale));
      EXPECT_EQ(o.inform, 0);
      EXPECT_NEAR(o.obj, optimum, 1e-6 * (1.0 + std::fabs(optimum)));
    }
  }
}

// min -x1 - 2 x2  s.t.  x1 + x2 <= 4,  x1 + 3 x2 = 6,  x >= 0:  x = (3, 1), -5.
// rs and cs scale row 1 and column 2 to make the problem badly scaled.
TestLP small_lp(double rs, double cs) {
  return TestLP::dense({{rs, rs * cs}, {1, 3 * cs}, {-1, -2 * cs}}, {-kInf, 6, -kInf}, {4 * rs, 6, kInf},
                       {0, 0}, {kInf, kInf}, 3);
}

}  // namespace

TEST(CrashScaleSolve, SmallLp) { expect_same_optimum(small_lp(1, 1), -5.0, "small"); }

TEST(CrashScaleSolve, BadlyScaledSmallLp) { expect_same_optimum(small_lp(1e4, 1e-3), -5.0, "badly scaled"); }
