// Pieces shared by the callback wrappers (m6fobj, m6fcon) and the
// difference and check routines: the clocks, the failed-call rule, the
// finiteness test.  Internal to solver/nonlinear.
#pragma once

#include <algorithm>
#include <cmath>
#include <vector>

#include "nonlinear/evaluator.h"

namespace tv::detail {

// An array handed to a callback.  In bounds-checked builds (the sanitizer
// build among them) the callback gets a heap copy of exactly the documented
// length, copied back afterwards, so that a callback writing beyond it is
// caught by the address sanitizer instead of silently overwriting the
// solver's workspace.  Other builds pass the solver's own storage.
class CallArray {
 public:
#ifdef TARVO_CHECK_BOUNDS
  static constexpr bool kCopy = true;
#else
  static constexpr bool kCopy = false;
#endif
  CallArray(double* p, int n) : orig_(p), n_(n > 0 ? n : 0) {
    if (kCopy && orig_) copy_.assign(orig_, orig_ + n_);
  }
  ~CallArray() {
    if (kCopy && orig_) std::copy(copy_.begin(), copy_.end(), orig_);
  }
  CallArray(const CallArray&) = delete;
  CallArray& operator=(const CallArray&) = delete;
  double* get() { return kCopy && orig_ ? copy_.data() : orig_; }

 private:
  double* orig_;
  int n_;
  std::vector<double> copy_;
};

// Runs clock k (4 constraints, 5 objective) for the life of the object when
// the Timing level is above 1.
class ClockRun {
 public:
  ClockRun(const Evaluator& ev, int k) : ev_(ev), k_(k), on_(ev.timlevel > 1 && bool(ev.clock)) {
    if (on_) ev_.clock(k_);
  }
  ~ClockRun() {
    if (on_) ev_.clock(-k_);
  }
  ClockRun(const ClockRun&) = delete;
  ClockRun& operator=(const ClockRun&) = delete;

 private:
  const Evaluator& ev_;
  int k_;
  bool on_;
};

// Scaling off for the life of the object (Scale option restored on every
// return of the routine that holds it).
class ScalingOff {
 public:
  explicit ScalingOff(Evaluator& ev) : ev_(ev), saved_(ev.scaleopt) { ev_.scaleopt = 0; }
  ~ScalingOff() { ev_.scaleopt = saved_; }
  ScalingOff(const ScalingOff&) = delete;
  ScalingOff& operator=(const ScalingOff&) = delete;

 private:
  Evaluator& ev_;
  int saved_;
};

// The rule for a negative mode returned by a callback.  Returns true when
// the call failed: mode -1 gives ierr = -1 silently; mode < -1 gives
// ierr = 6 with a page break and the termination line on both files.
bool call_failed(Evaluator& ev, int mode, bool objective);

// A callback returned a value that is NaN or infinite: the point counts as
// undefined (ierr = -1).  The first time in a run a note goes to the print
// file so that the later "function not defined" exit has an explanation.
void not_finite(Evaluator& ev, bool objective);

// No callback was given for a problem that needs one: ierr = 6.
void no_callback(Evaluator& ev, bool objective);

inline bool finite(double v) { return std::isfinite(v); }

}  // namespace tv::detail
