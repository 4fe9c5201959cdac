#!/bin/sh
# NLP benchmark: every problem of the test-problem library (tests/nlp)
# through tvnose and through Ipopt's C interface (limited-memory Hessian,
# default tolerances).  Installs coinor-libipopt-dev and pkg-config when
# missing, builds bench_nlp in Release in its own build directory, then runs
#   bench_nlp [options]        (bench/nlp/run.sh -h lists the options)
# Results: bench/results/nlp-*.csv, nlp-latest.csv, nlp-latest.md.
set -e
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${BUILD_DIR:-$root/build-bench-nlp}

missing=""
for p in coinor-libipopt-dev pkg-config; do
  dpkg -s "$p" >/dev/null 2>&1 || missing="$missing $p"
done
if [ -n "$missing" ]; then
  if [ "$(id -u)" = 0 ]; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq $missing >/dev/null ||
      echo "could not install$missing: running without them"
  else
    echo "missing$missing and not root: running without them"
  fi
fi

cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release -DTARVO_BUILD_TESTS=OFF >/dev/null
cmake --build "$build" -j2 --target bench_nlp >/dev/null
rev=$(git -C "$root" rev-parse --short HEAD 2>/dev/null || echo unknown)
[ -z "$(git -C "$root" status --porcelain -- solver tests/nlp 2>/dev/null)" ] || rev="$rev with local changes"
exec "$build/bench/nlp/bench_nlp" --label "commit $rev" "$@"
