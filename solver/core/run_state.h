// Run state of one solve that the driver, the main loop and the reports share.
#pragma once

#include <string>

namespace tv {

// Start modes (RunState::startmode).
enum : int { kStartCold = 0, kStartWarm = 1, kStartHot = 2 };

struct RunState {
  // cycle1: the run flags.
  bool gotbas = false;  // a basis is present
  bool gotfac = false;  // LU factors usable
  bool gothes = false;  // reduced Hessian usable
  bool gotscl = false;  // scales computed
  int startmode = kStartCold;
  std::string start;    // the start string as given
  // The objective row's scale (1 when not scaled), set by the scaling.
  double objscale = 1.0;
  // cycle2: results of the last call of the main loop.
  double obj = 0.0;
  double sinf = 0.0;
  int ninf = 0;
  // cyclcm
  int ncycle = 0;
  // Jacobian entries counted by the entry (tvcjac).
  int njac = 0;
  // Problem dimensions as the entry stored them.
  int m = 0, n = 0, nb = 0, ne = 0;
  int nwork = 0;
};

}  // namespace tv
