// Small problems for tests: a dense description turned into the solver's
// column-wise arrays with the slack convention A x + s = 0.
#pragma once

#include <string>
#include <vector>

#include "core/problem.h"

namespace tvtest {

constexpr double kInf = 1.0e20;

struct TestLP {
  int m = 0, n = 0;
  int objrow = 0;
  double objconst = 0.0;
  int nncon = 0, nnobj = 0, nnjac = 0;
  std::vector<double> a;
  std::vector<int> ha, ka;
  std::vector<double> bl, bu, xn, pi, rc;
  std::vector<int> hs, name1, name2;

  // dense(i, j) is row i+1, column j+1; rows give row bounds lo <= a x <= up.
  static TestLP dense(const std::vector<std::vector<double>>& A, const std::vector<double>& rlo,
                      const std::vector<double>& rup, const std::vector<double>& clo,
                      const std::vector<double>& cup, int objrow = 0) {
    TestLP lp;
    lp.m = static_cast<int>(A.size());
    lp.n = lp.m > 0 ? static_cast<int>(A[0].size()) : static_cast<int>(clo.size());
    lp.objrow = objrow;
    lp.ka.push_back(1);
    for (int j = 0; j < lp.n; ++j) {
      for (int i = 0; i < lp.m; ++i) {
        if (A[i][j] != 0.0) {
          lp.a.push_back(A[i][j]);
          lp.ha.push_back(i + 1);
        }
      }
      lp.ka.push_back(static_cast<int>(lp.a.size()) + 1);
    }
    lp.bl = clo;
    lp.bu = cup;
    for (int i = 0; i < lp.m; ++i) {
      lp.bl.push_back(-rup[i]);
      lp.bu.push_back(-rlo[i]);
    }
    lp.size_solution();
    return lp;
  }

  // The solution vectors (x, reduced costs, states, multipliers) and the
  // name arrays, zero, for m rows and n columns.
  void size_solution() {
    const int nb = n + m;
    xn.assign(nb, 0.0);
    rc.assign(nb, 0.0);
    hs.assign(nb, 0);
    pi.assign(m, 0.0);
    name1.assign(1, 0);
    name2.assign(1, 0);
  }

  tv::Problem view() {
    tv::Problem P;
    P.m = m;
    P.n = n;
    P.nb = n + m;
    P.ne = static_cast<int>(a.size());
    P.nnames = 1;
    P.nncon = nncon;
    P.nnobj = nnobj;
    P.nnjac = nnjac;
    P.objrow = objrow;
    P.objconst = objconst;
    P.a = tv::Dvec(a.data(), P.ne);
    P.ha = tv::Ivec(ha.data(), P.ne);
    P.ka = tv::Ivec(ka.data(), n + 1);
    P.bl = tv::Dvec(bl.data(), P.nb);
    P.bu = tv::Dvec(bu.data(), P.nb);
    P.name1 = tv::Ivec(name1.data(), 1);
    P.name2 = tv::Ivec(name2.data(), 1);
    P.hs = tv::Ivec(hs.data(), P.nb);
    P.xn = tv::Dvec(xn.data(), P.nb);
    P.pi = tv::Dvec(pi.data(), m);
    P.rc = tv::Dvec(rc.data(), P.nb);
    return P;
  }
};

// Split text into lines (without line ends).
inline std::vector<std::string> lines(const std::string& s) {
  std::vector<std::string> out;
  std::string cur;
  for (char c : s) {
    if (c == '\n') {
      out.push_back(cur);
      cur.clear();
    } else {
      cur.push_back(c);
    }
  }
  if (!cur.empty()) out.push_back(cur);
  return out;
}

inline bool contains(const std::string& hay, const std::string& needle) {
  return hay.find(needle) != std::string::npos;
}

// How often `needle` occurs in `hay` (overlapping occurrences counted).
inline int count(const std::string& hay, const std::string& needle) {
  int k = 0;
  for (auto p = hay.find(needle); p != std::string::npos; p = hay.find(needle, p + 1)) ++k;
  return k;
}

}  // namespace tvtest
