#!/bin/sh
# Fresh machine: install the build's packages, build, solve a sample problem.
set -e
cd "$(dirname "$0")/.."
./scripts/setup.sh
./scripts/build.sh build
./build/cli/tarvo examples/afiro.mps
