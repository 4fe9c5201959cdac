// Crash: choose an initial basis from the structure of the matrix.
#pragma once

#include "core/array.h"
#include "core/problem.h"

namespace tv {

struct Context;

// Crash modes (crashuse), also the main loop's start value: which crash
// made the start basis and how far a staged crash has got.
enum : int {
  kCrashNone = 0,       // all-slack basis (structurals nonbasic); for the loop: nothing pending
  kCrashAll = 1,        // crash all rows
  kCrashLinear = 2,     // crash the linear rows nncon+1..m
  kCrashLinearE = 3,    // crash the linear equality rows only
  kCrashLinearLG = 4,   // crash the linear inequality rows (after mode 3)
  kCrashNonlinear = 5,  // crash the nonlinear rows (major iterations)
};

// Counters of one crash (what the statistics lines report).
struct CrashStats {
  int slacks = 0, freecols = 0, preferred = 0, unit = 0, dbl = 0, triangle = 0;
  int ncrash = 0;  // rows left to crash after the set-up
  int pad = 0;     // slacks added to complete the basis
  int nbasic = 0;  // basic variables at the end
};

// Crash in mode `crashuse` (the modes above): modes 2 and 3 leave basic
// slacks in the rows they do not crash; mode 4 keeps the basis found for
// the equality rows, mode 5 that of the linear rows.  Modes 0..3 start a
// cold cycle; 4 and 5 are called later with hs in external form (0, 1, 2,
// 3).  Changes only hs and slack values in xn.
//
// rowtype(1..m): 0 equality, 1 inequality, 2 free (from m2amat).
// rowstate: integer work array of length >= m, free for the duration of the
// call (its contents are not needed afterwards).
CrashStats m2crsh(Context& ctx, int crashuse, Problem& P, CIvec rowtype, Ivec rowstate);

}  // namespace tv
