// The nonzeros of a vector, found in a fraction of a pass when it is sparse.
#pragma once

#include <bit>
#include <cstdint>

#include "core/array.h"

namespace tv {

// Calls visit(i) for every i = 1..n with x(i) != 0, in increasing order,
// and stops (returning false) when visit returns false.  Blocks of eight
// entries are tested for a nonzero at once: an OR of their bits without
// the sign bit, which compiles to vector instructions, so that the zeros
// of a sparse vector cost little more than reading them (-0.0 counts as
// zero, a NaN as nonzero, as x(i) != 0 has it).
template <class Visit>
bool for_each_nonzero(Arr<const double> x, int n, Visit&& visit) {
#ifdef TARVO_CHECK_BOUNDS
  if (n > x.size()) bounds_failure("for_each_nonzero", n, x.size());
#endif
  const double* p = x.data() - 1;  // p[i] = x(i)
  int i = 1;
  for (; i + 7 <= n; i += 8) {
    uint64_t bits = 0;
    for (int q = 0; q < 8; ++q) bits |= std::bit_cast<uint64_t>(p[i + q]) << 1;
    if (bits == 0) continue;
    for (int q = 0; q < 8; ++q) {
      if (p[i + q] != 0.0 && !visit(i + q)) return false;
    }
  }
  for (; i <= n; ++i) {
    if (p[i] != 0.0 && !visit(i)) return false;
  }
  return true;
}

}  // namespace tv
