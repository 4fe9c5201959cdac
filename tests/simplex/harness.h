// Runs the main loop directly on a small problem: the preparation of a
// solve (core/setup.h, run_start), a basis, and m5solv.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/lp.h"
#include "core/context.h"
#include "core/entry.h"
#include "core/m2amat.h"
#include "core/setup.h"
#include "core/tvsolv.h"
#include "options/options.h"
#include "options/params.h"
#include "simplex/m5solv.h"
#include "simplex/simplex_state.h"

namespace spxtest {

using tvtest::kInf;
using tvtest::TestLP;

constexpr int kPrt = 9, kSum = 10;

struct LoopRun {
  TestLP lp;
  tv::Context ctx;
  tv::Problem P;
  std::vector<double> z;
  int64_t minwork = 0;
  int nwork = 0;
  int ns = 0, start = 0, inform = -1;

  // opts sets parameters (after the reset, before the defaults); nwork 0
  // gives the workspace the partition asks for.
  explicit LoopRun(const TestLP& lp0, const std::function<void(tv::Context&)>& opts = nullptr,
               int nwork0 = 0)
      : lp(lp0) {
    ctx.io.attach_buffer(kPrt);
    ctx.io.attach_buffer(kSum);
    tv::tvstart(ctx, kPrt, kSum, 0);
    int errors = 0;
    tv::tvopti(ctx, "Scale option", 0, 0, 0, errors);
    if (opts) opts(ctx);
    P = lp.view();
    tv::Params& p = ctx.par;
    tv::solve_settings(ctx, P);
    minwork = tv::partition_workspace(ctx, 0);
    nwork = nwork0 > 0 ? nwork0 : static_cast<int>(minwork);
    tv::partition_workspace(ctx, nwork);
    z.assign(nwork, 0.0);
    tv::bind_workspace(ctx, z.data(), nwork);
    tv::run_start(ctx, P);
    tv::m2amat(ctx, 2, P, ctx.ws.ivec(ctx.part.bsfeas));
    std::fill(std::begin(p.names[0]), std::end(p.names[0]), ' ');
    std::copy_n("TESTLP", 6, p.names[0]);
  }

  // All slacks basic, structurals at a bound (or between, when free).
  void slack_basis() {
    for (int j = 1; j <= P.n; ++j) {
      P.hs(j) = 0;
      double& x = P.xn(j);
      x = std::clamp(x, P.bl(j), P.bu(j));
    }
    for (int i = 1; i <= P.m; ++i) P.hs(P.n + i) = 3;
  }

  int solve(int start0 = 0) {
    start = start0;
    tv::m5solv(ctx, P, ns, start, inform);
    return inform;
  }

  std::string prt() const { return ctx.io.buffer(kPrt); }
  std::string sum() const { return ctx.io.buffer(kSum); }
  double obj() const { return ctx.spx.obj; }
  int itn() const { return ctx.spx.itn; }

  // Largest violation of A x + s = 0 and of the bounds.
  double primal_error() const {
    double err = 0.0;
    std::vector<double> r(P.m + 1, 0.0);
    for (int j = 1; j <= P.n; ++j) {
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) r[P.ha(l)] += P.a(l) * P.xn(j);
    }
    for (int i = 1; i <= P.m; ++i) err = std::max(err, std::fabs(r[i] + P.xn(P.n + i)));
    for (int j = 1; j <= P.nb; ++j) {
      err = std::max(err, P.bl(j) - P.xn(j));
      err = std::max(err, P.xn(j) - P.bu(j));
    }
    return err;
  }
};

inline void opt_i(tv::Context& ctx, const char* phrase, int v) {
  int errors = 0;
  tv::tvopti(ctx, phrase, v, 0, 0, errors);
  EXPECT_EQ(errors, 0) << phrase;
}
inline void opt_r(tv::Context& ctx, const char* phrase, double v) {
  int errors = 0;
  tv::tvoptr(ctx, phrase, v, 0, 0, errors);
  EXPECT_EQ(errors, 0) << phrase;
}

inline bool has(const std::string& text, const std::string& piece) {
  return text.find(piece) != std::string::npos;
}

}  // namespace spxtest
