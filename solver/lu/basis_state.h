// State of the basis factorization manager shared with the main loop.
#pragma once

#include <cstdint>

#include "lu/lumap.h"

namespace tv {

struct BasisState {
  LuMap map;          // m2lu1: the LU region inside the workspace
  int nfactor = 0;    // factorizations so far ("Factor")
  int demand = 0;     // reason for the next factorization
  int nupd = 0;       // updates since the last factorization
  int ierr = 0;       // run error code
  // m2lu3: LU statistics for the log.
  int lenl = 0, lenu = 0, ncp = 0, rowend = 0;
  int lenneed = 0;
  // Kept between calls of m2bfac.
  int nbfac = 0;
  double umin = 0.0;
};

}  // namespace tv
