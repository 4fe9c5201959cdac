// DECOM: sparse LU factorization of an m by n matrix, solves with the
// factors, and column-replacement updates.
//
// Everything works in caller storage.  The entry list and later the factors
// live in the triple a/indc/indr of length lena; the permutations, list
// lengths and starts, and the work arrays are separate 1-based views.  The
// package keeps nothing between calls: all it knows is in these arrays and
// in luipar/lurpar (30 slots each), and in the optional column index of U
// (LuColIndex) a caller may keep beside them for sparse U solves.
//
// Factors on exit of lu1fac (factors kept, luipar(8) = 1):
//   U   row iperm(k) of pivot k at a/indr(locrow(i) .. +lenrow(i)-1), diagonal
//       first, indr = column, indc = i (lets an update find the rows holding
//       a column);  rows packed from position 1, rowend = lenU.
//   L0  nlcols = luipar(20) columns packed against lena: column 1 ends at lena,
//       column 2 below it, ... with lencol(k) entries; each entry a = negated
//       multiplier, indc = row it changes, indr = pivot row.
//   Update entries of L (lu8rpc) are single entries below L0.
#pragma once

#include <cstdint>
#include <vector>

#include "core/array.h"

namespace tv {

class Units;

// The caller's arrays of the package.  Lengths: a, indc, indr lena;
// iperm, lenrow, locrow, iinv, imark m; jperm, lencol, loccol, jinv, jlist,
// jmark, wcol n; ibucket n; jbucket m.  lu6sol reads only a, indc, indr,
// iperm, jperm, lencol, lenrow, locrow; lu8rpc also uses loccol (n) as work.
struct LuArrays {
  Dvec a;
  Ivec indc, indr;
  Ivec iperm, jperm;
  Ivec lencol, lenrow;
  Ivec loccol, locrow;
  Ivec ibucket, jbucket;
  Ivec iinv, jinv;
  Ivec jlist, jmark, imark;
  Dvec wcol;
};

// The pattern of U by columns, for U solves whose right-hand side reaches
// few positions (lu6u): for each column j the rows that hold an entry in
// it, or held one since the index was built (a superset: entries that
// vanish in updates stay listed), and the inverse permutations.  Built by
// lu_index_build from fresh factors and kept by every lu8rpc it is passed
// to; `valid` is false when it no longer describes the factors (a failed
// update), and lu6u then solves by rows as without it.
struct LuColIndex {
  bool valid = false;
  std::vector<std::vector<int>> rows;  // rows[j], j = 1..n
  std::vector<int> ipos, jpos;         // iperm(ipos[i]) = i, jperm(jpos[j]) = j
  std::vector<int> mark, order, stack, starts;  // work of the reach (positions)
  int stamp = 0;
  // Recent results' share of nonzeros (kept across builds) of the U solves
  // and of the transposed ones: the reach is tried below 0.1, and the index
  // is not kept up when both are above 0.2.
  double density = 0.0, tdensity = 0.0;
  // luipar's update count, lenU and rowend when the index was last brought
  // up to date: factors changed without it do not match.
  int nupdat = -1, lenu = -1, lrow = -1;
  bool matches(Ivec luipar) const;
  void stamp_with(Ivec luipar);
};

// Build the index from the factors just left by lu1fac (luipar(8) = 1).
void lu_index_build(int m, int n, Ivec luipar, const LuArrays& f, LuColIndex& cx);

// Slots of luipar (integers) and lurpar (reals) by name.
namespace lup {
enum : int {
  nout = 1, lprint = 2, maxcol = 3, pivot = 6, keeplu = 8, inform = 10, nsing = 11, jsing = 12,
  lenneed = 13, nupdat = 15, nrank = 16, ndens1 = 17, ndens2 = 18, jumin = 19, numl0 = 20,
  lenl0 = 21, lenu0 = 22, lenl = 23, lenu = 24, lrow = 25, ncp = 26, mersum = 27, nutri = 28,
  nltri = 29, nslack = 30
};
}
namespace lur {
enum : int {
  ltol1 = 1, ltol2 = 2, small = 3, utol1 = 4, utol2 = 5, uspace = 6, dens1 = 7, dens2 = 8,
  amax = 10, lmax = 11, umax = 12, dumax = 13, dumin = 14, akmax = 15, growth = 16, resid = 20
};
}

// Pivoting rules (luipar(6)).
enum LuRule : int { lu_partial = 0, lu_rook = 1, lu_complete = 2, lu_symmetric = 3 };

// Factorize the nent entries given in a (values), indc (rows), indr
// (columns).  Result codes in inform and luipar(10):
//   0 factors obtained, 1 singular columns flagged (factors usable),
//   3 index out of range, 4 duplicate entry, 7 lena too small (luipar(13)
//   says how long), 8 internal inconsistency, 9 symmetric rule found no
//   diagonal pivot.
void lu1fac(Units& io, int m, int n, int& nent, int lena, Ivec luipar, Dvec lurpar,
            LuArrays& f, int& inform);

// Solves with the factors (modes 1..8, see lu6sol.cpp); v has m entries,
// w n.  Code 1 for modes 3..6 reports a nonzero residual of a rank-
// deficient U (lurpar(20)); the solution is still returned.
void lu6sol(int mode, int m, int n, Dvec v, Dvec w, int lena, Ivec luipar,
            Dvec lurpar, LuArrays& f, int& inform, LuColIndex* cx = nullptr);

// Individual solves (same arrays as lu6sol).
void lu6l(int m, int n, Dvec v, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform);
void lu6lt(int m, int n, Dvec v, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f, int& inform);
void lu6u(int m, int n, Dvec v, Dvec w, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f,
          int& inform, LuColIndex* cx = nullptr);
void lu6ut(int m, int n, Dvec v, Dvec w, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f,
           int& inform, LuColIndex* cx = nullptr);
void lu6ld(int mode, int m, int n, Dvec v, int lena, Ivec luipar, Dvec lurpar, const LuArrays& f,
           int& inform);

// Replace column jrep by a new column (mode1: 1 delete the old entries from
// U, 0 take them as absent; mode2: 0 empty new column, 1 v holds it, 2 v
// holds L^-1 times it).  v and w may be the same vector.  Codes: 0 rank
// unchanged, -1 rank dropped, 1 rank rose, 2 unstable (factors kept),
// 7 lena too small, 8 jrep out of range or an internal failure (refactorize).
void lu8rpc(Units& io, int mode1, int mode2, int m, int n, int jrep, Dvec v, Dvec w, int lena,
            Ivec luipar, Dvec lurpar, LuArrays& f, int& inform, double& diag, double& vnorm,
            LuColIndex* cx = nullptr);

}  // namespace tv
