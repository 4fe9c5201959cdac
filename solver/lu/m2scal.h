// Scaling of the matrix, bounds, levels and multipliers.
//
// sc(1..n) are the column scales c(j), sc(n+1..n+m) the row scales r(i) (the
// scale of the slack of row i).  With them
//     a(i,j) = r(i) * scaled a(i,j) / c(j),   x(j) = c(j) * scaled x(j),
// a slack is held as value / r(i), and pi(i) as pi(i) * r(i).
#pragma once

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// Compute the scales sc(1..nb) of the unscaled problem P and print the
// report.  rowtype(1..m): 0 equality, 1 inequality, 2 free (from m2amat).
// rmin, rmax: work vectors of length >= m (row minima and maxima; rmin also
// holds the row norms of the bound normalization).  Uses ctx.par.scaleopt
// (1 linear part only, otherwise everything plus bound normalization),
// scaletol, scaleprt, feastol.
void m2scal(Context& ctx, const Problem& P, CIvec rowtype, Dvec sc, Dvec rmin, Dvec rmax);

// mode 1: scale a, bl, bu, xn, pi in place and set the objective row scale
// ctx.run.objscale.  Any other mode: remove the scales (the exact inverse
// up to rounding) and set the objective row scale to 1.
// Mode 1 first makes sc safe for the bounds of P (see safe_scales), so it may
// raise some entries of sc; unscaling then uses the same values.
void m2scla(Context& ctx, int mode, Problem& P, Dvec sc);

// Keep every finite bound recognisably finite while scaled: a scale below 1
// that would carry a finite bound beyond 0.8 * infbnd is raised (to at most
// 1); a scale that is not a positive finite number becomes 1.  Returns the
// number of scales changed.  Called by m2scal and m2scla.
int safe_scales(const Problem& P, Dvec sc, double infbnd);

// Reduced costs of the scaled problem to those of the unscaled one:
// rc(j) /= sc(j), j = 1..nb.
void unscale_rc(int nb, CDvec sc, Dvec rc);

}  // namespace tv
