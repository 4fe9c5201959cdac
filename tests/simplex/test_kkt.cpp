// Larger random LPs: the final point is checked against the optimality
// conditions (primal feasibility, dual feasibility of the reduced costs
// from the returned prices, basic reduced costs zero).
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>

#include "simplex/harness.h"
#include "simplex/simplex_state.h"

using namespace spxtest;
using tv::strf;

namespace {

TestLP random_sparse_lp(std::mt19937& rng, int m, int n) {
  std::uniform_real_distribution<double> u(0.0, 1.0);
  std::vector<std::vector<double>> A(m + 1, std::vector<double>(n, 0.0));
  std::vector<double> rlo(m + 1), rup(m + 1), clo(n), cup(n);
  for (int j = 0; j < n; ++j) {
    const double r = u(rng);
    if (r < 0.1) {
      clo[j] = cup[j] = std::round(10 * u(rng));
    } else {
      clo[j] = r < 0.4 ? -std::round(10 * u(rng)) : 0.0;
      cup[j] = clo[j] + 1 + std::round(20 * u(rng));
    }
    for (int i = 0; i < m; ++i) {
      if (u(rng) < 0.12) A[i][j] = std::round(200 * u(rng) - 100) / 10.0;
    }
    A[m][j] = std::round(200 * u(rng) - 100) / 10.0;
  }
  // Limits around the activity of a point inside the bounds: feasible.
  std::vector<double> x0(n);
  for (int j = 0; j < n; ++j) x0[j] = clo[j] + (cup[j] - clo[j]) * u(rng);
  for (int i = 0; i < m; ++i) {
    double act = 0.0;
    for (int j = 0; j < n; ++j) act += A[i][j] * x0[j];
    const double t = u(rng);
    if (t < 0.2) {
      rlo[i] = rup[i] = act;
    } else if (t < 0.5) {
      rlo[i] = -kInf;
      rup[i] = act + 5 * u(rng);
    } else if (t < 0.8) {
      rlo[i] = act - 5 * u(rng);
      rup[i] = kInf;
    } else if (t < 0.85) {
      rlo[i] = -kInf;
      rup[i] = kInf;
    } else {
      rlo[i] = act - 3 * u(rng);
      rup[i] = act + 3 * u(rng);
    }
  }
  rlo[m] = -kInf;
  rup[m] = kInf;
  return TestLP::dense(A, rlo, rup, clo, cup, m + 1);
}

// Largest violation of the optimality conditions of min sense * (objective row).
double kkt_error(const LoopRun& r, int sense) {
  const tv::Problem& P = r.P;
  const int m = P.m, n = P.n;
  double pimax = 1.0;
  for (int i = 1; i <= m; ++i) pimax = std::max(pimax, std::fabs(P.pi(i)));
  double err = 0.0;
  for (int j = 1; j <= P.nb; ++j) {
    double d;
    if (j <= n) {
      d = 0.0;
      for (int l = P.ka(j); l < P.ka(j + 1); ++l) d -= P.a(l) * P.pi(P.ha(l));
    } else {
      d = -P.pi(j - n);
      if (j == n + P.objrow) d += -sense;
    }
    d /= pimax;
    const double bl = P.bl(j), bu = P.bu(j), x = P.xn(j);
    if (P.hs(j) == 3) {
      err = std::max(err, std::fabs(d));
    } else if (bl == bu) {
      continue;
    } else if (x <= bl) {
      err = std::max(err, -d);
    } else if (x >= bu) {
      err = std::max(err, d);
    } else {
      err = std::max(err, std::fabs(d));
    }
  }
  return err;
}

}  // namespace

TEST(Kkt, RandomSparseLps) {
  std::mt19937 rng(4242);
  for (int trial = 0; trial < 60; ++trial) {
    const int m = 20 + (trial * 7) % 60, n = 20 + (trial * 13) % 100;
    const int sense = trial % 4 == 0 ? -1 : 1;
    const TestLP lp = random_sparse_lp(rng, m, n);
    LoopRun r(lp, [&](tv::Context& c) {
      opt_i(c, "Iterations limit", 100000);
      if (trial % 3 == 1) opt_i(c, "Factorization frequency", 7);
      if (sense < 0) {
        int e = 0;
        tv::tvopt(c, "Maximize", 0, 0, e);
      }
    });
    r.slack_basis();
    const int inform = r.solve();
    SCOPED_TRACE(strf("trial %d m %d n %d", trial, m, n));
    ASSERT_EQ(inform, 0);
    EXPECT_LT(r.primal_error(), 1e-7 * (1.0 + r.ctx.spx.xnorm));
    EXPECT_LT(kkt_error(r, sense), 1e-6);
  }
}
