// Allocation failure inside the solver's C entries: every allocation of a
// call is made to fail in turn.  The call must return (nothing thrown
// through it) with its failure result and the EXIT line of result 44, and
// the process-wide context must serve the next call as if nothing happened.
#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "alloc/fail_alloc.h"
#include "common/lp.h"
#include "tarvo.h"

namespace {

using tvtest::kInf;
using tvtest::TestLP;

constexpr int kUnit = 21, kSpecsUnit = 22;
constexpr char kNoMemory[] = "EXIT -- system error.  Not enough memory";

std::string read_file(const std::string& path) {
  std::ifstream f(path);
  std::stringstream ss;
  ss << f.rdbuf();
  return ss.str();
}

// min -x1 - 2 x2  s.t.  x1 + x2 <= 4,  x1 - x2 >= -2,  x >= 0: objective -7.
TestLP small_lp() {
  return TestLP::dense({{-1, -2}, {1, 1}, {1, -1}}, {-kInf, -kInf, -2}, {kInf, 4, kInf}, {0, 0}, {kInf, kInf}, 1);
}

struct Solve {
  int inform = -1;
  double obj = 0.0;
};

enum class Entry { Noss, Nose, Tarvo };

// The log procedure tvnose is given (none by default).
tv_logfun g_logfun = nullptr;

// One solve through a C entry; `arm` runs just before the entry is called.
Solve solve(Entry which, const std::function<void()>& arm = [] {}) {
  TestLP lp = small_lp();
  if (which == Entry::Tarvo) {
    for (int i = 0; i < lp.m; ++i) std::swap(lp.bl[lp.n + i], lp.bu[lp.n + i]), lp.bl[lp.n + i] *= -1,
                                   lp.bu[lp.n + i] *= -1;
  }
  int m = lp.m, n = lp.n, nb = n + m, ne = static_cast<int>(lp.a.size()), nnames = 1;
  int zero = 0, objrow = lp.objrow, minwork = 0, ns = 0, ninf = 0, loglev = g_logfun ? 1 : 0, nmajor = 0, nitns = 0,
      ncstat = 0;
  double objconst = 0.0, sinf = 0.0, cviol = 0.0, cviolr = 0.0;
  std::vector<double> z(40000);
  int nwork = static_cast<int>(z.size());
  Solve s;
  arm();
  switch (which) {
    case Entry::Noss:
      tvnoss("Cold", &m, &n, &nb, &ne, &nnames, &zero, &zero, &zero, &objrow, &objconst, nullptr, lp.a.data(),
             lp.ha.data(), lp.ka.data(), lp.bl.data(), lp.bu.data(), lp.name1.data(), lp.name2.data(),
             lp.hs.data(), lp.xn.data(), lp.pi.data(), lp.rc.data(), &s.inform, &minwork, &ns, &ninf, &sinf,
             &s.obj, z.data(), &nwork, 4);
      break;
    case Entry::Nose:
      tvnose("Cold", &m, &n, &nb, &ne, &nnames, &zero, &zero, &zero, &objrow, &objconst, nullptr, lp.a.data(),
             lp.ha.data(), lp.ka.data(), lp.bl.data(), lp.bu.data(), lp.name1.data(), lp.name2.data(),
             lp.hs.data(), lp.xn.data(), lp.pi.data(), lp.rc.data(), &s.inform, &minwork, &ns, &ninf, &sinf,
             &s.obj, z.data(), &nwork, &loglev, g_logfun, &nmajor, &nitns, &ncstat, &cviol, &cviolr, 4);
      break;
    case Entry::Tarvo:
      tarvo("Cold", &m, &n, &nb, &ne, &nnames, &zero, &zero, &zero, &objrow, &objconst, nullptr, lp.a.data(),
            lp.ha.data(), lp.ka.data(), lp.bl.data(), lp.bu.data(), lp.name1.data(), lp.name2.data(),
            lp.hs.data(), lp.xn.data(), lp.pi.data(), lp.rc.data(), &s.inform, &minwork, &ns, &ninf, &sinf,
            &s.obj, z.data(), &nwork, 4);
      break;
  }
  return s;
}

// The trials of a sweep: every k up to `count` when there are few, else a
// spread of them including the first and the last.
std::vector<long> trials(long count) {
  std::vector<long> ks;
  const long step = count <= 200 ? 1 : count / 150;
  for (long k = 1; k <= count; k += step) ks.push_back(k);
  if (!ks.empty() && ks.back() != count) ks.push_back(count);
  return ks;
}

class AllocFailure : public ::testing::Test {
 protected:
  void SetUp() override { start(); }
  void TearDown() override {
    tvdetach(kUnit);
    tvdetach(kSpecsUnit);
    std::remove(path_.c_str());
    std::remove(specs_.c_str());
  }
  // A fresh print file and a fresh run (tvstart) on the process-wide
  // context; the SPECS file, when there is one, from its start.
  void start() {
    tvdetach(kUnit);
    ASSERT_EQ(tvattach(kUnit, path_.c_str(), "w"), 0);
    tvdetach(kSpecsUnit);
    if (std::ifstream(specs_).good()) {
      ASSERT_EQ(tvattach(kSpecsUnit, specs_.c_str(), "r"), 0);
    }
    int iprint = kUnit, isumm = 0, ispecs = 0;
    tvstart(&iprint, &isumm, &ispecs);
  }
  std::string print_file() {
    tvdetach(kUnit);  // flushed and closed
    return read_file(path_);
  }
  // The context still solves: optimal at -7.
  void expect_healthy(Entry which) {
    start();
    const Solve s = solve(which);
    EXPECT_EQ(s.inform, 0);
    EXPECT_NEAR(s.obj, -7.0, 1e-12);
  }
  // Per process: CTest runs the cases of this file side by side.
  std::string path_ = testing::TempDir() + "alloc_failure" + std::to_string(getpid()) + ".print";
  std::string specs_ = testing::TempDir() + "alloc_failure" + std::to_string(getpid()) + ".specs";
};

}  // namespace

