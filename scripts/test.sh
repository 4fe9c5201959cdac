#!/bin/sh
# The test suite: a Release build with every array access bounds-checked, and
# an AddressSanitizer + UndefinedBehaviorSanitizer build, both through CTest.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
J=$(nproc)
./scripts/build.sh build-test -DTARVO_CHECK_BOUNDS=ON
(cd build-test && ctest -j"$J" --output-on-failure)
./scripts/build.sh build-asan -DTARVO_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo
(cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest -j"$J" --output-on-failure)
