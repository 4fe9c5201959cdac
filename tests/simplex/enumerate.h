// Brute-force optimum of a tiny bounded LP: every vertex is the solution of
// n active constraints (bounds or row limits); the best feasible one wins.
#pragma once

#include <cmath>
#include <functional>
#include <vector>

#include "common/lp.h"

namespace spxtest {

struct Vertex {
  bool feasible = false;
  double obj = 0.0;
  std::vector<double> x;
};

// Dense rows of lp (row i, column j).
inline std::vector<std::vector<double>> dense_rows(const tvtest::TestLP& lp) {
  std::vector<std::vector<double>> A(lp.m, std::vector<double>(lp.n, 0.0));
  for (int j = 0; j < lp.n; ++j) {
    for (int l = lp.ka[j]; l < lp.ka[j + 1]; ++l) A[lp.ha[l - 1] - 1][j] = lp.a[l - 1];
  }
  return A;
}

// Optimum of the objective row (sense +1 minimize, -1 maximize); limits on
// the objective row count like those of any row.  Rows and
// columns with infinite limits contribute no candidate constraint; the
// problem must be bounded (finite column bounds or limiting rows).
inline Vertex enumerate_vertices(const tvtest::TestLP& lp, int sense) {
  const int n = lp.n, m = lp.m;
  const auto A = dense_rows(lp);
  struct Con {
    std::vector<double> a;
    double b;
  };
  std::vector<Con> cons;
  for (int j = 0; j < n; ++j) {
    std::vector<double> e(n, 0.0);
    e[j] = 1.0;
    if (lp.bl[j] > -1e19) cons.push_back({e, lp.bl[j]});
    if (lp.bu[j] < 1e19 && lp.bu[j] != lp.bl[j]) cons.push_back({e, lp.bu[j]});
  }
  for (int i = 0; i < m; ++i) {
    const double lo = -lp.bu[n + i], up = -lp.bl[n + i];
    if (lo > -1e19) cons.push_back({A[i], lo});
    if (up < 1e19 && up != lo) cons.push_back({A[i], up});
  }
  auto feasible = [&](const std::vector<double>& x) {
    const double tol = 1e-7;
    for (int j = 0; j < n; ++j) {
      if (x[j] < lp.bl[j] - tol || x[j] > lp.bu[j] + tol) return false;
    }
    for (int i = 0; i < m; ++i) {
      double r = 0.0;
      for (int j = 0; j < n; ++j) r += A[i][j] * x[j];
      const double lo = -lp.bu[n + i], up = -lp.bl[n + i];
      if (r < lo - tol * (1 + std::fabs(lo)) || r > up + tol * (1 + std::fabs(up))) return false;
    }
    return true;
  };
  Vertex best;
  std::vector<int> pick(n);
  const int nc = static_cast<int>(cons.size());
  std::function<void(int, int)> rec = [&](int k, int from) {
    if (k == n) {
      // Solve the n by n system by Gaussian elimination with partial pivoting.
      std::vector<std::vector<double>> M(n, std::vector<double>(n + 1));
      for (int r = 0; r < n; ++r) {
        for (int c = 0; c < n; ++c) M[r][c] = cons[pick[r]].a[c];
        M[r][n] = cons[pick[r]].b;
      }
      for (int c = 0; c < n; ++c) {
        int piv = c;
        for (int r = c + 1; r < n; ++r) {
          if (std::fabs(M[r][c]) > std::fabs(M[piv][c])) piv = r;
        }
        if (std::fabs(M[piv][c]) < 1e-9) return;
        std::swap(M[piv], M[c]);
        for (int r = 0; r < n; ++r) {
          if (r == c) continue;
          const double f = M[r][c] / M[c][c];
          for (int cc = c; cc <= n; ++cc) M[r][cc] -= f * M[c][cc];
        }
      }
      std::vector<double> x(n);
      for (int r = 0; r < n; ++r) x[r] = M[r][n] / M[r][r];
      if (!feasible(x)) return;
      double obj = lp.objconst;
      if (lp.objrow > 0) {
        for (int j = 0; j < n; ++j) obj += A[lp.objrow - 1][j] * x[j];
      }
      if (!best.feasible || sense * obj < sense * best.obj) {
        best.feasible = true;
        best.obj = obj;
        best.x = x;
      }
      return;
    }
    for (int c = from; c <= nc - (n - k); ++c) {
      pick[k] = c;
      rec(k + 1, c + 1);
    }
  };
  rec(0, 0);
  return best;
}

}  // namespace spxtest
