// Crash: choose an initial basis from the structure of the matrix.
#pragma once

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// Counters of one crash (what the statistics lines report).
struct CrashStats {
  int slacks = 0, freecols = 0, preferred = 0, unit = 0, dbl = 0, triangle = 0;
  int ncrash = 0;  // rows left to crash after the set-up
  int pad = 0;     // slacks added to complete the basis
  int nbasic = 0;  // basic variables at the end
};

// Crash in mode `crashuse`:
//   0  all-slack basis (structurals nonbasic)
//   1  crash all rows
//   2  crash the linear rows nncon+1..m (nonlinear rows keep basic slacks)
//   3  crash the linear equality rows only (all other rows keep basic slacks)
//   4  crash the linear inequality rows, keeping the basis found so far for
//      the equality rows (after a mode-3 crash, once those rows are satisfied)
//   5  crash the nonlinear rows, keeping the basis of the linear rows
// Modes 0..3 start a cold cycle; 4 and 5 are called later with hs in
// external form (0, 1, 2, 3).  Changes only hs and slack values in xn.
//
// rowtype(1..m): 0 equality, 1 inequality, 2 free (from m2amat).
// rowstate: integer work array of length >= m, free for the duration of the
// call (its contents are not needed afterwards).
CrashStats m2crsh(Context& ctx, int crashuse, Problem& P, CIvec rowtype, Ivec rowstate);

}  // namespace tv
