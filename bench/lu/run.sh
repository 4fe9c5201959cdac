#!/bin/sh
# Build and run the LU benchmark in Release mode.  Installs Debian's
# libsuitesparse-dev (UMFPACK, KLU) for the comparison when it is missing.
#   bench/lu/run.sh [--quick] [--sizes 1000,10000,100000]
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
data=$(cd "$root/../shared/data" 2>/dev/null && pwd || true)
build=${BUILD_DIR:-$root/build-bench-lu}
if [ ! -f /usr/include/suitesparse/klu.h ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq libsuitesparse-dev >/dev/null ||
      echo "libsuitesparse-dev not installed: running without the comparison"
  else
    echo "libsuitesparse-dev missing and not root: running without the comparison"
  fi
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target bench_lu >/dev/null
dirs=""
[ -n "$data" ] && dirs="$data/netlib $data/netlib-large"
exec "$build/bench/lu/bench_lu" $dirs "$@"
