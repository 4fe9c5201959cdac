// The reduced-gradient iteration and its pieces.
//
// The variables are basic (kbs(1..m), the columns of B), superbasic
// (kbs(m+1..m+ns), free to move between their bounds) and nonbasic.  One
// iteration moves the superbasics along p = -H^-1 rg, H = R'R the
// quasi-Newton model of the reduced Hessian (m6hess.h), the basics along
// -B^-1 S p so that the rows stay satisfied, and searches along that
// direction for a sufficient decrease of the subproblem objective F
// (nonlinear_state.h).
//
// Lists in kbs order (positions 1..m basic, m+1..m+ns superbasic): values
// xbs, bounds blbs/bubs, gradients grd; rg(1..ns) the reduced gradient.
#pragma once

#include "core/array.h"
#include "core/problem.h"
#include "nonlinear/m6hess.h"
#include "nonlinear/seams.h"

namespace tv {

struct Context;
struct Evaluator;
struct Linearization;

// ---- kernels ---------------------------------------------------------------------
// rg(k) = grd(m+k) - a(kbs(m+k))' pi for k = 1..ns (a slack's column is the
// unit vector of its row).  Returns rgnorm = max |rg(k)| (0 when ns = 0).
double m7rg(int m, int ns, int n, CDvec a, CIvec ha, CIvec ka, CIvec kbs, CDvec grd, CDvec pi,
            Dvec rg);

// Gradient of F in kbs order over `count` positions: grd(k) = g(kbs(k)) for
// a nonlinear column (kbs(k) <= nnl), the objective row's gradient objgrad
// for its slack jobj, 0 otherwise.
void m7bsg(int count, int nnl, CIvec kbs, CDvec g, Dvec grd, int jobj, double objgrad);

// Search direction over the ns superbasics.  With useR: v solves R'v = rg
// and p = -R^-1 v = -H^-1 rg (v is kept for the BFGS update); else p = -rg.
void m7sdir(int hdim, int ns, CDvec r, CDvec rg, Dvec v, Dvec p, bool useR);

// Superbasic to replace the basic variable of row r of B^-1 (y, m entries:
// B'y = e_r).  w(1..ns) = S'y; among the superbasics whose |w| is at least
// 0.1 of the largest, the one farthest from its nearer bound (the last on
// ties).  Returns its position (1..ns), or 0 when the largest |w| is below
// pivtol (with the XXX line on iprint).  With formR, w is turned into the
// vector of the R update (m6bswp): w(q) -= 1, w *= -1/w_old(q); the pivot
// w_old(q) goes to `pivot`.
int m7chzq(Units& io, int iprint, int m, int ns, int n, CDvec a, CIvec ha, CIvec ka, CIvec kbs,
           CDvec xbs, CDvec blbs, CDvec bubs, CDvec y, double pivtol, bool formR, Dvec w,
           double& pivot);

// ---- evaluation of F ------------------------------------------------------------
// F at the point x (the first nnobj entries are passed to funobj): f with
// `mode` (0 value, 2 value and the known gradient entries into g), then
// F = sense * (f - sobj * objscale), sobj the value of the objective row's
// slack (0 when there is none).  False when the evaluation failed (ev.ierr).
// With nonlinear constraints (lin active) funcon is called first, into
// lin->fcon/gcon, or into fcon2/gcon2 for a trial point, and F takes the
// augmented-Lagrangian terms (linearization.h).
bool m6fun(Evaluator& ev, int mode, int nnobj, Dvec x, double sobj, double sense, double objscale,
           double& f, Dvec g, double& F, Linearization* lin = nullptr, bool trial = false);

// Gradient of F over the nnl nonlinear columns into gsub: the entries of g
// still unknown (gdummy) are estimated first by differences at x (gwork
// takes the callback's gradient argument meanwhile), then gsub = sense * g,
// 0 beyond nnobj.  False when an evaluation failed.
// With lin active the unknown Jacobian entries of lin->gcon are estimated
// too, and gsub takes (J - Jk)'(rhoeff dl - lambda).
bool m6grd(Evaluator& ev, int nnobj, int nnl, double f, Dvec g, Dvec x, Dvec gwork, double sense,
           Dvec gsub, Linearization* lin = nullptr);

// ---- line search ------------------------------------------------------------------
// Search along the direction y over the count = m + ns positions of kbs from
// the point xbs (F(x) = f0, F's slope g'p = gtp), for a step in (0, alfmax].
// Trial points are written to xn; F is evaluated through m6fun (the cubic
// search also takes the slope from the trial gradient, collected in gobj2).
// On return the point in xn is x + alfa p, and unless nothing was gained
// (alfa = 0) gobj, fobj and gsub belong to it.
struct SearchCall {
  bool cubic = true;      // every derivative supplied: cubic search with gradients
  double f0 = 0.0, gtp = 0.0;
  double alfmax = 0.0;    // largest step
  double alfa = 1.0;      // first trial
  double xnorm = 0.0, pnorm = 0.0, gnorm = 0.0;
  bool fwddif = false;    // forward differences in use with estimated entries
  bool debug = false;     // debug output ("Linesearch debug after")
};
struct SearchOutcome {
  int inform = 0;         // as srchc/srchq; -1 a callback asked to stop (ev.ierr = 6)
  double alfa = 0.0;      // accepted step
  double f = 0.0;         // F there
  double fobj = 0.0;      // f there
  int numf = 0;           // evaluations of the last search
};
SearchOutcome m6srch(Context& ctx, Problem& P, int count, CDvec y, const SearchCall& call);

// ---- the iteration ----------------------------------------------------------------
// One reduced-gradient iteration (see m7rgit.cpp): ns may change; the result
// tells the main loop what to do next, and inform ends the run (2, 5, 6, 9,
// 11).
RgResult m7rgit(Context& ctx, Problem& P, int& ns);

// Subspace convergence test (xconv, fconv, gconv into ctx.nl), with the
// exchange of superbasics between the triangle of R and its diagonal part
// when ns > hdim.  Returns 3 converged or 4 continue.
int m7sscv(Context& ctx, Problem& P, int ns, double alfa, double pnorm, double xnorm, double f,
           double fold, double rgnorm);

}  // namespace tv
