// The extern "C" entries on the process-wide context.
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include <new>
#include <stdexcept>
#include <string>

#include "common/lp.h"
#include "core/context.h"
#include "nonlinear/seams.h"
#include "tarvo.h"

using tvtest::kInf;
using tvtest::TestLP;

namespace {

// min -x1 - 2 x2  s.t.  x1 + x2 <= 4,  x1 - x2 >= -2,  x >= 0 :  x = (1, 3), obj -7.
TestLP small_lp() {
  TestLP lp = TestLP::dense({{-1, -2}, {1, 1}, {1, -1}}, {-kInf, -kInf, -2}, {kInf, 4, kInf}, {0, 0},
                            {kInf, kInf}, 1);
  return lp;
}

struct CallOut {
  int inform = -1, minwork = 0, ns = 0, ninf = -1;
  double sinf = -1, obj = 0;
};

CallOut call(TestLP& lp, bool row_activity_slacks, int iprint = 0) {
  int isumm = 0, ispecs = 0;
  tvstart(&iprint, &isumm, &ispecs);
  int m = lp.m, n = lp.n, nb = n + m, ne = static_cast<int>(lp.a.size()), nnames = 1;
  int nncon = 0, nnobj = 0, nnjac = 0, objrow = lp.objrow;
  double objconst = 0.0;
  const char names[41] = "TINY                                    ";
  std::vector<double> z(40000);
  int nwork = static_cast<int>(z.size());
  CallOut o;
  auto* fn = row_activity_slacks ? &tarvo : &tvnoss;
  fn("Cold", &m, &n, &nb, &ne, &nnames, &nncon, &nnobj, &nnjac, &objrow, &objconst, names,
     lp.a.data(), lp.ha.data(), lp.ka.data(), lp.bl.data(), lp.bu.data(), lp.name1.data(),
     lp.name2.data(), lp.hs.data(), lp.xn.data(), lp.pi.data(), lp.rc.data(), &o.inform, &o.minwork,
     &o.ns, &o.ninf, &o.sinf, &o.obj, z.data(), &nwork, 4);
  return o;
}

}  // namespace

TEST(CApi, SolvesThroughTvnossAndClassifies) {
  TestLP lp = small_lp();
  CallOut o = call(lp, false);
  ASSERT_EQ(o.inform, 0);
  EXPECT_NEAR(o.obj, -7.0, 1e-12);
  EXPECT_NEAR(lp.xn[0], 1.0, 1e-12);
  EXPECT_NEAR(lp.xn[1], 3.0, 1e-12);
  EXPECT_NEAR(lp.xn[2 + 1], -4.0, 1e-12);  // slack of row 2 is minus the activity
  // Both structurals are basic; tvsolf reports them so.
  int n = lp.n, flag = -1, state = -1;
  for (int j = 1; j <= 2; ++j) {
    tvsolf(&n, &j, &flag, &state, lp.hs.data(), lp.bl.data(), lp.bu.data(), lp.rc.data(),
           lp.xn.data());
    EXPECT_EQ(state, 3);
    EXPECT_EQ(flag, 0);
  }
  // A variable number below 1 reads nothing.
  for (int j : {0, -5}) {
    flag = state = 7;
    EXPECT_EQ(tvsolf(&n, &j, &flag, &state, lp.hs.data(), lp.bl.data(), lp.bu.data(), lp.rc.data(),
                     lp.xn.data()),
              0.0);
    EXPECT_EQ(flag, 7);
    EXPECT_EQ(state, 7);
  }
}

TEST(CApi, TarvoReturnsRowActivities) {
  TestLP lp = small_lp();
  // Row bounds in the caller's sign: slack = activity.
  for (int i = 0; i < lp.m; ++i) {
    const double l = lp.bl[lp.n + i], u = lp.bu[lp.n + i];
    lp.bl[lp.n + i] = -u;
    lp.bu[lp.n + i] = -l;
  }
  const std::vector<double> bl0 = lp.bl, bu0 = lp.bu;
  CallOut o = call(lp, true);
  ASSERT_EQ(o.inform, 0);
  EXPECT_NEAR(o.obj, -7.0, 1e-12);
  EXPECT_NEAR(lp.xn[2 + 1], 4.0, 1e-12);   // activity of x1 + x2
  EXPECT_NEAR(lp.xn[2 + 2], -2.0, 1e-12);  // activity of x1 - x2
  EXPECT_EQ(lp.hs[2 + 1], 1);              // row 2 at its upper activity limit
  EXPECT_EQ(lp.bl, bl0);                   // the caller's bounds come back as given
  EXPECT_EQ(lp.bu, bu0);
}

