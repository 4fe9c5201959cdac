// The subroutine entries for C++ callers (each takes its own Context).
// The extern "C" entries of tarvo.h call these with default_context().
#pragma once

#include <string_view>

#include "core/problem.h"
#include "nonlinear/callbacks.h"
#include "tarvo.h"

namespace tv {

struct Context;

// Outputs of one solve besides the arrays.
struct EntryResult {
  int inform = 0;
  int minwork = 0;   // workspace words needed
  int ninf = 0;
  double sinf = 0.0;
  double obj = 0.0;
  int nmajor = 0;
  int nitns = 0;
  int ncstat = 0;
  double cviol = 0.0;
  double cviolr = 0.0;
};

// Start a run: units, machine constants, title box, parameter reset.
void tvstart(Context& ctx, int iprint, int isumm, int ispecs);

// The evaluation callbacks of the context's next solves (empty: none).  A
// plain C function pointer converts to either type; a lambda may carry the
// caller's own data.  The arrays a callback receives have exactly the
// documented lengths (x: nnobj or nnjac, gobj: nnobj, fcon: nncon, gcon:
// njac, z: the "Workspace (user)" words); writing beyond them is an error
// the solver cannot detect.
void tvsetfun(Context& ctx, FunObj funobj, FunCon funcon);

// Solve the problem in P (P.ns in/out) with workspace z(1..nwork).
// names: 5 names of 8 characters (problem, objective, rhs, ranges, bounds).
void tvnose(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
            int nwork, int loglev, tv_logfun logfun, EntryResult& r);
void tvnoss(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
            int nwork, EntryResult& r);
// Entry for callers whose slacks are the row activities.
void tarvo_entry(Context& ctx, std::string_view start, Problem& P, const char* names, int& ns, double* z,
                 int nwork, EntryResult& r);

// Solution state of variable j after a solve: returns the value, sets flag
// (0 normal, 1 alternative optimum, 2 degenerate, 3 infeasible, 4 not optimal)
// and state (0 lower, 1 upper, 2 superbasic, 3 basic, 4 fixed, 5 between bounds).
double tvsolf(Context& ctx, int n, int j, int& flag, int& state, CIvec hs, CDvec bl, CDvec bu,
              CDvec rc, CDvec xn);

}  // namespace tv
