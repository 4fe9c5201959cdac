#include "core/workspace.h"

#include <cstring>

namespace tv {

Ivec Workspace::make_ints(int64_t start, int len) const {
  if (len <= 0) return Ivec();
  void* p = z_ + (start - 1);
  // Creating the objects one by one compiles to nothing for int32_t; the
  // zero fill gives them a determinate value.
  int32_t* first = ::new (p) int32_t(0);
  for (int i = 1; i < len; ++i) ::new (static_cast<void*>(first + i)) int32_t(0);
  return Ivec(std::launder(first), len);
}

Dvec Workspace::make_doubles(int64_t start, int len) const {
  if (len <= 0) return Dvec();
  void* p = z_ + (start - 1);
  double* first = ::new (p) double(0.0);
  for (int i = 1; i < len; ++i) ::new (static_cast<void*>(first + i)) double(0.0);
  return Dvec(std::launder(first), len);
}

}  // namespace tv
