// One solve through the entries with print and summary files in memory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "core/m2core.h"
#include "options/options.h"
#include "options/params.h"

namespace tvtest {

constexpr int kPrt = 9, kSum = 10;

enum class Via { Nose, Noss, Tarvo };

// Row bounds and slack values between the solver's convention (slack =
// -activity) and that of the `tarvo` entry (slack = activity).
inline void flip_rows(TestLP& lp) {
  for (int i = 0; i < lp.m; ++i) {
    const size_t j = static_cast<size_t>(lp.n + i);
    const double b = lp.bl[j];
    lp.bl[j] = -lp.bu[j];
    lp.bu[j] = -b;
    lp.xn[j] = -lp.xn[j];
  }
}

struct DriverRun {
  tv::Context ctx;
  TestLP lp;
  tv::EntryResult r;
  int ns = 0;
  std::vector<double> z;

  DriverRun() = default;

  // Options are SPECS phrases applied after tvstart.
  void start(const std::vector<std::string>& options, bool files = true) {
    tv::tvstart(ctx, 0, 0, 0);
    if (files) {
      ctx.io.attach_buffer(kPrt);
      ctx.io.attach_buffer(kSum);
      ctx.par.prtfile = kPrt;
      ctx.par.sumfile = kSum;
    }
    int errors = 0;
    for (const std::string& o : options) tv::tvopt(ctx, o, 0, 0, errors);
    EXPECT_EQ(errors, 0);
  }

  // Workspace: the partition's minimum or the estimate, whichever is larger.
  int workspace_words() {
    tv::Context probe;
    tv::tvstart(probe, 0, 0, 0);
    TestLP copy = lp;
    tv::Problem P = copy.view();
    double one = 0.0;
    int ns0 = 0;
    tv::EntryResult r0;
    tv::tvnoss(probe, "Cold", P, nullptr, ns0, &one, 1, r0);
    const long long est = tv::tvcore(lp.m, lp.n, static_cast<int>(lp.a.size()), lp.n + lp.m, 1, 1, 0, 0, 0, 1);
    return static_cast<int>(std::max<long long>(r0.minwork, est));
  }

  void solve(const std::string& startword, Via via = Via::Nose, int loglev = 0, tv_logfun logfun = nullptr,
             const char* names = nullptr) {
    if (z.empty()) z.assign(static_cast<size_t>(workspace_words()), 0.0);
    tv::Problem P = lp.view();
    const int nwork = static_cast<int>(z.size());
    switch (via) {
      case Via::Nose:
        tv::tvnose(ctx, startword, P, names, ns, z.data(), nwork, loglev, logfun, r);
        break;
      case Via::Noss:
        tv::tvnoss(ctx, startword, P, names, ns, z.data(), nwork, r);
        break;
      case Via::Tarvo:
        tv::tarvo_entry(ctx, startword, P, names, ns, z.data(), nwork, r);
        break;
    }
  }

  std::string prt() const { return ctx.io.buffer(kPrt); }
  std::string sum() const { return ctx.io.buffer(kSum); }
  tv::Problem view() { return lp.view(); }
};

}  // namespace tvtest
