// Small routines of the nonlinear-constraint work that need no solver
// context: the random numbers of the starting Jacobian and the sign rules
// of the multiplier estimates.
#pragma once

#include "core/array.h"

namespace tv {

// n uniform numbers in [0, 1) into x(1), x(1+incx), ..., from the three
// seeds ix, iy, iz, which are advanced (the stream continues on the next
// call).  Seeds outside their ranges are first reduced modulo 30269, 30307
// and 30323.
void m8rand(int& ix, int& iy, int& iz, int n, Dvec x, int incx);

// Seeds of the random Jacobian.
constexpr int kJacSeed1 = 1547, kJacSeed2 = 2671, kJacSeed3 = 3770;

// Sign rules for the multipliers lambda(1..nncon) of the nonlinear rows,
// hs(i) the state of row i's slack: at its lower bound (0) a multiplier
// keeps min(lambda, 0), at its upper bound (1) max(lambda, 0), otherwise
// its value; then every value is clamped to [-bound, bound].
void m8chkm(int nncon, double bound, CIvec hs, Dvec lambda);

}  // namespace tv
