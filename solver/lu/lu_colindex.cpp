// The column index of U (LuColIndex) and the U and U' solves by the reach
// of a sparse right-hand side.
//
// lu6u by rows visits every stored entry of U whatever the right-hand
// side.  When v is nonzero in a few rows, the positions whose result can be
// nonzero are found first: position k depends on position k' > k when row
// iperm(k) has an entry in column jperm(k'), so a depth-first search from
// the positions where v is nonzero, along the columns' rows, reaches all of
// them (Gilbert and Peierls); its reverse postorder solves each position
// after those it depends on.  The rows reached are then solved as lu6u
// solves them, the other results being zero, so the result is the same to
// the last bit.  Listed rows whose entry has vanished are followed too
// (more work, same result); only edges to lower positions are followed, so
// such a row can never reverse the order.
#include <algorithm>
#include <cmath>

#include "core/nonzeros.h"
#include "lu/lu_impl.h"

namespace tv {

bool LuColIndex::matches(Ivec luipar) const {
  return valid && nupdat == luipar(lup::nupdat) && lenu == luipar(lup::lenu) && lrow == luipar(lup::lrow);
}

void LuColIndex::stamp_with(Ivec luipar) {
  nupdat = luipar(lup::nupdat);
  lenu = luipar(lup::lenu);
  lrow = luipar(lup::lrow);
}

void lu_index_build(int m, int n, Ivec luipar, const LuArrays& f, LuColIndex& cx) {
  cx.rows.resize(n + 1);
  for (auto& r : cx.rows) r.clear();
  cx.ipos.assign(m + 1, 0);
  cx.jpos.assign(n + 1, 0);
  lu_index_positions(f, m, n, 1, std::max(m, n), cx);
  for (int i = 1; i <= m; ++i) {
    const int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
    for (int l = l1; l <= l2; ++l) cx.rows[f.indr(l)].push_back(i);
  }
  cx.mark.assign(std::max(m, n) + 1, 0);
  cx.order.clear();
  cx.stack.clear();
  cx.stamp = 0;
  cx.valid = true;
  cx.stamp_with(luipar);
}

void lu_index_density(double& density, int nnz, int nrank) {
  density = 0.8 * density + 0.2 * (nrank > 0 ? double(nnz) / nrank : 1.0);
}

void lu_index_positions(const LuArrays& f, int m, int n, int k1, int k2, LuColIndex& cx) {
  for (int k = std::max(k1, 1); k <= std::min(k2, m); ++k) cx.ipos[f.iperm(k)] = k;
  for (int k = std::max(k1, 1); k <= std::min(k2, n); ++k) cx.jpos[f.jperm(k)] = k;
}

namespace {

// A search: the drop tolerance and the rank, a stamp no position is marked
// with yet, and the sizes beyond which the loop over all positions is
// cheaper (many starts, or a reach beyond a quarter of the rank).
struct Reach {
  double small;
  int nrank, stamp, maxstart, maxreach;
};

// A new search with empty lists.
Reach start_reach(LuColIndex& cx, Ivec luipar, Dvec lurpar) {
  cx.order.clear();
  cx.stack.clear();
  if (++cx.stamp == 0) {  // the stamps wrapped: clear the marks
    std::fill(cx.mark.begin(), cx.mark.end(), 0);
    cx.stamp = 1;
  }
  const int nrank = luipar(lup::nrank);
  return {lurpar(lur::small), nrank, cx.stamp, nrank / 16 + 1, nrank / 4 + 1};
}

// A search given up for the loop over all positions: counted as dense.
bool give_up(double& density, int nrank) {
  lu_index_density(density, nrank, nrank);
  return false;
}

}  // namespace

bool lu6u_reach(int m, int n, Dvec v, Dvec w, Ivec luipar, Dvec lurpar, const LuArrays& f, LuColIndex& cx) {
  const Reach r = start_reach(cx, luipar, lurpar);
  const double small = r.small;
  const int nrank = r.nrank, stamp = r.stamp, maxstart = r.maxstart, maxreach = r.maxreach;
  std::vector<int>& order = cx.order;
  std::vector<int>& stack = cx.stack;
  std::vector<int>& starts = cx.starts;
  starts.clear();
  const bool few = for_each_nonzero(v, m, [&](int i) {
    if (std::fabs(v(i)) <= small) return true;
    const int k0 = cx.ipos[i];
    if (k0 <= nrank) starts.push_back(k0);
    return static_cast<int>(starts.size()) <= maxstart;
  });
  if (!few) return give_up(cx.density, nrank);
  for (const int k0 : starts) {
    if (cx.mark[k0] == stamp) continue;
    // Depth-first from k0; the stack holds (position, next row to look at).
    cx.mark[k0] = stamp;
    stack.clear();
    stack.push_back(k0);
    stack.push_back(0);
    while (!stack.empty()) {
      const int k = stack[stack.size() - 2];
      int& next = stack.back();
      std::vector<int>& rows = cx.rows[f.jperm(k)];
      int child = 0;
      while (next < static_cast<int>(rows.size())) {
        const int kk = cx.ipos[rows[next]];
        if (kk > k) {
          // A row below its column's position cannot hold an entry in it:
          // the entry has gone, and the row leaves the list (an update
          // that puts one back lists it again).
          rows[next] = rows.back();
          rows.pop_back();
          continue;
        }
        ++next;
        if (kk < k && cx.mark[kk] != stamp) {
          child = kk;
          break;
        }
      }
      if (child > 0) {
        cx.mark[child] = stamp;
        stack.push_back(child);
        stack.push_back(0);
      } else {
        order.push_back(k);
        stack.resize(stack.size() - 2);
        if (static_cast<int>(order.size()) > maxreach) return give_up(cx.density, nrank);
      }
    }
  }
  // Every position not reached has a zero result.
  for (int j = 1; j <= n; ++j) w(j) = 0.0;
  for (auto it = order.rbegin(); it != order.rend(); ++it) {
    const int i = f.iperm(*it);
    w(f.jperm(*it)) = lu6u_row(f, i, v(i), w, small);
  }
  lu_index_density(cx.density, static_cast<int>(order.size()), nrank);
  return true;
}

// The transposed solve U' v = w by the reach of w's nonzeros.  Position k
// passes its result on to the positions of the columns its row holds, all
// later ones, so the reach follows the rows themselves; the positions
// reached are then solved in increasing order, as the loop over all
// positions does, so that each w(j) receives its updates in the same order
// and the results are the same to the last bit.
bool lu6ut_reach(int m, int n, Dvec v, Dvec w, Ivec luipar, Dvec lurpar, const LuArrays& f, LuColIndex& cx) {
  const Reach r = start_reach(cx, luipar, lurpar);
  const double small = r.small;
  const int nrank = r.nrank, stamp = r.stamp, maxstart = r.maxstart, maxreach = r.maxreach;
  std::vector<int>& order = cx.order;
  std::vector<int>& stack = cx.stack;
  const bool few = for_each_nonzero(w, n, [&](int j) {
    if (std::fabs(w(j)) <= small) return true;
    const int k0 = cx.jpos[j];
    if (k0 <= nrank && cx.mark[k0] != stamp) {
      cx.mark[k0] = stamp;
      stack.push_back(k0);
    }
    return static_cast<int>(stack.size()) <= maxstart;
  });
  if (!few) return give_up(cx.tdensity, nrank);
  int kmin = nrank + 1, kmax = 0;
  while (!stack.empty()) {
    const int k = stack.back();
    stack.pop_back();
    order.push_back(k);
    kmin = std::min(kmin, k);
    kmax = std::max(kmax, k);
    if (static_cast<int>(order.size()) > maxreach) return give_up(cx.tdensity, nrank);
    const int i = f.iperm(k);
    const int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
    for (int l = l1 + 1; l <= l2; ++l) {
      const int kk = cx.jpos[f.indr(l)];
      if (kk <= nrank && cx.mark[kk] != stamp) {
        cx.mark[kk] = stamp;
        stack.push_back(kk);
      }
    }
  }
  // Increasing order: a sort, or a walk over the marked range when that is
  // shorter than the sort's r log r.
  const size_t nreach = order.size();
  if (static_cast<double>(kmax - kmin) < static_cast<double>(nreach) * std::log2(static_cast<double>(nreach) + 1.0)) {
    order.clear();
    for (int k = kmin; k <= kmax; ++k) {
      if (cx.mark[k] == stamp) order.push_back(k);
    }
  } else {
    std::sort(order.begin(), order.end());
  }
  for (int i = 1; i <= m; ++i) v(i) = 0.0;
  for (const int k : order) v(f.iperm(k)) = lu6ut_row(f, f.iperm(k), w(f.jperm(k)), w, small);
  lu_index_density(cx.tdensity, static_cast<int>(order.size()), nrank);
  return true;
}

}  // namespace tv
