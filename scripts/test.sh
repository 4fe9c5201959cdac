#!/bin/sh
# The test suite: one build with AddressSanitizer and UndefinedBehaviorSanitizer
# (which also bounds-checks every 1-based array access), without the
# benchmarks, and every test through CTest, the Netlib option variants on
# all their problems; then every fuzz target for a short, fixed time.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
J=$(nproc)
./scripts/build.sh build-asan -DTARVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_BUILD_BENCH=OFF
(cd build-asan &&
  TARVO_NETLIB_FULL=1 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest -j"$J" --output-on-failure)
# The readers and the solver under the fuzz targets, 30 seconds each.
JOBS=$J ./scripts/fuzz.sh --ci 30
