// Internal routines of the LU package and the state of one factorization.
// Not for callers outside solver/lu (tests use it to reach the pieces).
#pragma once

#include <cmath>
#include <cstdint>

#include "lu/lu.h"

namespace tv {

// State of one lu1fac call.  Lives on the caller's stack; every array is a
// view of caller storage.
struct LuFac {
  LuFac(Units& u, LuArrays& arrays, Ivec luipar, Dvec lurpar) : io(u), f(arrays), ip(luipar), rp(lurpar) {}
  Units& io;  // messages go to unit luipar(1)
  LuArrays& f;
  Ivec ip;   // luipar
  Dvec rp;   // lurpar
  int m = 0, n = 0;
  int lena = 0;    // full length of a/indc/indr
  int lenu = 0;    // usable length (below rowmax or the heap)
  int nout = 0, lprint = -1;
  int rule = lu_partial;
  bool keep = true;
  double small = 0.0, ltol = 1.0001;
  int nelem = 0;   // entries kept after lu1or1
  int colend = 0, rowend = 0;
  int facbot = 0;  // lowest used position of the stored factors (keep), else start of the diagonals
  int64_t lastc = 0, lastr = 0;  // file lengths after their last compression
  int lenl = 0, lenuu = 0;       // lenL and lenU
  int nslack = 0, nrank = 0;
  int nutri = 0, nltri = 0, ndens1 = 0, ndens2 = 0;
  int64_t mersum = 0;
  int mark = 0;
  int nmove = 0;   // heap moves (summed, not printed)
  bool debug_started = false;
  double amax = 0, lmax = 0, umax = 0, dumax = 0, dumin = 0, akmax = 0;
  // Rook: row maxima at the top of a.  Complete: heap at the top of a/indc/indr.
  Dvec rowmax;
  Dvec hkey;
  Ivec hcol, hpos;
  int hlen = 0;
  int lenneed = 0;
};

// Messages to the package's unit at a given print level.
bool lu_prints(const LuFac& s, int level);

// Preparation steps.
int lu1or1(LuFac& s, int& nent, int& lerr);
void lu1or2(LuFac& s);
int lu1or3(LuFac& s, int& lerr);
void lu1or4(LuFac& s);
void lu1pq1(int m, int n, Ivec len, Ivec iperm, Ivec loc, Ivec inv);
void lu1slk(LuFac& s);

// Elimination.
int lu1fad(LuFac& s);
int lu1ful(LuFac& s, int nrowu, int mrem, int nrem);
void lu1dpp(double* d, int mrem, int nrem, double small, int& nrankd, Ivec ipr, Ivec jpc);
void lu1dcp(double* d, int mrem, int nrem, double small, int& nrankd, Ivec ipr, Ivec jpc);
void lu1pq3(int n, Ivec len, Ivec perm, Ivec work, int& nrank);
int pack_factors(LuFac& s);
void lu6chk(LuFac& s, int mode, int& nsing, int& jsing, int& jumin);

// Compression of a file of nlist lists (lengths len, starts loc, indices
// ind with 0 marking a free slot, values a when reals).  Lists with len < 0
// are finished and ignored.  Empty lists get one free slot at the new end
// when that stays within limit.  Returns the new end.
int lu1rec(Units& io, Ivec luipar, int nlist, bool reals, Ivec len, Ivec loc, int lend,
           Ivec ind, Dvec a, int limit, bool give_empty);

// Markowitz searches (partial/complete, rook, symmetric) and maxima.
void lu1mar(LuFac& s, bool tcp, double cptol, int ncsrch, int nrsrch, double& abest, int& ibest,
            int& jbest, int& mbest);
void lu1mrp(LuFac& s, int ncsrch, int nrsrch, double& abest, int& ibest, int& jbest, int& mbest);
void lu1msp(LuFac& s, int ncsrch, double& abest, int& ibest, int& jbest, int& mbest);
void lu1mxc(int k1, int k2, Ivec jperm, Dvec a, Ivec indc, Ivec lencol, Ivec loccol);
void lu1mxr(LuFac& s, int mark, int k1, int k2, Ivec rows);

// Max-heap of keys ha with column hj and inverse hk (hk(hj(k)) = k).
void hbuild(Dvec ha, Ivec hj, Ivec hk, int nk, int& nmove);
void hinsert(Dvec ha, Ivec hj, Ivec hk, int& nk, double v, int jv, int& nmove);
void hup(Dvec ha, Ivec hj, Ivec hk, int k, int& nmove);
void hdown(Dvec ha, Ivec hj, Ivec hk, int nk, int k, int& nmove);
void hchange(Dvec ha, Ivec hj, Ivec hk, int nk, int k, double v, int jv, int& nmove);
void hdelete(Dvec ha, Ivec hj, Ivec hk, int& nk, int k, int& nmove);

// Update pieces.
void lu7cyc(int kfirst, int klast, Ivec perm);

// One row of the U solve, from position nrank down: the result at the row's
// pivot from t = v(i) less the row's entries times the results already in w
// (the diagonal comes first in the row); 0 when what is left is small.
inline double lu6u_row(const LuArrays& f, int i, double t, Dvec w, double small) {
  const int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
  for (int l = l1 + 1; l <= l2; ++l) t -= f.a(l) * w(f.indr(l));
  return std::fabs(t) <= small ? 0.0 : t / f.a(l1);
}

// One row of the U' solve, from position 1 up: t = w at the row's pivot
// column; unless small, the result t / diagonal, passed on to w along the
// row's other entries.  Returns the result (0 when small).
inline double lu6ut_row(const LuArrays& f, int i, double t, Dvec w, double small) {
  if (std::fabs(t) <= small) return 0.0;
  const int l1 = f.locrow(i), l2 = l1 + f.lenrow(i) - 1;
  t /= f.a(l1);
  for (int l = l1 + 1; l <= l2; ++l) w(f.indr(l)) -= f.a(l) * t;
  return t;
}

// The column index: the inverse permutations again over positions k1..k2
// (after an update moved them), and the U solve by the reach of v through
// the index; false (nothing done) when the reach is too large to pay.
void lu_index_positions(const LuArrays& f, int m, int n, int k1, int k2, LuColIndex& cx);
bool lu6u_reach(int m, int n, Dvec v, Dvec w, Ivec luipar, Dvec lurpar, const LuArrays& f, LuColIndex& cx);
bool lu6ut_reach(int m, int n, Dvec v, Dvec w, Ivec luipar, Dvec lurpar, const LuArrays& f, LuColIndex& cx);
// The share nnz / nrank of a result enters a running density of the index.
void lu_index_density(double& density, int nnz, int nrank);

}  // namespace tv