TEST_F(AllocFailure, EverySolveEntryEndsWith44AndItsExitLine) {
  for (Entry which : {Entry::Noss, Entry::Nose, Entry::Tarvo}) {
    SCOPED_TRACE(static_cast<int>(which));
    start();
    solve(which, [] { tvtest::alloc_arm(0); });
    const long count = tvtest::alloc_disarm();
    ASSERT_GT(count, 10);  // the print file's lines are made as strings
    for (long k : trials(count)) {
      SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(count));
      start();
      const Solve s = solve(which, [k] { tvtest::alloc_arm(k); });
      tvtest::alloc_disarm();
      ASSERT_TRUE(tvtest::alloc_failed());
      EXPECT_EQ(s.inform, TV_SYSTEM_ERROR);
      EXPECT_TRUE(tvtest::contains(print_file(), kNoMemory));
      expect_healthy(which);
    }
  }
}

// When every allocation fails from some point on, even the EXIT line
// cannot be made on the print file: it goes to standard error.
TEST_F(AllocFailure, PersistentFailureStillReportsOnStandardError) {
  start();
  solve(Entry::Noss, [] { tvtest::alloc_arm(0); });
  const long count = tvtest::alloc_disarm();
  for (long k : {1L, count / 2, count}) {
    start();
    testing::internal::CaptureStderr();
    const Solve s = solve(Entry::Noss, [k] { tvtest::alloc_arm(k, true); });
    tvtest::alloc_disarm();
    const std::string err = testing::internal::GetCapturedStderr();
    EXPECT_EQ(s.inform, TV_SYSTEM_ERROR);
    EXPECT_TRUE(tvtest::contains(err, kNoMemory)) << err;
    expect_healthy(Entry::Noss);
  }
}

