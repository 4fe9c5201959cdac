// The print and summary files of whole runs, against golden text (timing
// lines masked).  Rewrite with TARVO_UPDATE_GOLDEN=1 after a deliberate
// change of a layout.
#include <gtest/gtest.h>

#include <string>

#include "common/lp.h"
#include "driver/driver_run.h"
#include "report/golden.h"

using tvtest::DriverRun;
using tvtest::kInf;
using tvtest::TestLP;

namespace {

const char kNames[] = "SMALLLP COST    RHS     RANGE1  BOUND1  ";

TestLP lp_b() {
  return TestLP::dense({{1, 1, 1}, {1, -1, 0}, {2, 3, 1}}, {10, -2, -kInf}, {10, kInf, kInf}, {0, 0.5, -kInf},
                       {4, kInf, 5}, 3);
}

}  // namespace

TEST(GoldenText, SmallLpPrintAndSummary) {
  DriverRun d;
  d.lp = lp_b();
  d.start({});
  d.solve("Cold", tvtest::Via::Nose, 0, nullptr, kNames);
  ASSERT_EQ(d.r.inform, 0);
  tvtest::expect_golden("driver", "small_print", d.prt());
  tvtest::expect_golden("driver", "small_summary", d.sum());
}

TEST(GoldenText, SmallLpMaximisedUnscaledWithSolutionNo) {
  TestLP lp = lp_b();
  for (int j = 0; j < lp.n; ++j) lp.a[static_cast<size_t>(lp.ka[j + 1] - 2)] *= -1;  // objective row is last
  DriverRun d;
  d.lp = lp;
  d.start({"Maximize", "Scale option 0", "Solution no"});
  d.solve("Cold", tvtest::Via::Nose, 0, nullptr, kNames);
  ASSERT_EQ(d.r.inform, 0);
  EXPECT_NEAR(d.r.obj, -16, 1e-9);
  tvtest::expect_golden("driver", "max_noscale_print", d.prt());
  tvtest::expect_golden("driver", "max_noscale_summary", d.sum());
}
