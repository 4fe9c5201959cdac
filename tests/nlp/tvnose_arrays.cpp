// The subroutine-entry form of a test problem: column-wise matrix with the
// Jacobian entries first in every column, slack bounds (negated row bounds),
// a free objective row for the linear objective.
#include <algorithm>
#include <numeric>
#include <stdexcept>
#include <tuple>

#include "problems.h"

namespace tvnlp {

std::vector<int> gcon_positions(const NlpProblem& p) {
  const int nj = static_cast<int>(p.jac.size());
  std::vector<int> order(nj);
  std::iota(order.begin(), order.end(), 0);
  std::stable_sort(order.begin(), order.end(), [&](int a, int b) {
    return std::tie(p.jac[a].second, p.jac[a].first) < std::tie(p.jac[b].second, p.jac[b].first);
  });
  std::vector<int> pos(nj);
  for (int k = 0; k < nj; ++k) pos[order[k]] = k;
  return pos;
}

TvArrays build_arrays(const NlpProblem& p) {
  auto fail = [&](const std::string& what) { throw std::logic_error(p.name + ": " + what); };
  const bool has_obj = std::any_of(p.cobj.begin(), p.cobj.end(), [](double c) { return c != 0.0; });
  // A problem with bounds only still gets one row: the (empty) objective row.
  const bool objective_row = has_obj || p.m == 0;
  TvArrays t;
  t.n = p.n;
  t.m = p.m + (objective_row ? 1 : 0);
  t.nb = t.n + t.m;
  t.objrow = objective_row ? t.m : 0;
  t.objconst = p.objconst;
  t.nncon = p.nncon;
  t.nnobj = p.nnobj;
  t.nnjac = p.nnjac;
  t.njac = static_cast<int>(p.jac.size());
  if (p.nnobj > p.n || p.nnjac > p.n || p.nncon > p.m) fail("nonlinear dimensions exceed the problem");

  // Column lists: (row, value), Jacobian rows first.
  std::vector<std::vector<std::pair<int, double>>> jcol(p.n), lcol(p.n);
  for (auto [i, j] : p.jac) {
    if (i < 0 || i >= p.nncon || j < 0 || j >= p.nnjac) fail("Jacobian entry outside the block");
    jcol[j].push_back({i + 1, 0.0});
  }
  for (const Entry& e : p.lin) {
    if (e.row < 0 || e.row >= p.m || e.col < 0 || e.col >= p.n) fail("linear entry outside the matrix");
    if (e.row < p.nncon && e.col < p.nnjac) fail("linear term of a nonlinear row in a Jacobian column");
    lcol[e.col].push_back({e.row + 1, e.val});
  }
  t.ka.push_back(1);
  for (int j = 0; j < p.n; ++j) {
    std::sort(jcol[j].begin(), jcol[j].end());
    std::sort(lcol[j].begin(), lcol[j].end());
    if (has_obj && p.cobj[j] != 0.0) lcol[j].push_back({t.objrow, p.cobj[j]});
    for (auto* list : {&jcol[j], &lcol[j]}) {
      for (size_t k = 0; k < list->size(); ++k) {
        if (k > 0 && (*list)[k].first == (*list)[k - 1].first) fail("repeated matrix entry");
        t.ha.push_back((*list)[k].first);
        t.a.push_back((*list)[k].second);
      }
    }
    t.ka.push_back(static_cast<int>(t.a.size()) + 1);
  }
  t.ne = static_cast<int>(t.a.size());
  if (t.ne == 0) {  // keep the arrays addressable; ne stays 0
    t.a.push_back(0.0);
    t.ha.push_back(1);
  }

  t.bl = p.xlo;
  t.bu = p.xup;
  for (int i = 0; i < p.m; ++i) {
    t.bl.push_back(-p.rup[i]);
    t.bu.push_back(-p.rlo[i]);
  }
  if (objective_row) {
    t.bl.push_back(-kInf);
    t.bu.push_back(kInf);
  }
  t.xn = p.x0;
  t.xn.resize(t.nb, 0.0);
  t.hs.assign(t.nb, 0);
  t.pi.assign(t.m, 0.0);
  t.rc.assign(t.nb, 0.0);
  return t;
}

}  // namespace tvnlp
