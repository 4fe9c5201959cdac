// The nonlinear test-problem library itself: analytic derivatives against
// central differences (through the entry's callbacks, so the Jacobian lands
// at the right gcon places), the entry arrays against the neutral form, and
// the recorded optima against the objective at the recorded points.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <set>
#include <stdexcept>

#include "problems.h"

namespace {

using tvnlp::NlpProblem;

// A point near x0 and strictly inside the bounds (away from them by more than
// a difference step, so that functions undefined beyond a bound stay defined).
std::vector<double> random_point(const NlpProblem& p, unsigned seed) {
  unsigned s = seed;
  auto next = [&] {
    s = s * 1103515245u + 12345u;
    return double((s >> 8) & 0xffff) / 65536.0;
  };
  std::vector<double> x(p.n);
  for (int j = 0; j < p.n; ++j) {
    const double lo = p.xlo[j], up = p.xup[j];
    x[j] = p.x0[j] + (next() - 0.5) * 0.4 * (1.0 + std::fabs(p.x0[j]));
    if (up - lo < 1e-2) {
      x[j] = 0.5 * (lo + up);
      continue;
    }
    const double margin = std::min(1e-3 * (1.0 + std::fabs(lo) + std::fabs(up)), 0.1 * (up - lo));
    if (lo > -tvnlp::kInf) x[j] = std::max(x[j], lo + margin);
    if (up < tvnlp::kInf) x[j] = std::min(x[j], up - margin);
  }
  return x;
}

double fd_tol(double g, double f) { return 1e-6 * (1.0 + std::fabs(g)) + 1e-8 * std::fabs(f); }

// Objective gradient and Jacobian from the callbacks against central
// differences of the callbacks' values at x.
void check_derivatives(const NlpProblem& p, std::vector<double> x, const char* where) {
  SCOPED_TRACE(p.name + std::string(" at ") + where);
  tvnlp::bind(p);
  int none = 0;
  if (p.nnobj > 0) {
    int mode = 2, nn = p.nnobj;
    double f = 0.0, fp = 0.0, fm = 0.0;
    std::vector<double> g(p.nnobj, -111111.0);
    tvnlp::nlp_funobj(&mode, &nn, x.data(), &f, g.data(), &none, &none, nullptr, &none);
    ASSERT_EQ(mode, 2);
    for (int j = 0; j < p.nnobj; ++j) {
      const double xj = x[j], h = 1e-6 * (1.0 + std::fabs(xj));
      int m0 = 0;
      x[j] = xj + h;
      tvnlp::nlp_funobj(&m0, &nn, x.data(), &fp, nullptr, &none, &none, nullptr, &none);
      x[j] = xj - h;
      tvnlp::nlp_funobj(&m0, &nn, x.data(), &fm, nullptr, &none, &none, nullptr, &none);
      x[j] = xj;
      ASSERT_EQ(m0, 0);
      const double fd = (fp - fm) / (2.0 * h);
      EXPECT_NEAR(g[j], fd, fd_tol(fd, f)) << "objective gradient " << j + 1;
    }
  }
  if (p.nncon > 0) {
    const tvnlp::TvArrays t = tvnlp::build_arrays(p);
    int mode = 2, nc = p.nncon, nj = p.nnjac, nz = t.njac;
    std::vector<double> c(nc), cp(nc), cm(nc), gcon(nz, -111111.0);
    tvnlp::nlp_funcon(&mode, &nc, &nj, &nz, x.data(), c.data(), gcon.data(), &none, &none, nullptr, &none);
    ASSERT_EQ(mode, 2);
    int k = 0;  // gcon position: Jacobian entries column by column
    for (int j = 0; j < p.nnjac; ++j) {
      const double xj = x[j], h = 1e-6 * (1.0 + std::fabs(xj));
      int m0 = 0;
      x[j] = xj + h;
      tvnlp::nlp_funcon(&m0, &nc, &nj, &nz, x.data(), cp.data(), nullptr, &none, &none, nullptr, &none);
      x[j] = xj - h;
      tvnlp::nlp_funcon(&m0, &nc, &nj, &nz, x.data(), cm.data(), nullptr, &none, &none, nullptr, &none);
      x[j] = xj;
      ASSERT_EQ(m0, 0);
      std::vector<double> col(nc, 0.0);  // the column as the callback gives it
      for (int e = t.ka[j]; e < t.ka[j + 1] && t.ha[e - 1] <= p.nncon; ++e) col[t.ha[e - 1] - 1] = gcon[k++];
      for (int i = 0; i < nc; ++i) {
        const double fd = (cp[i] - cm[i]) / (2.0 * h);
        EXPECT_NEAR(col[i], fd, fd_tol(fd, c[i])) << "Jacobian row " << i + 1 << " column " << j + 1;
      }
    }
    EXPECT_EQ(k, nz);
  }
  tvnlp::bind(nullptr);
}

TEST(NlpProblems, CatalogueHasTheSetsTheBenchmarkNeeds) {
  auto names = tvnlp::problem_names();
  EXPECT_EQ(std::set<std::string>(names.begin(), names.end()).size(), names.size());
  int hs_lin = 0, hs_nl = 0;
  for (auto& p : tvnlp::all_problems()) {
    if (p.group == "hs") (p.linear_constraints ? hs_lin : hs_nl)++;
    EXPECT_EQ(p.linear_constraints, p.nncon == 0) << p.name;
    EXPECT_EQ(std::isnan(p.fstar), p.expect == tvnlp::Expect::Unbounded) << p.name;
  }
  EXPECT_GE(hs_lin, 12);
  EXPECT_GE(hs_nl, 15);
  EXPECT_THROW(tvnlp::make_problem("hs999"), std::out_of_range);
  // Scalable sizes: the optimum is recorded only at the default size.
  NlpProblem small = tvnlp::make_problem("ocp", 10);
  EXPECT_EQ(small.n, 21);
  EXPECT_EQ(small.nncon, 10);
  EXPECT_TRUE(std::isnan(small.fstar));
  EXPECT_EQ(tvnlp::make_problem("rosen-chain", 50).n, 50);
}

TEST(NlpProblems, DerivativesMatchDifferences) {
  for (auto& p : tvnlp::all_problems()) {
    check_derivatives(p, p.x0, "x0");
    check_derivatives(p, random_point(p, 7), "a random point");
  }
}

// The entry arrays hold the same problem: same row activities and objective
// at a random point, Jacobian entries leading every column, negated slack
// bounds, a free objective row.
TEST(NlpProblems, EntryArraysHoldTheProblem) {
  for (auto& p : tvnlp::all_problems()) {
    SCOPED_TRACE(p.name);
    const tvnlp::TvArrays t = tvnlp::build_arrays(p);
    ASSERT_EQ(static_cast<int>(t.ka.size()), t.n + 1);
    EXPECT_EQ(t.ka[0], 1);
    EXPECT_EQ(t.ka[t.n], t.ne + 1);
    EXPECT_EQ(t.nb, t.n + t.m);
    std::vector<int> pos = tvnlp::gcon_positions(p);
    std::vector<std::pair<int, int>> gorder(t.njac);  // (row, col) of each gcon place
    for (size_t k = 0; k < p.jac.size(); ++k) gorder[pos[k]] = {p.jac[k].first + 1, p.jac[k].second + 1};
    int k = 0;
    for (int j = 1; j <= t.n; ++j) {
      ASSERT_LE(t.ka[j - 1], t.ka[j]);
      bool in_jacobian = j <= t.nnjac;
      for (int e = t.ka[j - 1]; e < t.ka[j]; ++e) {
        const int i = t.ha[e - 1];
        ASSERT_GE(i, 1);
        ASSERT_LE(i, t.m);
        if (i > t.nncon) in_jacobian = false;
        if (in_jacobian) {  // a leading entry of a Jacobian column: the next gcon place
          ASSERT_LT(k, t.njac);
          EXPECT_EQ(gorder[k], std::make_pair(i, j));
          ++k;
        } else {
          EXPECT_FALSE(i <= t.nncon && j <= t.nnjac) << "Jacobian entry after a linear one in column " << j;
        }
      }
    }
    EXPECT_EQ(k, t.njac);
    for (int i = 0; i < p.m; ++i) {
      EXPECT_EQ(t.bl[t.n + i], -p.rup[i]);
      EXPECT_EQ(t.bu[t.n + i], -p.rlo[i]);
    }
    if (t.objrow > 0) {
      EXPECT_LE(t.bl[t.n + t.objrow - 1], -tvnlp::kInf);
      EXPECT_GE(t.bu[t.n + t.objrow - 1], tvnlp::kInf);
    }
    // Activities: nonlinear part from the functions, the rest from the matrix.
    const std::vector<double> x = random_point(p, 11);
    std::vector<double> act(t.m, 0.0), want(p.m);
    for (int j = 1; j <= t.n; ++j)
      for (int e = t.ka[j - 1]; e < t.ka[j]; ++e)
        if (!(t.ha[e - 1] <= t.nncon && j <= t.nnjac)) act[t.ha[e - 1] - 1] += t.a[e - 1] * x[j - 1];
    if (p.nncon > 0) {
      std::vector<double> c(p.nncon);
      ASSERT_TRUE(p.fcon(x.data(), c.data(), nullptr));
      for (int i = 0; i < p.nncon; ++i) act[i] += c[i];
    }
    ASSERT_TRUE(p.activities(x.data(), want.data()));
    for (int i = 0; i < p.m; ++i) EXPECT_NEAR(act[i], want[i], 1e-12 * (1.0 + std::fabs(want[i]))) << "row " << i + 1;
    double f = t.objconst + (t.objrow > 0 ? act[t.objrow - 1] : 0.0);
    if (p.nnobj > 0) {
      double fn = 0.0;
      ASSERT_TRUE(p.fobj(x.data(), fn, nullptr));
      f += fn;
    }
    const double fx = p.objective(x.data());
    EXPECT_NEAR(f, fx, 1e-12 * (1.0 + std::fabs(fx)));
  }
}

// f(x*) equals the recorded optimum and x* is feasible, to the digits of x*.
TEST(NlpProblems, RecordedOptimaHoldAtTheRecordedPoints) {
  int checked = 0;
  for (auto& p : tvnlp::all_problems()) {
    if (p.xstar.empty()) continue;
    SCOPED_TRACE(p.name);
    ASSERT_EQ(static_cast<int>(p.xstar.size()), p.n);
    const double f = p.objective(p.xstar.data());
    EXPECT_NEAR(f, p.fstar, p.xstar_tol * std::max(1.0, std::fabs(p.fstar)));
    const double tol = p.xstar_tol * 10.0;
    for (int j = 0; j < p.n; ++j) {
      EXPECT_GE(p.xstar[j], p.xlo[j] - tol * (1.0 + std::fabs(p.xlo[j]))) << "column " << j + 1;
      EXPECT_LE(p.xstar[j], p.xup[j] + tol * (1.0 + std::fabs(p.xup[j]))) << "column " << j + 1;
    }
    std::vector<double> r(p.m);
    ASSERT_TRUE(p.activities(p.xstar.data(), r.data()));
    for (int i = 0; i < p.m; ++i) {
      const double scale = 1.0 + std::fabs(r[i]);
      EXPECT_GE(r[i], p.rlo[i] - tol * scale) << "row " << i + 1;
      EXPECT_LE(r[i], p.rup[i] + tol * scale) << "row " << i + 1;
    }
    ++checked;
  }
  EXPECT_GE(checked, 40);
}

// The callbacks tell an undefined point (mode -1), a stop when nothing is
// bound (mode -2), and count their calls.
TEST(NlpProblems, CallbacksReportUndefinedPointsAndCount) {
  NlpProblem p = tvnlp::make_problem("bad-entropy");
  tvnlp::bind(p);
  std::vector<double> x = p.x0, g(p.n);
  int mode = 2, nn = p.nnobj, none = 0;
  double f = 0.0;
  tvnlp::nlp_funobj(&mode, &nn, x.data(), &f, g.data(), &none, &none, nullptr, &none);
  EXPECT_EQ(mode, 2);
  x[3] = -1e-3;  // beyond the lower bound 1e-6
  tvnlp::nlp_funobj(&mode, &nn, x.data(), &f, g.data(), &none, &none, nullptr, &none);
  EXPECT_EQ(mode, -1);
  EXPECT_EQ(tvnlp::counts().funobj, 2);
  tvnlp::bind(nullptr);
  mode = 0;
  tvnlp::nlp_funobj(&mode, &nn, x.data(), &f, g.data(), &none, &none, nullptr, &none);
  EXPECT_EQ(mode, -2);
}

// The entry accepts the arrays and the workspace is sized from minwork.
TEST(NlpProblems, SolveHelperRunsTheEntry) {
  NlpProblem p = tvnlp::make_problem("hs035");
  tvnlp::TvRun r = tvnlp::solve_tvnose(p, 200);
  EXPECT_NE(r.inform, 42);
  EXPECT_EQ(static_cast<int>(r.x.size()), p.n);
}

}  // namespace
