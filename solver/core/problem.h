// The problem arrays of a solve, as the caller owns them.
//
// Dimensions: m rows, n columns, nb = n + m variables (the slack of row i is
// variable n+i).  The matrix is stored by columns in a/ha/ka including the
// objective row; slacks follow the convention A x + s = 0, so a row
// lo <= a_i x <= up has bl(n+i) = -up and bu(n+i) = -lo.  Everything is a
// 1-based view of the caller's storage: nothing is copied.
#pragma once

#include "core/array.h"

namespace tv {

struct Problem {
  int m = 0, n = 0, nb = 0, ne = 0;
  int nnames = 1;
  int nncon = 0, nnobj = 0, nnjac = 0;
  int objrow = 0;      // row holding the linear objective; 0 = none
  double objconst = 0.0;
  Dvec a;              // ne
  Ivec ha;             // ne
  Ivec ka;             // n+1
  Dvec bl, bu;         // nb
  Ivec name1, name2;   // nnames
  Ivec hs;             // nb
  Dvec xn;             // nb
  Dvec pi;             // m
  Dvec rc;             // nb
  int nnl() const { return nnobj > nnjac ? nnobj : nnjac; }
};

// State codes hs.
enum : int {
  kHsBetween = -1,  // nonbasic strictly between its bounds (internal)
  kHsLower = 0,
  kHsUpper = 1,
  kHsSuper = 2,
  kHsBasic = 3,
  kHsFixed = 4,     // nonbasic fixed (internal)
};

}  // namespace tv
