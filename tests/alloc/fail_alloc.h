// Allocation failure on demand: this test program replaces operator new, so
// that the k-th allocation after arming throws std::bad_alloc (and, when
// persistent, every later one too).  Only allocations through operator new
// count: the solver and the link allocate nothing else of their own.
#pragma once

namespace tvtest {

// Start counting; fail_at 0 only counts.  With `module` set, only
// allocations made on behalf of code in a shared object whose path contains
// it count (the innermost frame of a known module decides), so that a test
// can fail the plug-in's allocations and not those of the host it runs in.
void alloc_arm(long fail_at, bool persistent = false, const char* module = nullptr);
// Stop; returns the number of allocations counted while armed.
long alloc_disarm();
// Whether an allocation was made to fail since the last arming.
bool alloc_failed();

}  // namespace tvtest
