// Through the entry: the run driver crashes, scales and calls the main loop.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <utility>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "options/options.h"
#include "options/params.h"

using tvtest::kInf;
using tvtest::TestLP;

namespace {

struct Solved {
  tv::EntryResult r;
  std::string prt;
};

Solved solve_cold(const TestLP& lp0, int crash, int pricing = -1) {
  Solved out;
  int nwork = 1;
  for (int attempt = 0; attempt < 2; ++attempt) {
    TestLP lp = lp0;
    tv::Context ctx;
    ctx.io.attach_buffer(9);
    tv::tvstart(ctx, 9, 0, 0);
    int errors = 0;
    if (crash >= 0) tv::tvopti(ctx, "Crash option", crash, 0, 0, errors);
    if (pricing >= 0) tv::tvopti(ctx, "IPARM 6", pricing, 0, 0, errors);
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

// A transportation problem with 2k sources and 3k sinks (every arc; more
// than 20 columns a row from k = 17): supplies L, demands G, costs the
// rounded distances of random points, a tenth more supply than demand.
TestLP transportation(int k) {
  const int ns = 2 * k, nt = 3 * k;
  uint64_t seed = 12345;
  auto uniform = [&seed] {
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seed >> 11) * 0x1.0p-53;
  };
  std::vector<double> sx(ns), sy(ns), tx(nt), ty(nt), dem(nt), sup(ns);
  for (int i = 0; i < ns; ++i) sx[i] = uniform(), sy[i] = uniform();
  for (int j = 0; j < nt; ++j) tx[j] = uniform(), ty[j] = uniform();
  double total = 0.0;
  for (int j = 0; j < nt; ++j) total += dem[j] = std::floor(10.0 + 91.0 * uniform());
  for (int i = 0; i < ns; ++i) sup[i] = std::ceil(1.1 * total / ns);
  TestLP lp;
  lp.m = ns + nt + 1;  // the objective row last
  lp.n = ns * nt;
  lp.objrow = lp.m;
  lp.ka.push_back(1);
  for (int i = 0; i < ns; ++i) {
    for (int j = 0; j < nt; ++j) {
      const double d = std::hypot(sx[i] - tx[j], sy[i] - ty[j]);
      for (const auto& [row, v] : {std::pair{i + 1, 1.0}, {ns + j + 1, 1.0}, {lp.m, std::round(1000.0 * d) + 1.0}}) {
        lp.a.push_back(v);
        lp.ha.push_back(row);
      }
      lp.ka.push_back(static_cast<int>(lp.a.size()) + 1);
    }
  }
  lp.bl.assign(lp.n, 0.0);
  lp.bu.assign(lp.n, kInf);
  for (int i = 0; i < ns; ++i) lp.bl.push_back(-sup[i]), lp.bu.push_back(kInf);
  for (int j = 0; j < nt; ++j) lp.bl.push_back(-kInf), lp.bu.push_back(-dem[j]);
  lp.bl.push_back(-kInf), lp.bu.push_back(kInf);
  lp.size_solution();
  return lp;
}

}  // namespace

// Phase 1 of a transportation problem from the crash basis is all ties
// (costs of +-1, weights that stay 1 on a 0/1 matrix): the crash routes
// every sink's demand from the first source, and the columns of that
// overloaded supply row all score alike.  Broken by the objective, the
// ties send the surplus where it is cheapest: Devex over every column takes
// 117 iterations instead of 438, partial Devex (the default for such wide
// problems, its sections taking turns) and partial pricing 199 instead of
// 666.
TEST(EntrySolve, WideTransportationPhaseOneTiesGoToTheCheaperColumn) {
  const TestLP lp = transportation(20);
  const Solved dflt = solve_cold(lp, -1);
  const Solved devex = solve_cold(lp, -1, tv::kPriceDevex);
  const Solved partial = solve_cold(lp, -1, tv::kPricePartial);
  for (const Solved* s : {&dflt, &devex, &partial}) ASSERT_EQ(s->r.inform, 0);
  EXPECT_NE(dflt.prt.find(" Pricing rule                  partial Devex"), std::string::npos);
  EXPECT_NEAR(dflt.r.obj, devex.r.obj, 1e-9 * std::fabs(devex.r.obj));
  EXPECT_NEAR(partial.r.obj, devex.r.obj, 1e-9 * std::fabs(devex.r.obj));
  const int m = lp.m;  // 100 supply and demand rows and the objective
  EXPECT_LE(devex.r.nitns, 2 * m);
  EXPECT_LE(partial.r.nitns, 3 * m);
  EXPECT_LE(dflt.r.nitns, 3 * m);
}

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
