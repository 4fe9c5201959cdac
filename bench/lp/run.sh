#!/bin/sh
# LP benchmark: every problem of the given directories (default
# ../shared/data/netlib and ../shared/data/netlib-large) through tarvo and the
# peers packaged by Debian (Clp, GLPK).  Installs coinor-clp, glpk-utils and
# gnuplot-nox when missing, builds tarvo and bench_lp in Release, then runs
#   bench_lp [options] [DIR ...]        (bench/lp/run.sh -h lists the options)
# Results: bench/results/lp-*.csv, lp-latest.md; profile: bench/lp/profile.png.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench-lp}

missing=""
command -v clp >/dev/null 2>&1 || missing="$missing coinor-clp"
command -v glpsol >/dev/null 2>&1 || missing="$missing glpk-utils"
command -v gnuplot >/dev/null 2>&1 || missing="$missing gnuplot-nox"
if [ -n "$missing" ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null ||
      echo "could not install$missing: running without them"
  else
    echo "missing$missing and not root: running without them"
  fi
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target tarvo bench_lp >/dev/null
rev=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -z "$(git -C "$root" status --porcelain -- solver cli 2>/dev/null)" ] || rev="$rev with local changes"
exec "$build/bench/lp/bench_lp" --label "commit $rev" "$@"
