// Vector and matrix kernels shared by the whole solver.
//
// Vectors are 1-based views with a count and, where stated, an increment in
// the BLAS manner (a negative increment walks from the far end).  A count
// <= 0 leaves the output untouched.
#pragma once

#include "core/array.h"
#include "core/problem.h"

namespace tv {

class Units;

// ---- vector kernels ---------------------------------------------------------
void dload(int n, double value, Dvec x, int incx);
void iload(int n, int value, Ivec x, int incx);
void icopy(int n, CIvec x, int incx, Ivec y, int incy);
void ddscl(int n, CDvec d, int incd, Dvec y, int incy);   // y(i) = d(i) * y(i)
void dddiv(int n, CDvec d, int incd, Dvec y, int incy);   // y(i) = y(i) / d(i)
double dnormi(int n, CDvec x, int incx);                   // max |x(i)|
double dnorm1(int n, CDvec x, int incx);                   // sum |x(i)| / sqrt(n)

// ---- matrix kernels (columns of a/ha/ka; variable j > n is slack j-n) -------
// y(1..m) = column j.
void m2unpk(int j, int m, int n, CDvec a, CIvec ha, CIvec ka, Dvec y);
// Products with the basic/superbasic columns (m2apr1, modes 1..4) or all
// columns (m2apr5, modes 5..7), dropping multipliers of magnitude tol or
// less (callers pass eps^0.8).
void m2apr1(int mode, int m, int n, double tol, CDvec a, CIvec ha, CIvec ka, CIvec kbs, CDvec x,
            int count, Dvec y);
void m2apr5(int mode, int n, int nncon, int nnjac, double tol, CDvec a, CIvec ha, CIvec ka, CDvec x,
            Dvec y);
// Reduced costs of the columns j1..j2 that are nonbasic (hs <= 1).
void m2rcn(int j1, int j2, bool feasible, int nnl, CDvec a, CIvec ha, CIvec ka, CIvec hs, CDvec g,
           CDvec pi, Dvec rc);
// Reduced costs of all variables; when feasible and nnl > 0 add factor * g to
// rc(1..nnl); when infeasible add the phase-1 costs (-1 below, +1 above the
// bounds by more than tol) for every basic or superbasic variable.
void m2rca(bool feasible, double tol, double factor, int m, int n, int nnl, CDvec a, CIvec ha,
           CIvec ka, CIvec hs, CDvec bl, CDvec bu, CDvec g, CDvec pi, Dvec rc, CDvec x);
// Largest bound violation max(bl - x, x - bu) over 1..nb and its index (0 when none > 0).
void m2binf(int nb, CDvec x, CDvec bl, CDvec bu, double& infmax, int& jmax);
// Largest dual infeasibility over the variables with bl < bu, leaving out j.
void m2dinf(int nb, int j, CDvec bl, CDvec bu, CDvec rc, CDvec x, double& infmax, int& jmax);
// mode 1 scatter xn(kbs(k)) = xbs(k); other modes gather.
void m5bsx(int mode, int count, CIvec kbs, Dvec xbs, Dvec xn);
// Row sign flip for callers whose slacks are the row activities.  mode 1 on
// the way in; mode 2 on the way out (also negates the slacks' rc).
void m2swap(int mode, int m, int n, Dvec bl, Dvec bu, Ivec hs, Dvec xn, Dvec rc);

// ---- export -------------------------------------------------------------------
// Columns of A and selected slacks for the units 91 (all columns), 92 (basic
// columns and slacks), 93 (basic and superbasic ones); other units write nothing.
void m2xmat(Units& io, int unit, const Problem& P);
// The small solution file: three header lines, then state and two reals per variable.
// objsense is 1 for minimizing, -1 for maximizing.
void m2xsol(Units& io, int unit, const Problem& P, int objsense, int inform, double objval, int ninf,
            double sinf);

}  // namespace tv
