// Start of the nonlinear variables that the caller gave a value (a Cold start
// without a basis file).
#pragma once

#include "core/array.h"

namespace tv {

// Values of the option "Start assigned nonlinears".
enum : int {
  kNlStartEligible = 1,    // offered to the crash like any other column
  kNlStartSuperbasic = 2,  // superbasic at the given value (default)
  kNlStartBasic = 3,       // preferred by the crash
  kNlStartNonbasic = 4,    // nonbasic at the nearer bound
};

// A nonlinear column is "assigned" when its value lies inside its bounds by
// more than tol; a free column (both bounds infinite, |bound| >= bigbnd) when
// its value is nonzero.  Columns 1..nnl of hs (external form) and xn are
// changed before the crash so that the crash and the start of the iterations
// respect the caller's point:
//   Superbasic: hs = 2, which the crash passes over and the basis check turns
//     into the superbasic list, for as many columns as the Superbasics limit
//     leaves room for (maxs less the superbasics already in hs); the rest
//     stay eligible.
//   Basic: hs = 3, which the crash reads as a preferred column.
//   Nonbasic: xn moves to the nearer finite bound (a free column keeps its
//     value) and hs = 4 holds the column out of the crash; the basis check
//     turns it back into an ordinary nonbasic state.
// Eligible, and any other value, changes nothing.  Returns the number of
// columns changed.
int m4nlst(int nlstart, int nnl, int maxs, double tol, double bigbnd, CDvec bl, CDvec bu, Dvec xn,
           Ivec hs);

}  // namespace tv
