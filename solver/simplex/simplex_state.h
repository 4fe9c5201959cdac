// State of the main iteration loop, pricing and the ratio test.
#pragma once

namespace tv {

struct SimplexState {
  int itn = 0;        // iterations of this call of the main loop
  int nmaj = 0;       // major iteration number
  int ninf = 0;       // number of infeasibilities
  double sinf = 0.0;  // their sum
  double pinorm = 1.0;
  double objscale = 1.0;  // the objective row scale (m3scal)
  int jobj = 0;           // index of the objective row's slack (n + objrow, or 0)
};

}  // namespace tv
