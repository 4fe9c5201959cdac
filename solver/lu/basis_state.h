// State of the basis factorization manager shared with the main loop.
#pragma once

#include <cstdint>

#include "lu/lu.h"
#include "lu/lumap.h"

namespace tv {

// Why the next factorization is due (BasisState::demand).
enum : int {
  kDemandNone = 0,
  kDemandFrequency = 1,     // the Factorization frequency was reached
  kDemandLuGrew = 2,        // L and U grew to twice their size after the factorization
  kDemandUpdateFailed = 7,  // an update of the factors failed
  kDemandRowCheck = 10,     // the row check failed
};

struct BasisState {
  LuMap map;          // m2lu1: the LU region inside the workspace
  int nfactor = 0;    // factorizations so far ("Factor"); 0 clears umin and nbfac
  int demand = kDemandNone;  // reason for the next factorization
  int nupd = 0;       // updates since the last factorization
  int ierr = 0;       // run error code of the last m2bfac (0, 10, 20, 21, 22, 32)
  // m2lu3: LU statistics for the log (after every factorization and update).
  int lenl = 0, lenu = 0, ncp = 0, rowend = 0;
  int lenneed = 0;    // length of a the package asked for
  // Kept between calls of m2bfac.
  int nbfac = 0;      // factorizations since the last BS re-choice
  double umin = 0.0;  // DUmin of the last factorization after a re-choice
  LuColIndex uindex;  // U by columns, kept with the factors of B for sparse solves
};

}  // namespace tv