// tvstart, the option entries and a SPECS file: a failure is a rejected
// phrase, an unread file, and the EXIT line; the next run starts clean.
TEST_F(AllocFailure, OptionEntriesCountAFailureAsARejectedPhrase) {
  std::ofstream(specs_) << "Begin\n Iterations limit 50\n Scale option 1\nEnd\n";
  struct Call {
    const char* what;
    std::function<int()> run;  // the errors counted, or the result of tvspec
    int ok;                    // that value without a failure
    int failed;                // and with one
  };
  auto phrase = [](const char* p) {
    int iprint = kUnit, isumm = 0, errors = 0;
    tvopt(p, &iprint, &isumm, &errors, static_cast<int>(std::strlen(p)));
    return errors;
  };
  const std::vector<Call> calls = {
      {"tvopt", [&] { return phrase("Iterations limit 500"); }, 0, 1},
      {"tvopt, rejected", [&] { return phrase("Nonsense keyword"); }, 1, 1},
      {"tvopti",
       [] {
         int iprint = kUnit, isumm = 0, errors = 0, v = 3;
         tvopti("Crash option", &v, &iprint, &isumm, &errors, 12);
         return errors;
       },
       0, 1},
      {"tvoptr",
       [] {
         int iprint = kUnit, isumm = 0, errors = 0;
         double v = 1e-7;
         tvoptr("Feasibility tolerance", &v, &iprint, &isumm, &errors, 21);
         return errors;
       },
       0, 1},
      {"tvspec",
       [] {
         int unit = kSpecsUnit, inform = -1;
         tvspec(&unit, &inform);
         return inform;
       },
       0, 1},
  };
  for (const Call& c : calls) {
    SCOPED_TRACE(c.what);
    start();
    tvtest::alloc_arm(0);
    EXPECT_EQ(c.run(), c.ok);
    const long count = tvtest::alloc_disarm();
    for (long k : trials(count)) {
      SCOPED_TRACE("allocation " + std::to_string(k) + " of " + std::to_string(count));
      start();
      tvtest::alloc_arm(k);
      const int r = c.run();
      tvtest::alloc_disarm();
      EXPECT_EQ(r, c.failed);
      EXPECT_TRUE(tvtest::contains(print_file(), kNoMemory));
    }
  }
  // tvstart itself: whatever fails, the next run is a fresh one.
  int iprint = kUnit, isumm = 0, ispecs = 0;
  tvtest::alloc_arm(0);
  tvstart(&iprint, &isumm, &ispecs);
  const long count = tvtest::alloc_disarm();
  for (long k : trials(count)) {
    int it = 1, ip = kUnit, is = 0, e = 0;
    tvopti("Iterations limit", &it, &ip, &is, &e, 16);  // must not survive the next tvstart
    tvtest::alloc_arm(k);
    tvstart(&iprint, &isumm, &ispecs);
    tvtest::alloc_disarm();
    const Solve s = solve(Entry::Noss);
    EXPECT_EQ(s.inform, 0) << "after a failure at allocation " << k;
  }
}

// The log procedure is the caller's code running inside tvnose: whatever it
// throws ends the solve with result 44 and an EXIT line, not in the
// caller's caller; a stop request other than 1 or 2 is ignored.
namespace {

int g_throw = 0, g_stop = 0, g_calls = 0;

void logfun(int*, int* stop, int*, int*, int*, double*, char*, double*, double*, double*, double*, int*, int*,
            double*, int*, int) {
  ++g_calls;
  if (g_throw == 1) throw std::runtime_error("log procedure failed");
  if (g_throw == 2) throw 7;
  *stop = g_stop;
}

}  // namespace

TEST_F(AllocFailure, TheLogProcedureCannotThrowThroughTvnose) {
  g_logfun = logfun;
  for (int kind : {1, 2}) {
    SCOPED_TRACE(kind);
    start();
    g_throw = kind;
    g_calls = 0;
    const Solve s = solve(Entry::Nose);
    g_throw = 0;
    EXPECT_EQ(g_calls, 1);
    EXPECT_EQ(s.inform, TV_SYSTEM_ERROR);
    const std::string p = print_file();
    EXPECT_TRUE(tvtest::contains(p, " EXIT -- system error")) << p;
    if (kind == 1) {
      EXPECT_TRUE(tvtest::contains(p, "log procedure failed")) << p;
    }
    expect_healthy(Entry::Nose);
  }
  for (int stop : {-5, 3, 1000}) {
    start();
    g_stop = stop;
    const Solve s = solve(Entry::Nose);
    EXPECT_EQ(s.inform, 0) << stop;
    EXPECT_NEAR(s.obj, -7.0, 1e-12);
  }
  g_stop = 2;
  start();
  EXPECT_EQ(solve(Entry::Nose).inform, TV_INTERRUPT);
  g_stop = 0;
  g_logfun = nullptr;
}
