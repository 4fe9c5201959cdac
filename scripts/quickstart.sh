#!/bin/sh
# Fresh machine: install the build's packages, build the solver library and
# the tarvo command only (no tests, benchmarks or test hosts) into ./build,
# and solve a sample problem.  scripts/build.sh builds everything.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build build --target tarvo -j"$(nproc)"
./build/cli/tarvo examples/afiro.mps
