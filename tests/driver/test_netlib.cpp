// Netlib LPs solved end to end with default options.
#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "common/mps_lp.h"
#include "driver/driver_run.h"

using tvtest::DriverRun;

namespace {

std::map<std::string, double> optimal_values() {
  std::map<std::string, double> v;
  std::ifstream in(std::string(TARVO_TEST_DATA) + "/netlib/optimal.csv");
  std::string line;
  std::getline(in, line);  // header
  while (std::getline(in, line)) {
    std::stringstream ss(line);
    std::string name, rows, cols, nz, obj;
    std::getline(ss, name, ',');
    std::getline(ss, rows, ',');
    std::getline(ss, cols, ',');
    std::getline(ss, nz, ',');
    std::getline(ss, obj, ',');
    if (!name.empty() && !obj.empty()) v[name] = std::stod(obj);
  }
  return v;
}

class Netlib : public ::testing::TestWithParam<const char*> {};

}  // namespace

TEST_P(Netlib, DefaultOptionsReachTheOptimum) {
  const std::string name = GetParam();
  const auto opt = optimal_values();
  ASSERT_TRUE(opt.count(name)) << name;
  const double best = opt.at(name);
  DriverRun d;
  d.lp = tvtest::netlib_lp(name);
  const tvtest::TestLP given = d.lp;
  d.start({}, false);
  d.solve("Cold");
  EXPECT_EQ(d.r.inform, 0) << name;
  EXPECT_EQ(d.r.ninf, 0);
  EXPECT_LE(std::fabs(d.r.obj - best), 1e-6 * std::fabs(best)) << name << ": " << d.r.obj << " vs " << best;
  // The returned point satisfies the bounds and the rows.  The solver works
  // to its tolerance on the scaled problem, so unscaled violations may be
  // larger by the scale factors (tuff: about 1e-4).
  tv::Problem P = d.view();
  const double tol = name == "tuff" ? 1e-4 : 1e-6;
  for (int j = 1; j <= P.nb; ++j) {
    EXPECT_GE(P.xn(j), P.bl(j) - tol * (1 + std::fabs(P.bl(j)))) << name << " " << j;
    EXPECT_LE(P.xn(j), P.bu(j) + tol * (1 + std::fabs(P.bu(j)))) << name << " " << j;
  }
  std::vector<double> r(P.m, 0.0);
  for (int j = 1; j <= P.n; ++j)
    for (int l = P.ka(j); l < P.ka(j + 1); ++l) r[P.ha(l) - 1] += given.a[l - 1] * P.xn(j);
  for (int i = 1; i <= P.m; ++i) EXPECT_NEAR(r[i - 1], -P.xn(P.n + i), 1e-7 * (1 + std::fabs(r[i - 1]))) << name << " row " << i;
  // tvsolf finds nothing infeasible or not optimal at such an optimum.
  if (name == "tuff") return;
  int flagged = 0;
  for (int j = 1; j <= P.nb; ++j) {
    int flag = 0, state = 0;
    tv::tvsolf(d.ctx, P.n, j, flag, state, P.hs, P.bl, P.bu, P.rc, P.xn);
    flagged += flag >= 3 ? 1 : 0;
  }
  EXPECT_EQ(flagged, 0) << name;
}

INSTANTIATE_TEST_SUITE_P(Driver, Netlib,
                         ::testing::Values("afiro", "sc50a", "sc50b", "adlittle", "blend", "share2b", "agg",
                                           "bandm", "beaconfd", "boeing1", "bore3d", "degen2", "e226",
                                           "etamacro", "forplan", "grow7", "israel", "lotfi", "recipe",
                                           "sc105", "sc205", "scagr7", "scfxm1", "scorpion", "sctap1", "tuff"),
                         [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
