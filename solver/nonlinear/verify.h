// Verification of the derivatives that the callbacks supply (m7chkg for the
// objective gradient, m8chkj for the Jacobian), made once before the first
// nonlinear iteration.
//
// Each check evaluates its callback with gradients at x, compares the
// supplied entries with difference quotients (a cheap test along one or two
// directions and, when the Verify level asks for it, an element-by-element
// test over a range of columns), writes a report to the print file, and sets
// ev.ierr: 7 (objective) or 8 (Jacobian) when the largest relative error of
// the element test is 1 or more, or the ierr of a failed evaluation.
// Entries the callback leaves at gdummy are not checked.  Scaling is off
// inside both checks; ev.scaleopt is restored on every return.
//
// Verify level: -1 no check and no evaluation; 0 cheap tests; 1 also the
// element test of the objective; 2 also that of the Jacobian; 3 both.
// Column ranges: jfirst is raised to 1, jlast lowered to nnobj (nnjac);
// an empty range leaves only the cheap test.
#pragma once

#include "nonlinear/evaluator.h"

namespace tv {

// Makes p usable for a difference step of length dx from x within [bl, bu]:
// p(j) = 0 where bl(j) = bu(j); a p(j) whose step leaves the bounds is
// reversed, or set to 0 when the reversed step leaves them too.  count =
// number of non-zero p(j) left.
void m7chkd(int n, CDvec bl, CDvec bu, CDvec x, double dx, Dvec p, int& count);

// Objective gradient.  x, bl, bu: the nnobj nonlinear objective variables
// (unscaled).  On return fobj and gobj hold f(x) and the supplied gradient
// (unknown entries = gdummy).  y, z: work, nnobj each.  gwork (nnobj,
// optional) takes the gradient argument of the calls that need no gradient.
// Returns ev.ierr.
int m7chkg(Evaluator& ev, int verlevel, int jfirst, int jlast, int nnobj, CDvec bl, CDvec bu,
           Dvec x, double& fobj, Dvec gobj, Dvec y, Dvec z, Dvec gwork = {});

// Jacobian.  x, bl, bu: the nnjac Jacobian variables (unscaled); ha, ka the
// matrix pattern.  On return fcon and gcon hold c(x) and the supplied
// Jacobian.  p (nnjac), f2 and jp (nncon each): work.  gwork (njac,
// optional) as for m7chkg.  Returns ev.ierr.
int m8chkj(Evaluator& ev, int verlevel, int jfirst, int jlast, int nncon, int nnjac, int njac,
           CIvec ha, CIvec ka, CDvec bl, CDvec bu, Dvec x, Dvec fcon, Dvec gcon, Dvec p, Dvec f2,
           Dvec jp, Dvec gwork = {});

}  // namespace tv
