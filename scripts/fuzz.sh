#!/bin/sh
# Build and run the libFuzzer targets (clang, AddressSanitizer and
# UndefinedBehaviorSanitizer, bounds checks) in build-fuzz/.
#
#   scripts/fuzz.sh TARGET [SECONDS]   one target (default 60 s); TARGET is
#                                      mps, mps_gzip, specs, solve, basis, or all
#                                      (each in turn)
#   scripts/fuzz.sh --ci [SECONDS]     every target for SECONDS (default 30),
#                                      two at a time on a machine with two cores
#   scripts/fuzz.sh --merge TARGET     minimise the working corpus into
#                                      fuzz/corpus/TARGET (kept out of git)
#
# A target starts from seeds made from the test data (and fuzz/corpus/TARGET
# when there is one); what it finds goes to the working corpus
# build-fuzz/corpus/TARGET, which grows from run to run.  A crash, a hang, a
# sanitizer report or a failed check leaves the input in
# build-fuzz/artifacts/TARGET/ and makes the script fail.  FUZZ_FLAGS adds
# libFuzzer flags; the log of each run is build-fuzz/logs/TARGET.log.
set -e
cd "$(dirname "$0")/.."
ROOT=$(pwd)
B=$ROOT/build-fuzz
TARGETS="mps mps_gzip specs solve basis"

usage() {
  sed -n '2,19p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
}

setup() {
  ./scripts/setup.sh clang libclang-rt-14-dev
}

build() {
  if [ ! -f "$B/CMakeCache.txt" ]; then
    # -O1 with line tables, as the test suite's sanitizer build: reports keep
    # their lines, and the build costs half of -O2 -g.
    CC=clang CXX=clang++ cmake -S . -B "$B" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTARVO_FUZZ=ON \
      -DCMAKE_CXX_FLAGS_RELWITHDEBINFO="-O1 -g1 -DNDEBUG" -DTARVO_BUILD_TESTS=OFF -DTARVO_BUILD_BENCH=OFF >/dev/null
  fi
  targets=""
  for t in "$@"; do targets="$targets fuzz_$t"; done
  cmake --build "$B" --target $targets -j"${JOBS:-2}"
}

max_len() {
  case $1 in
    mps|mps_gzip) echo 8192 ;;
    solve) echo 8192 ;;
    basis) echo 2048 ;;
    *) echo 4096 ;;
  esac
}

# A seed: bytes given as printf octal escapes, then a file.
seed() {  # seed DIR NAME PREFIX FILE
  { printf "$3"; cat "$4"; } >"$1/$2"
}

