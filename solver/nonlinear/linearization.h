// The linearized constraints of a major iteration as the subproblem
// objective sees them.
//
// With nonlinear constraints f(x) (rows 1..nncon, Jacobian columns
// 1..nnjac) the subproblem of a major iteration holds the linearization
// fbar = fk + Jk (x - xk) in its rows and minimizes the augmented Lagrangian
//
//   F(x) = sense * (f0(x) - s_obj * objscale) - lambda'dl + 0.5 rhoeff dl'dl,
//   dl   = f(x) - fbar,
//
// whose gradient adds (J(x) - Jk)'(rhoeff dl - lambda) over the Jacobian
// columns.  Jk is the matrix's own Jacobian block (column by column, in the
// order of gcon).  Every vector here is a view of a workspace region.
#pragma once

#include "core/array.h"

namespace tv {

struct Evaluator;

struct Linearization {
  int nncon = 0, nnjac = 0, njac = 0;
  bool lagrangian = true;   // "Lagrangian": the constraints are part of F
  CIvec ha, ka;             // the matrix pattern
  CDvec a;                  // matrix values: Jk in the Jacobian block
  CDvec xk;                 // the point of the linearization (nnjac at least)
  CDvec fk;                 // f(xk)
  CDvec lambda;             // multiplier estimates (nncon)
  double rhoeff = 0.0;      // penalty weight; 0 switches the quadratic term off
  Dvec fcon, gcon;          // f and J at the current point
  Dvec fcon2, gcon2;        // f and J at a trial point of the line search
  Dvec dl;                  // work: f - fbar (nncon)

  // The constraints take part in F during the minor iterations.
  bool active() const { return nncon > 0 && lagrangian; }
};

// dl = fc - fk - Jk (x - xk).
void m8dl(const Linearization& L, CDvec x, CDvec fc, Dvec dl);

// The constraint terms of F at x, given f(x) = fc: -lambda'dl + 0.5 rhoeff
// dl'dl (dl left in L.dl).
double m8lagf(Linearization& L, CDvec x, CDvec fc);

// g(1..nnjac) += (gc - Jk)'(rhoeff dl - lambda), dl = L.dl as left by m8lagf
// or m8dl for the same point.
void m8lagg(const Linearization& L, CDvec gc, Dvec g);

}  // namespace tv
