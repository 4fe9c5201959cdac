// 1-based array views.
//
// The solver is written over 1-based arrays passed by reference.  Arr<T> is a
// non-owning view of `n` elements addressed as a(1) .. a(n).  In debug and
// sanitizer builds (TARVO_CHECK_BOUNDS) every access is checked, so an overrun
// from one workspace region into the next is caught even though both regions
// live in the same allocation (which AddressSanitizer alone cannot see).
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

namespace tv {

[[noreturn]] void bounds_failure(const char* what, long index, long size);

template <class T>
class Arr {
 public:
  Arr() = default;
  // View of n elements starting at `first` (which becomes element 1).
  Arr(T* first, int n) : p_(first), n_(n < 0 ? 0 : n) {}

  T& operator()(int i) const {
#ifdef TARVO_CHECK_BOUNDS
    if (i < 1 || i > n_) bounds_failure("Arr", i, n_);
#endif
    return p_[i - 1];
  }

  int size() const { return n_; }
  bool empty() const { return n_ == 0; }
  // Pointer to element 1 (may be null for an empty view).
  T* data() const { return p_; }
  // Pointer usable as a 0-based C array: data0()[i-1] == a(i).
  T* begin() const { return p_; }
  T* end() const { return p_ + n_; }

  // Elements first .. first+len-1 as a new view numbered 1..len.
  Arr sub(int first, int len) const {
#ifdef TARVO_CHECK_BOUNDS
    if (len < 0 || first < 1 || first - 1 + len > n_) {
      if (!(len == 0 && first >= 1 && first <= n_ + 1)) bounds_failure("Arr::sub", first - 1 + len, n_);
    }
#endif
    return Arr(p_ + (first - 1), len);
  }
  // Elements first .. size().
  Arr from(int first) const { return sub(first, n_ - first + 1); }
  // The first len elements.
  Arr head(int len) const { return sub(1, len); }

  operator Arr<const T>() const { return Arr<const T>(p_, n_); }

 private:
  T* p_ = nullptr;
  int n_ = 0;
};

using Dvec = Arr<double>;
using Ivec = Arr<int32_t>;
using CDvec = Arr<const double>;
using CIvec = Arr<const int32_t>;

}  // namespace tv