small_mps() {  # the MPS files of the test data up to $1 bytes
  for f in examples/*.mps fuzz/seeds/mps/*.mps tests/data/netlib/*.mps tests/data/hostile/*.mps \
           tests/data/fuzz/mps/*.mps tests/data/fuzz/solve/*.mps; do
    [ -f "$f" ] && [ "$(wc -c <"$f")" -le "$1" ] && echo "$f"
  done
  return 0
}

make_seeds() {  # make_seeds TARGET DIR
  rm -rf "$2"
  mkdir -p "$2"
  n=0
  case $1 in
    mps)
      for f in $(small_mps 8000); do
        n=$((n + 1))
        seed "$2" "auto$n" '\000' "$f"
      done
      for f in fuzz/seeds/mps/*.mps; do
        n=$((n + 1))
        seed "$2" "fixed$n" '\001' "$f"
        seed "$2" "free$n" '\002' "$f"
      done ;;
    mps_gzip)
      for f in $(small_mps 8000); do
        n=$((n + 1))
        seed "$2" "text$n" '\000\000\000\000' "$f"
        seed "$2" "plain$n" '\001' "$f"
      done
      for f in fuzz/seeds/mps/*.mps; do
        n=$((n + 1))
        seed "$2" "cut$n" '\000\001\100\000' "$f"
        seed "$2" "flip$n" '\000\002\040\000' "$f"
        gzip -9 -c "$f" >"$2/tmp.gz"
        seed "$2" "gz$n" '\001' "$2/tmp.gz"
      done
      rm -f "$2/tmp.gz" ;;
    specs)
      for f in fuzz/seeds/specs/*.spc tests/data/fuzz/specs/*.spc; do
        [ -f "$f" ] || continue
        n=$((n + 1))
        for mode in 0 1 2 3; do seed "$2" "m$mode-$n" "\\00$mode" "$f"; done
      done ;;
    solve)
      for f in $(small_mps 8000); do
        n=$((n + 1))
        seed "$2" "default$n" '\003' "$f"
        seed "$2" "noscale$n" '\300' "$f"
        seed "$2" "partial$n" '\066' "$f"
        seed "$2" "max$n" '\047' "$f"
      done ;;
    basis)
      # The first byte: 0 OLD, 1 INSERT, 2 LOAD; plus 3 for made names.
      for f in fuzz/seeds/basis/* tests/data/fuzz/basis/*; do
        [ -f "$f" ] || continue
        n=$((n + 1))
        case $f in
          *.old) k=0 ;;
          *.ins) k=1 ;;
          *) k=2 ;;
        esac
        seed "$2" "named$n" "\\00$k" "$f"
        seed "$2" "made$n" "\\00$((k + 3))" "$f"
      done ;;
  esac
}

dict() {  # the solve target reads MPS files followed by SPECS phrases
  case $1 in
    specs) echo "$ROOT/fuzz/dict/specs.dict" ;;
    basis) echo "$ROOT/fuzz/dict/basis.dict" ;;
    solve) cat fuzz/dict/mps.dict fuzz/dict/specs.dict >"$B/solve.dict"; echo "$B/solve.dict" ;;
    *) echo "$ROOT/fuzz/dict/mps.dict" ;;
  esac
}

run() {  # run TARGET SECONDS
  t=$1
  mkdir -p "$B/corpus/$t" "$B/artifacts/$t" "$B/logs"
  make_seeds "$t" "$B/seeds/$t"
  dirs="$B/corpus/$t $B/seeds/$t"
  [ -d "fuzz/corpus/$t" ] && dirs="$dirs $ROOT/fuzz/corpus/$t"
  timeout=10
  [ "$t" = solve ] && timeout=30
  # Comparison feedback pays where the input is matched against keywords;
  # on the MPS files it mostly swells the corpus.
  vp=0
  [ "$t" = specs ] && vp=1
  log=$B/logs/$t.log
  echo "fuzz: $t for $2 s (log $log)"
  status=0
  ASAN_OPTIONS=detect_leaks=1:malloc_context_size=8 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    "$B/fuzz/fuzz_$t" -max_total_time="$2" -max_len="$(max_len "$t")" -timeout=$timeout -rss_limit_mb=2048 \
    -dict="$(dict "$t")" -use_value_profile=$vp -print_final_stats=1 -artifact_prefix="$B/artifacts/$t/" \
    $FUZZ_FLAGS $dirs >"$log" 2>&1 || status=$?
  grep -E '^#[0-9]+ +(DONE|INITED)|^stat::(number_of_executed_units|average_exec_per_sec|peak_rss_mb)|^Done ' "$log" |
    sed "s/^/fuzz: $t: /" || true
  if [ "$status" -ne 0 ]; then
    echo "fuzz: $t FAILED (status $status); the end of $log:"
    tail -n 60 "$log"
    ls -t "$B/artifacts/$t/" | head -3 | sed "s|^|fuzz: input $B/artifacts/$t/|"
  fi
  return "$status"
}

merge() {
  t=$1
  out=fuzz/corpus/$t
  mkdir -p "$out.new"
  "$B/fuzz/fuzz_$t" -merge=1 -max_len="$(max_len "$t")" -timeout=30 "$out.new" "$B/corpus/$t" \
    $( [ -d "$out" ] && echo "$out" ) >"$B/logs/$t-merge.log" 2>&1
  rm -rf "$out"
  mv "$out.new" "$out"
  echo "fuzz: $out: $(ls "$out" | wc -l) files, $(du -sk "$out" | cut -f1) KB"
}

[ $# -ge 1 ] || usage
case $1 in
  -h|--help) usage ;;
  --ci)
    secs=${2:-30}
    setup
    build $TARGETS
    fail=0
    if [ "$(nproc)" -ge 2 ]; then
      # Two at a time: each pair takes SECONDS.
      set -- $TARGETS
      while [ $# -gt 0 ]; do
        a=$1; shift
        if [ $# -gt 0 ]; then
          b=$1; shift
          run "$a" "$secs" & pa=$!
          run "$b" "$secs" || fail=1
          wait "$pa" || fail=1
        else
          run "$a" "$secs" || fail=1
        fi
      done
    else
      for t in $TARGETS; do run "$t" "$secs" || fail=1; done
    fi
    exit "$fail" ;;
  --merge)
    [ $# -ge 2 ] || usage
    build "$2"
    merge "$2" ;;
  all)
    setup
    build $TARGETS
    fail=0
    for t in $TARGETS; do run "$t" "${2:-60}" || fail=1; done
    exit "$fail" ;;
  *)
    case " $TARGETS " in *" $1 "*) ;; *) echo "fuzz: unknown target $1 (one of: $TARGETS, all)"; exit 2 ;; esac
    setup
    build "$1"
    run "$1" "${2:-60}" ;;
esac
