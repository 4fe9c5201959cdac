#!/bin/sh
# The test suite: one build with AddressSanitizer and UndefinedBehaviorSanitizer
# (which also bounds-checks every 1-based array access), without the
# benchmarks, and every test through CTest, the Netlib option variants on
# all their problems; then every fuzz target for a short, fixed time.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
J=$(nproc)
# -O1 with line tables only: the sanitizers' reports keep their file and line
# numbers, and the build takes half the compile time of -O2 -g, which is most
# of the suite's time.
./scripts/build.sh build-asan -DTARVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DTARVO_BUILD_BENCH=OFF
(cd build-asan &&
  TARVO_NETLIB_FULL=1 ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest -j"$J" --output-on-failure)
# The readers and the solver under the fuzz targets, 20 seconds each.
JOBS=$J ./scripts/fuzz.sh --ci 20
