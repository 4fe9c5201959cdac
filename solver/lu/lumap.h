// Layout of the LU factor storage inside the workspace (m2bmap).
//
// After the 25 regions of the main partition come the LU integer arrays
// (two per word), then a (lena doubles), indc and indr (lena integers each).
#pragma once

#include <cstdint>

namespace tv {

struct Context;

struct LuMap {
  int64_t first = 0;   // first word of the LU region
  int64_t last = 0;    // last word of the workspace
  int lena = 0;        // length of a, indc, indr
  int nent = 0;        // entries of the last extraction
  int nbs = 0;         // rows allowed for (m + maxs)
  int m = 0;
  // Start words of each array.
  int64_t ints = 0;    // first word of the integer arrays
  int64_t la = 0;      // a
  int64_t lindc = 0;   // indc
  int64_t lindr = 0;   // indr
  // Offsets (in integers, 1-based) of each integer array inside the integer block.
  int64_t oiperm = 0, ojperm = 0, olencol = 0, olenrow = 0, oloccol = 0, olocrow = 0;
  int64_t oibucket = 0, ojbucket = 0;
  int nints = 0;       // integers in the block
};

// Lay out the LU region from word `first` to `last`; returns the last word
// needed for a problem with m rows, n columns, ne entries and nbs = m + maxs.
// Prints the storage line at mode >= 3.
int64_t m2bmap(Context& ctx, int mode, int m, int n, int ne, int nbs, int64_t first, int64_t last);

}  // namespace tv
