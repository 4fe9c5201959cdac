#!/bin/sh
# LP benchmark: every problem of the given directories (default
# ../shared/data/netlib, ../shared/data/netlib-large and the generated set of
# structured problems) through tarvo and the peers packaged by Debian (Clp,
# GLPK).  The generated set (lpgen: transportation, multicommodity flow,
# staircase production planning, seed 1) is written once into
# build-bench-lp/generated, up to GEN_MAX nonzeros (default 100000; the
# generator's sizes go to 1e6: GEN_MAX=1000000).  Installs coinor-clp, glpk-utils and
# gnuplot-nox when missing, builds tarvo and bench_lp in Release, then runs
#   bench_lp [options] [DIR ...]        (bench/lp/run.sh -h lists the options)
# Results: bench/results/lp-*.csv, lp-latest.md; profile: bench/lp/profile.png;
# time against size of the generated families: bench/lp/scaling.png.
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
cmake --build "$build" -j2 --target tarvo bench_lp lpgen >/dev/null
gen="$build/generated-${GEN_MAX:-100000}"
"$build/bench/lp/lpgen" --set "$gen" --max "${GEN_MAX:-100000}" >/dev/null
rev=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -z "$(git -C "$root" status --porcelain -- solver cli 2>/dev/null)" ] || rev="$rev with local changes"
exec "$build/bench/lp/bench_lp" --label "commit $rev" --default-dir "$gen" "$@"