TEST(CApi, RefusesAnInconsistentShapeAndReportsWorkspace) {
  TestLP lp = small_lp();
  int iprint = 0, isumm = 0, ispecs = 0;
  tvstart(&iprint, &isumm, &ispecs);
  int m = lp.m, n = lp.n, nb = 99, ne = static_cast<int>(lp.a.size()), nnames = 1;
  int zero = 0, objrow = 1, inform = -1, minwork = 0, ns = 0, ninf = 0;
  double objconst = 0, sinf = 0, obj = 0;
  std::vector<double> z(10);
  int nwork = 10;
  tvnoss("Cold", &m, &n, &nb, &ne, &nnames, &zero, &zero, &zero, &objrow, &objconst, nullptr,
         lp.a.data(), lp.ha.data(), lp.ka.data(), lp.bl.data(), lp.bu.data(), lp.name1.data(),
         lp.name2.data(), lp.hs.data(), lp.xn.data(), lp.pi.data(), lp.rc.data(), &inform, &minwork,
         &ns, &ninf, &sinf, &obj, z.data(), &nwork, 4);
  EXPECT_EQ(inform, 43);
  nb = n + m;
  tvnoss("Cold", &m, &n, &nb, &ne, &nnames, &zero, &zero, &zero, &objrow, &objconst, nullptr,
         lp.a.data(), lp.ha.data(), lp.ka.data(), lp.bl.data(), lp.bu.data(), lp.name1.data(),
         lp.name2.data(), lp.hs.data(), lp.xn.data(), lp.pi.data(), lp.rc.data(), &inform, &minwork,
         &ns, &ninf, &sinf, &obj, z.data(), &nwork, 4);
  EXPECT_EQ(inform, 42);
  EXPECT_GT(minwork, 10);
  int estimate = 0, hdim = 1, maxs = 1, njac = 0;
  tvcore(&m, &n, &ne, &nb, &hdim, &maxs, &zero, &zero, &zero, &njac, &estimate);
  EXPECT_GT(estimate, 0);
  char title[31] = {};
  tvtitle(title, 30);
  EXPECT_STREQ(title, "T A R V O  5.6      (Jul 2016)");
}

// An exception inside a solve (an allocation that fails, or anything else)
// becomes result 44 with its EXIT line; nothing throws through the entry.
// The fault is injected through the table of nonlinear steps, whose Hessian
// clear every call of the main loop makes.
TEST(CApi, ExceptionsBecomeASystemError) {
  tv::Context& ctx = tv::default_context();
  const char* path = "c_api_failure.print";
  ASSERT_EQ(tvattach(21, path, "w"), 0);
  struct Case {
    bool no_memory;
    const char* text;
  };
  for (const Case c : {Case{true, " EXIT -- system error.  Not enough memory"},
                       Case{false, " EXIT -- system error.  Failure inside the solver"}}) {
    ctx.seams.hessian_clear = [&](tv::Context&) {
      if (c.no_memory) throw std::bad_alloc();
      throw std::runtime_error("injected failure");
    };
    TestLP lp = small_lp();
    const CallOut o = call(lp, false, 21);
    ctx.seams = tv::NonlinearSeams();
    tvdetach(21);
    EXPECT_EQ(o.inform, TV_SYSTEM_ERROR);
    std::FILE* f = std::fopen(path, "r");
    ASSERT_NE(f, nullptr);
    std::string text;
    for (int ch; (ch = std::fgetc(f)) != EOF;) text.push_back(static_cast<char>(ch));
    std::fclose(f);
    EXPECT_TRUE(tvtest::contains(text, c.text)) << text;
    EXPECT_EQ(tvtest::contains(text, " XXX  injected failure"), !c.no_memory);
    ASSERT_EQ(tvattach(21, path, "w"), 0);
  }
  tvdetach(21);
  std::remove(path);
  // The context works on afterwards.
  TestLP lp = small_lp();
  EXPECT_EQ(call(lp, false).inform, TV_OPTIMAL);
}
