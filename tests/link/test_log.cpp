// The iteration log procedure and the workspace sizing called directly,
// with the test host's environment bound through the binding layer:
// headers, line formats, the interplay of major and minor lines, the stop
// requests; sizes at the limits of 32-bit counts.
#include <gtest/gtest.h>

#include <dlfcn.h>

#include <climits>
#include <string>

#include "control.h"
#include "link_test_util.h"
#include "tvl.h"

namespace {

class HostEnv : public ::testing::Test {
 protected:
  void SetUp() override {
    tvhost_control_reset();
    char msg[256];
    ASSERT_EQ(hmoCreateD(&model, TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
    ASSERT_EQ(hevGetReadyD(TVHOST_LIBDIR, msg, sizeof msg), 1) << msg;
    hmoSetExitIndicator(0);
    hevSetExitIndicator(0);
    tvl.env = static_cast<hevHandle_t>(hmoEnvironment(model));
    ASSERT_NE(tvl.env, nullptr);
    void* lib = dlopen((std::string(TVHOST_LIBDIR) + "/libvoskdclib64.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr);
    envset = reinterpret_cast<void (*)(void*, const char*, const char*)>(dlsym(lib, "tvhostEnvSet"));
    dlclose(lib);
    ASSERT_NE(envset, nullptr);
    saved = tvl::global_tvl;
    tvl::global_tvl = &tvl;
    tvhost_capture_start();
  }
  void TearDown() override {
    tvhost_capture_stop();
    tvl::global_tvl = saved;
    hmoFree(&model);
  }
  // One call; returns the stop request.
  int minor(int itn, int ninf = 2, double sinf = 1.5, double obj = -3.25) {
    int kind = 1, stop = 0, major = 0, ns = 0, ncon = 0, bsswp = 0;
    double step = 0, feas = 0, opt = 0, pen = 0;
    char flag = ' ';
    tvl::tvlLog(&kind, &stop, &major, &itn, &ninf, &sinf, &flag, &step, &obj, &feas, &opt, &ns, &ncon, &pen,
                &bsswp, 1);
    return stop;
  }
  int major(int kind, int maj, int min, char flag = 'i') {
    int stop = 0, ninf = 0, ns = 12, ncon = 345, bsswp = 6;
    double sinf = 0, step = 0.5, obj = 1234.5678, feas = 1.5e-7, opt = 2.5e-3, pen = 10.0;
    tvl::tvlLog(&kind, &stop, &maj, &min, &ninf, &sinf, &flag, &step, &obj, &feas, &opt, &ns, &ncon, &pen,
                &bsswp, 1);
    return stop;
  }
  std::string log() { return tvhost_capture_text(); }

  hmoHandle_t model = nullptr;
  tvl::tvlRec tvl;
  tvl::tvlRec* saved = nullptr;
  void (*envset)(void*, const char*, const char*) = nullptr;
};

const char kMinorHead[] = "    Itn  ninf      sinf       objective\n";
const char kMajorHead[] = " Major minor  step     objective  Feasible Optimal  nsb   ncon penalty BSswp\n";

TEST_F(HostEnv, MinorLinesEveryFrequencyWithAHeaderEveryTenLines) {
  tvl.hostlogfreq = 5;
  for (int itn = 1; itn <= 105; ++itn) EXPECT_EQ(minor(itn), 0);
  const std::string s = log();
  EXPECT_EQ(linktest::count(s, "\n"), 21 + 3);
  const std::string first = std::string(kMinorHead) + "      5     2  1.500e+00  -3.25000000e+00\n";
  EXPECT_EQ(s.substr(0, first.size()), first);
  EXPECT_NE(s.find("     50     2  1.500e+00  -3.25000000e+00\n" + std::string(kMinorHead) + "     55 "),
            std::string::npos)
      << s;
  EXPECT_NE(s.find(std::string(kMinorHead) + "    105 "), std::string::npos) << s;
}

TEST_F(HostEnv, FrequencyOfZeroOrLessLogsEveryIteration) {
  for (int f : {0, -4}) {
    tvhost_capture_start();
    tvl.hostlogfreq = f;
    tvl.minlines = 0;
    for (int itn = 1; itn <= 3; ++itn) minor(itn);
    EXPECT_EQ(linktest::count(log(), "\n"), 4) << log();
  }
}

TEST_F(HostEnv, MajorLinesAndAFreshMinorHeaderAfterThem) {
  tvl.hostlogfreq = 1;
  minor(1);
  minor(2);
  major(2, 1, 40);
  minor(3);
  for (int k = 2; k <= 11; ++k) major(2, k, 40 + k, ' ');
  major(7, 99, 99);  // any other kind: nothing
  const std::string s = log();
  EXPECT_EQ(s.substr(s.find(kMajorHead)),
            std::string(kMajorHead) + "     1    40i 5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n" +
                kMinorHead + "      3     2  1.500e+00  -3.25000000e+00\n" +
                // A minor header restarts the major count too.
                kMajorHead + "     2    42  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     3    43  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     4    44  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     5    45  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     6    46  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     7    47  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     8    48  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "     9    49  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "    10    50  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n"
                "    11    51  5.0e-01  1.23457e+03 1.5e-07 2.5e-03   12    345 1.0e+01     6\n");
}

TEST_F(HostEnv, InterruptBeforeResourceLimitOnEveryKind) {
  tvl.hostlogfreq = 1;
  envset(tvl.env, "ResLim", "0");
  envset(tvl.env, "ClockStep", "1");
  EXPECT_EQ(minor(1), 1);
  EXPECT_EQ(major(2, 1, 1), 1);
  EXPECT_EQ(major(5, 1, 1), 1);
  EXPECT_EQ(log(), std::string() +
                       " Resource limit exceeded, will stop shortly...\n"
                       " Resource limit exceeded, will stop shortly...\n"
                       " Resource limit exceeded, will stop shortly...\n");
  envset(tvl.env, "TerminateAfter", "1");
  tvhost_capture_start();
  EXPECT_EQ(minor(2), 2);
  EXPECT_EQ(major(2, 2, 2), 2);
  EXPECT_EQ(log(), " Received interrupt signal, will stop shortly...\n"
                   " Received interrupt signal, will stop shortly...\n");
  // Without a live link the procedure does nothing.
  tvl::global_tvl = nullptr;
  tvhost_capture_start();
  EXPECT_EQ(minor(3), 0);
  EXPECT_EQ(log(), "");
}

TEST_F(HostEnv, WorkspaceSizingAtTheLimitsOfTheCounts) {
  tvl.model = model;
  // No columns: the estimate's division by n is guarded.
  tvlWorkspaceSize(&tvl, 0, 0, 0);
  EXPECT_GT(tvl.worksize, 100000u);
  EXPECT_NE(log().find(" Work space allocated           -- "), std::string::npos);
  // Counts whose products overflow 32 bits: capped, with the warning.
  tvhost_capture_start();
  tvlWorkspaceSize(&tvl, INT_MAX, INT_MAX, INT_MAX);
  EXPECT_EQ(tvl.worksize, static_cast<std::uint64_t>(INT_MAX));
  EXPECT_NE(log().find("*** WARNING: internal allocation limit exceeded: work space request was capped\n"),
            std::string::npos)
      << log();
  // A factor that makes the request larger than any 64-bit count.
  envset(tvl.env, "WorkFactor", "1e300");
  tvhost_capture_start();
  tvlWorkspaceSize(&tvl, 10, 10, 10);
  EXPECT_EQ(tvl.worksize, static_cast<std::uint64_t>(INT_MAX));
  // A factor that makes it vanish: one word.
  envset(tvl.env, "WorkFactor", "1e-300");
  tvlWorkspaceSize(&tvl, 10, 10, 10);
  EXPECT_EQ(tvl.worksize, 1u);
}

}  // namespace
