// The reduced-Hessian factor R (H = R'R) of the reduced-gradient iteration.
//
// Storage (the vector r, lenr = hdim(hdim+1)/2 + (maxs - hdim) words):
//   * words 1 .. hdim(hdim+1)/2 hold the upper triangle by rows, every row at
//     its full length: row i holds R(i,i), R(i,i+1), ..., R(i,hdim);
//   * word hdim(hdim+1)/2 + k holds the diagonal d(hdim+k) of the superbasic
//     in position hdim + k; those superbasics have no off-diagonal entries.
// Only the leading nr = min(ns, hdim) rows and columns of the triangle are in
// use.  Superbasic j is column j of R, in the order of the superbasic lists.
// hdim may be 0: then every superbasic has a diagonal entry only.
//
// Whether R must be reset to the identity is a flag of the caller (`reset`),
// not a value stored in R: with hdim = 0 the first word of r is a diagonal
// entry, so no word of r can carry the request.
//
// These routines take only explicit arguments; the caller supplies the
// machine tolerances (eps^0.5 and eps^0.8 of the build).
#pragma once

#include "core/array.h"

namespace tv {

class Units;

// Word of R(i,j), 1 <= i <= j <= hdim.
inline int m6rloc(int hdim, int i, int j) {
  return (i - 1) * hdim - (i - 1) * (i - 2) / 2 + (j - i + 1);
}
// Word of the diagonal entry of superbasic j > hdim.
inline int m6dloc(int hdim, int j) { return hdim * (hdim + 1) / 2 + (j - hdim); }
// Length of the storage of R.
inline int m6rlen(int hdim, int maxs) { return hdim * (hdim + 1) / 2 + (maxs - hdim); }

// The superbasic lists: superbasic k (k = 1..ns) is kbs(m+k), with value
// xbs(m+k), bounds blbs(m+k) and bubs(m+k), gradient grd(m+k) and reduced
// gradient rg(k).  An empty view is left alone.
struct SbLists {
  int m = 0;
  Ivec kbs;
  Dvec xbs, blbs, bubs, grd;
  Dvec rg;
};

// Reset or rescale R for ns superbasics.  With `reset` on: the leading nr
// rows become the identity, every diagonal-only entry d(hdim+1..ns) becomes
// 1, condr = 1 and `reset` is turned off.  Otherwise every column j of the
// triangle is scaled by 1/sqrt(|R(j,j)|), condr = dmax/dmin of the old
// diagonal, and " Hessian modified.  CondR =%8.1E" goes to unit iprint; a
// triangle with a zero diagonal cannot be rescaled and is reset instead.
void m6rset(Units& units, int iprint, int hdim, int ns, Dvec r, bool& reset, double& condr);

// Solve with R in place in y(1..ns): mode 1 R x = y, mode 2 R'x = y.  The
// diagonal-only superbasics are a single division by d(j).
void m6rsol(int mode, int hdim, int ns, CDvec r, Dvec y);

// dmax, dmin: largest and smallest |R(j,j)|, j = 1..nr; cond = (dmax/dmin)^2
// (DBL_MAX when dmin is 0).  With nr = 0: dmax = dmin = cond = 1.
void m6rcnd(int hdim, int ns, CDvec r, double& dmax, double& dmin, double& cond);

// A superbasic was appended (ns already counts it): its column of R is a
// unit column, or its diagonal entry is 1 beyond hdim.
void m6radd(int hdim, int ns, Dvec r);

// Superbasic jq (1..ns) leaves the set: with `update` on R loses row and
// column jq (restored to triangular form by plane rotations; when ns > hdim
// and jq <= hdim the superbasic at hdim + 1 enters the triangle with its
// diagonal value), and the lists in L are shifted down from position jq.
// Deleting jq = ns moves nothing.  The caller decreases ns afterwards.
void m6rdel(int hdim, int ns, int jq, Dvec r, bool update, const SbLists& L);

// When ns > hdim + 1: bring the diagonal-only superbasic with the largest
// |rg| (L.rg) to position hdim + 1, exchanging it in every list and in R.
void m6swap(int hdim, int ns, Dvec r, const SbLists& L);

// Rank-one modification: R becomes the triangular factor of
// (R + v w')'(R + v w') over the leading nr rows, where v is zero beyond
// lastv apart from a tail of 2-norm delta outside the triangle (lastv =
// nr + 1 carries that tail; lastv <= nr uses v(lastv) and ignores delta).
// v(1..nr) is overwritten.  Rotations of elements at or below tolrot are
// skipped.  inform = 1, or 2 when |R(lastv,lastv)| <= toldia.
void m6rmod(int hdim, int nr, Dvec r, Dvec v, CDvec w, int lastv, double delta, double toldia,
            double tolrot, int& inform);

// BFGS update after the step alfa*p from reduced gradient g to g2 over the
// first `ns` superbasics (all of them, or hdim when the diagonal part stays
// fixed).  v on entry is the vector of the direction solve, v = -R p
// (R'v = g); it is overwritten.  w is a work vector of length ns.
// inform = 0: no update (curvature g2'p <= 0.91 g'p, or a step that gives no
// usable curvature); 1 updated; 2 updated but the triangle is nearly
// singular.  A diagonal entry whose square would not stay positive is reset
// to 1.  eps050, eps080: eps^0.5 and eps^0.8.
void m6bfgs(int hdim, int ns, Dvec r, CDvec g, CDvec g2, CDvec p, Dvec v, Dvec w, double alfa,
            double eps050, double eps080, int& inform);

// Superbasic jq (<= nr) became basic: R becomes the triangular factor of
// R + (R e_jq) w'.  v is a work vector of length nr.  inform as m6rmod.
void m6bswp(int hdim, int nr, Dvec r, Dvec v, CDvec w, int jq, double eps050, double eps080,
            int& inform);

}  // namespace tv
