// The augmented-Lagrangian service routines of nonlinear constraints
// (m8augl and its jobs, m8rc, m8cinf, m8dinf, m8prtj) and the state of the
// major iterations.
//
// Slack convention: a nonlinear row reads f(x) + (linear terms) + s = 0, so
// its slack's bounds are the negated row bounds.  In a subproblem the row is
// linearized: Jk x + (linear terms) + s = r with r = Jk xk - fk.
#pragma once

#include <string>

#include "core/array.h"

namespace tv {

class Units;

// State of the major iterations, kept for one run.
struct AugLagState {
  // Counters of m8augl.
  int npenalty = 0;        // penalty increases by job 4 since job 0
  int nrhsp = 0;           // right-hand-side perturbations in this major iteration
  double sinf0 = 0.0;      // sum of infeasibilities at the first perturbation

  // Major-iteration control (m8setj).
  double penmax = 0.0, penmin = 0.0;   // limits of the penalty parameter
  double prbest = 1e20, dubest = 1e20, pdbest = 1e20;
  double prinf = 0.0, duinf = 0.0;     // at the last accepted point
  double prinfn = 0.0, duinfn = 0.0;   // normalized
  int iprinf = 0, jduinf = 0;          // where they occur
  double dxmax = 0.0, dxnorm = 0.0, dlmax = 0.0, dlnorm = 0.0;
  double step = 0.0;                   // damping step of the last major iteration
  int nconv = 0;                       // consecutive major iterations within the tolerances
  int nunchanged = 0;                  // consecutive ones whose Jacobian variables did not change
  bool optsub = false;                 // the last subproblem ended optimal (kept by the main loop)
  bool fullstep_ok = false;            // m8srch: the full step made nothing much worse
  bool newbest = false;                // prinf + duinf is a new best
  int nswap = 0;                       // basis swaps (for the log)
  int majlines = 0;                    // major lines since the last summary heading
  bool headdue = true;                 // the print-file heading is due
  int minors = 0;                      // minor iterations of the last subproblem
  bool saved = false;                  // the caller's bounds of the nonlinear rows are saved
};

// The arrays m8augl works on.  Views of the problem arrays and of the
// workspace; nb = n + m variables, slack of row i is n + i.
struct AuglViews {
  Dvec fcon, fcon2, fk, dl, blsave, busave;  // nncon each
  Dvec rhs;                                  // r of the nonlinear rows
  Dvec lambda;                               // multipliers (nncon)
  Dvec gcon, gcon2, gspare;                  // njac each
  Dvec xk;                                   // reference point, nb
  Dvec work;                                 // second full-length vector, nb
};

// What the jobs of m8augl need besides the views.
struct AuglJob {
  int n = 0, nb = 0, nncon = 0, nnjac = 0, njac = 0;
  Dvec a;                   // matrix values (Jacobian block read and written)
  CIvec ha, ka;
  Dvec bl, bu, xn;          // bounds and values of all nb variables
  Ivec hs;                  // state codes (internal form)
  double* penalty = nullptr;  // working penalty parameter (jobs 4)
  bool lagrangian = true;
  double sinf = 0.0;        // current sum of infeasibilities (job 5)
  Units* io = nullptr;      // print and summary files (jobs 4, 5)
  int prtfile = 0, sumfile = 0;
};

// Job codes of m8augl.
enum : int {
  kAuglRandom = -2,     // random Jacobian into the matrix; old values kept in gcon and gspare
  kAuglSave = -1,       // save the nonlinear rows' bounds
  kAuglStart = 0,       // counters cleared, nonlinear rows made free
  kAuglLoad = 1,        // gcon into the matrix
  kAuglProject = 2,     // x onto its bounds
  kAuglSpare = 3,       // gspare into the matrix
  kAuglPenalty = 4,     // penalty increase
  kAuglPerturb = 5,     // right-hand-side perturbation
  kAuglRestore = 6,     // saved bounds back
};

// One job; returns 1 when job 4 or 5 is refused (limit reached), else 0.
int m8augl(int job, const AuglJob& J, AuglViews& V, AugLagState& st);

// rhoeff = penalty * 100 / nncon (0 when the penalty is not positive).
double m8rhoeff(double penalty, int nncon);

// Reduced costs with the true Jacobian gcon in place of the matrix's block:
// rc(j) = -(a_j'pi) for columns, -pi(i) for slacks; then + sense * gobj(j)
// for j <= nnobj, and - sense * objscale for the objective row's slack jobj
// (its gradient in F), which leaves that slack's reduced cost 0.
void m8rc(int n, int m, int nncon, int nnjac, int nnobj, CDvec a, CIvec ha, CIvec ka, CDvec gcon,
          CDvec pi, CDvec gobj, double sense, int jobj, double objscale, Dvec rc);

// Largest violation of the nonlinear rows at the true slack values
// s(i) = -(fcon(i) + terms of row i in columns nnjac+1..n), returned in s
// (nncon); its row in imax (1 when all are 0).
double m8cinf(int n, int nncon, int nnjac, CDvec a, CIvec ha, CIvec ka, CDvec fcon, CDvec xn, CDvec bl,
              CDvec bu, Dvec s, int& imax);

// Largest complementarity violation over the variables with bl < bu; the
// variable in jmax (0 when none).
double m8dinf(int nb, CDvec bl, CDvec bu, CDvec rc, CDvec xn, int& jmax);

// Debug listings of the major iterations on the print file by the digits of
// Print level (JFLXB): tens Jacobian variables, hundreds multipliers (from
// the second major iteration), thousands constraint functions, ten-thousands
// x and the Jacobian by columns.  Values as given (the caller unscales).
void m8prtj(Units& io, int iprint, int prtlevel, int nmaj, int nncon, int nnjac, CIvec ha, CIvec ka,
            CDvec xn, CIvec hs, CDvec lambda, CDvec fcon, CDvec gcon);

}  // namespace tv
