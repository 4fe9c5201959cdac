// Basis factorization manager: the single door between the iteration core
// and the LU package.
//
// Solve vectors.  Every request takes two vectors v and w (views of at least
// m entries; the main loop passes the regions y and y2):
//   0  factorize B (m by m), factors kept.  w is not used; the region y holds
//      `wcol` of the factorization afterwards (read by m2sing), y2 is integer
//      work space (iinv, jinv) during the call.
//   1  v <- L^-1 v.
//   2  FTRAN: v <- L^-1 v, then w <- U^-1 v.  v keeps L^-1 times its value on
//      entry, which request 4 needs: to bring column aq into the basis, unpack
//      aq into y2, call request 2 with (y2, y) so that y gets B^-1 aq, and
//      later request 4 with (y2, ...).
//   3  BTRAN: w <- B'^-1 v; v is destroyed.
//   4  replace basis column jrep by the column whose L^-1 image is in v
//      (left there by the last request 2); a nonzero result of the update
//      sets demand = 7.  Adds 1 to the update count.
//   8  factorize (B S)' (m + ns rows, m columns) for a BS re-choice; factors
//      not kept.
// The result code of the LU package is returned (and kept in luipar(10)).
#pragma once

#include "core/array.h"
#include "core/problem.h"
#include "lu/lu.h"

namespace tv {

struct Context;

// Requests of m2bsol (see above).
enum : int {
  kFactorB = 0,   // factorize B, factors kept
  kSolveL = 1,    // v <- L^-1 v
  kFtran = 2,     // v <- L^-1 v, w <- U^-1 v
  kBtran = 3,     // w <- B'^-1 v
  kReplace = 4,   // replace basis column jrep
  kFactorBS = 8,  // factorize (B S)', factors not kept
};

// The LU arrays inside the workspace for a matrix of nrows rows and ncols
// columns (iinv and jinv are left empty: they live in y2 only during lu1fac).
LuArrays lu_arrays(Context& ctx, int nrows, int ncols);

int m2bsol(Context& ctx, int request, Dvec v, Dvec w, int jrep = 0, int ns = 0);

// The FTRAN request of m2bsol (v := L^-1 v, w := U^-1 v) for a caller that
// knows vmax, the largest |v(i)|: the L solve drops what is below a
// tolerance relative to it.
int m2ftran(Context& ctx, Dvec v, Dvec w, double vmax);

// Extract the basis into the LU entry list: "B " the m basic columns of
// kbs(1..m) (column i of B is variable kbs(i); 0 leaves column i empty);
// "BS" the transpose of the m + ns columns (rows of the list are positions
// of kbs, columns are constraint rows; rows whose slack is listed take only
// that slack's entry).  Returns the entry count (also in ctx.bas.map.nent);
// nothing is written beyond lena (the caller checks the count against lena).
int m2belm(Context& ctx, bool bs, const Problem& P, CIvec kbs, int ns);

// After request 8: reorder kbs(1..m+ns) so that the pivot rows come first
// (basic) and the rest become superbasic.  Returns nexch, the variables that
// became superbasic without being superbasic before.
int m2newb(Context& ctx, Problem& P, int ns);

// After a singular factorization: every basis column flagged singular leaves
// the basis (to a bound, or between its bounds) and the slack of the row
// without a pivot enters.  Returns the number of slacks inserted.
int m2sing(Context& ctx, Problem& P);

// A factorization of the current basis (m2bfac) and what the manager needs
// of the loop's position for its Factor lines.
struct FactorRequest {
  const char* factype = "B ";  // "B " plain, "BS" re-choose B and S first, "BT" plain with the re-choice test
  bool gotfac = false;         // the factors kept from before may serve (when nothing demands a new one)
  bool again = false;          // the kept factors failed the row check: factorize now, within the same count
  int crashuse = 0;            // the crash mode in force (the main loop's start value)
  int itn = 0, ninf = 0;
  double sinf = 0.0;           // shown while infeasible
  double objective = 0.0;      // shown while feasible
};

// What the factorization changed besides the factors.
struct FactorResult {
  int ierr = 0;       // 0, or 20, 21, 22, 32 (the EXIT line is printed)
  bool made = false;  // a factorization was made (false: the kept factors serve)
  int nexch = 0;      // variables a BS re-choice made superbasic
  int nsbdrop = 0;    // superbasics the singular-basis repair made basic (they left kbs(m+1..))
  // The superbasic set changed: a reduced-Hessian factor no longer fits it.
  bool superbasics_changed() const { return nexch > 0 || nsbdrop > 0; }
};

// Factorize the current basis, repairing it when singular and re-choosing
// the basic and superbasic sets when asked.  On success kbs(1..m) lists the
// basic variables (slacks first, 0 for an empty position) consistent with a
// nonsingular factorization, kbs(m+1..m+ns) the superbasics, demand and
// the update count are 0.  The caller recomputes the basic variables (and
// calls again with `again` when the kept factors fail), then basis_bounds.
FactorResult m2bfac(Context& ctx, const FactorRequest& rq, Problem& P, int& ns);

// Bounds of the basic and superbasic variables in kbs order into blbs and
// bubs; with crashuse 3 the slacks of the inequality rows are free there.
// At Debug level 100 the values in kbs order are printed.
void basis_bounds(Context& ctx, Problem& P, int ns, int crashuse);

// Clear the counters of the manager at the start of a solve (nfactor, and
// through it umin and nbfac).
void basis_manager_start(Context& ctx);

}  // namespace tv
