#include <algorithm>

#include "core/context.h"
#include "lu/basis_state.h"
#include "lu/lumap.h"
#include "options/params.h"

namespace tv {

int64_t m2bmap(Context& ctx, int mode, int m, int n, int ne, int nbs, int64_t first, int64_t last) {
  LuMap& L = ctx.bas.map;
  L.first = first;
  L.last = last;
  L.m = m;
  L.nbs = nbs;

  // Integer arrays, in this order, two per word.  The three work arrays of
  // the factorization (jlist, jmark, imark) start after the part of jbucket
  // used by the matrix being factorized; room is kept for nbs rows.
  int64_t o = 1;
  L.oiperm = o; o += nbs;
  L.ojperm = o; o += m;
  L.olencol = o; o += m;
  L.olenrow = o; o += nbs;
  L.oloccol = o; o += m;
  L.olocrow = o; o += nbs;
  L.oibucket = o; o += m;
  L.ojbucket = o; o += nbs;
  o += m + m + nbs;  // jlist, jmark, imark
  L.nints = static_cast<int>(o - 1);
  L.ints = first;
  L.la = first + int_words(L.nints);

  // Each LU entry takes one double and two integers: two words.
  const int64_t R = last - L.la - 1;
  const int64_t lena = R / 2 - 1;
  L.lena = static_cast<int>(std::clamp<int64_t>(lena, 0, INT32_MAX));
  L.lindc = L.la + L.lena;
  L.lindr = L.lindc + int_words(L.lena);

  const int64_t perc = std::max<int64_t>(n > 0 ? ne / n : 0, 10);
  const int64_t E = static_cast<int64_t>(m) + n + 6 * perc * std::min<int64_t>(nbs, n) + 10000;
  const int64_t needed = (L.la - 1) + 2 * E;

  if (mode >= 3 && ctx.par.prtfile > 0 && L.lena > 0) {
    ctx.prt("");
    ctx.prt(strf(" Nonzeros allowed for in LU factors%9d", L.lena));
  }
  return needed;
}

}  // namespace tv
