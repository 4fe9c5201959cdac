// The libFuzzer entry of one target (TVFUZZ_TARGET names its driver in
// fuzz_checks.h): a fault found by the check ends the run like a crash, with
// its description on standard error.
#include <cstdio>
#include <cstdlib>
#include <string>

#include "fuzz_checks.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string why = tvfuzz::TVFUZZ_TARGET(data, size);
  if (!why.empty()) {
    std::fprintf(stderr, "\n==== fuzz check failed: %s\n", why.c_str());
    std::abort();
  }
  return 0;
}
