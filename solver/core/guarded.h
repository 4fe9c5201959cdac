// Nothing may throw through an extern "C" entry.  guarded() runs an entry's
// work and turns an exception (an allocation that failed, or any other
// failure inside the solver) into the result TV_SYSTEM_ERROR, with its EXIT
// line on the print and summary files of the process-wide context (on
// standard error when even that fails).
#pragma once

#include <exception>
#include <new>

#include "core/exit_text.h"
#include "tarvo.h"

namespace tv {

// The EXIT line of a failure (form kExitUsual: no memory; kExitFailure:
// anything else, with the exception's text when there is one).
void report_failure(int form, const char* detail) noexcept;

// Returns 0, or TV_SYSTEM_ERROR after reporting the exception that ended
// the work.
template <class Work>
int guarded(Work&& work) noexcept {
  try {
    work();
    return 0;
  } catch (const std::bad_alloc&) {
    report_failure(kExitUsual, nullptr);
  } catch (const std::exception& e) {
    report_failure(kExitFailure, e.what());
  } catch (...) {
    report_failure(kExitFailure, nullptr);
  }
  return TV_SYSTEM_ERROR;
}

}  // namespace tv
