#include "fail_alloc.h"

#include <dlfcn.h>
#include <execinfo.h>

#include <cstdlib>
#include <cstring>
#include <new>

namespace {

bool g_armed = false, g_persistent = false, g_failed = false;
long g_count = 0, g_fail_at = 0;
const char* g_module = nullptr;
bool g_inside = false;  // no counting of the stack walk's own allocations

// Shared objects whose frames decide who asks: the plug-in and the test
// host's libraries.
bool counts_for_module() {
  void* frames[24];
  const int n = backtrace(frames, 24);
  for (int k = 2; k < n; ++k) {
    Dl_info info;
    if (!dladdr(frames[k], &info) || !info.dli_fname) continue;
    const char* f = info.dli_fname;
    if (std::strstr(f, g_module)) return true;
    if (std::strstr(f, "dclib64") || std::strstr(f, "tvhostctl")) return false;
  }
  return false;
}

bool should_fail() {
  if (!g_armed || g_inside) return false;
  if (g_module) {
    g_inside = true;
    const bool mine = counts_for_module();
    g_inside = false;
    if (!mine) return false;
  }
  ++g_count;
  if (g_fail_at > 0 && (g_count == g_fail_at || (g_persistent && g_count > g_fail_at))) {
    g_failed = true;
    return true;
  }
  return false;
}

void* allocate(std::size_t n) {
  if (should_fail()) throw std::bad_alloc();
  void* p = std::malloc(n ? n : 1);
  if (!p) throw std::bad_alloc();
  return p;
}

}  // namespace

namespace tvtest {

void alloc_arm(long fail_at, bool persistent, const char* module) {
  if (module) {
    // backtrace loads its unwinder on first use: do that now, unarmed.
    void* f[2];
    backtrace(f, 2);
  }
  g_count = 0;
  g_fail_at = fail_at;
  g_persistent = persistent;
  g_failed = false;
  g_module = module;
  g_armed = true;
}

long alloc_disarm() {
  g_armed = false;
  return g_count;
}

bool alloc_failed() { return g_failed; }

}  // namespace tvtest

void* operator new(std::size_t n) { return allocate(n); }
void* operator new[](std::size_t n) { return allocate(n); }
void* operator new(std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void* operator new[](std::size_t n, const std::nothrow_t&) noexcept {
  try {
    return allocate(n);
  } catch (...) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }
