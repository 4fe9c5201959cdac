#!/bin/sh
# Configure and build into ./build (Release), or into the directory given.
set -e
cd "$(dirname "$0")/.."
BUILD=${1:-build}
shift 2>/dev/null || true
cmake -S . -B "$BUILD" -DCMAKE_BUILD_TYPE=Release "$@" >/dev/null
cmake --build "$BUILD" -j"$(nproc)"
