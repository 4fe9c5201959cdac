// Workspace partition (m2core) and the workspace estimate (tvcore).
#pragma once

#include <cstdint>

#include "core/workspace.h"

namespace tv {

// What the sizes of the regions follow from: the problem's dimensions and
// the parameters after defaulting.
struct CoreSizes {
  int m = 0, n = 0, ne = 0;
  int nncon = 0, nnobj = 0, nnjac = 0;
  int njac = 0;      // Jacobian entries counted by the entry
  int maxs = 1;      // Superbasics limit
  int hdim = 1;      // Hessian dimension
  int scaleopt = 0;  // Scale option
  int wsuser = 0;    // Workspace (user): leading words left to the caller
  bool devex = false;  // Devex pricing in force: its row-wise copy and lists get regions
  bool steep = false;  // steepest-edge weights: two more vectors of m
};

// Lay out the regions of the workspace from word 1 on into `part` (sizes
// included) and return the first word after them, where the LU region
// starts (part.lufirst).
int64_t m2core(const CoreSizes& s, Partition& part);

// Workspace estimate for a problem before any array exists (64-bit; the C
// entry clamps it to 32 bits).
long long tvcore(int m, int n, int ne, int nb, int hdim, int maxs, int nnobj, int nncon, int nnjac,
                 int njac);

}  // namespace tv
