#!/usr/bin/env bash
# fuzz/run.sh SECONDS [TARGET...]: builds the libFuzzer targets with clang in <repo>/build-fuzz,
# seeds them from the shared corpus and the tests' files, and runs each for its share of SECONDS
# (all targets unless some are named). Exits non-zero on any finding (crash, sanitizer report,
# leak, timeout, out of memory). FUZZ_JOBS=N runs N targets at once (default 1), each still for
# its share of SECONDS / number of targets. The corpus grows in build-fuzz/fuzz-corpus, so later
# runs start where earlier ones stopped. FUZZ_SEED=N makes a run repeatable instead: it starts
# from the seeds alone (in build-fuzz/fuzz-corpus-seeded, emptied first) and mutates them in the
# order seed N gives, so a slower machine runs a shorter stretch of the same sequence.
set -euo pipefail

TOTAL="${1:-60}"
case "$TOTAL" in ''|*[!0-9]*) echo "usage: fuzz/run.sh SECONDS [TARGET...]" >&2; exit 2;; esac
shift || true
JOBS="${FUZZ_JOBS:-1}"
SEED="${FUZZ_SEED:-}"
case "$SEED" in *[!0-9]*) echo "fuzz: FUZZ_SEED must be a number" >&2; exit 2;; esac
case "$JOBS" in ''|*[!0-9]*|0) echo "fuzz: FUZZ_JOBS must be a positive number" >&2; exit 2;; esac
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${FUZZ_BUILD_DIR:-$ROOT/build-fuzz}"
SHARED="${BC_CORPUS_DIR:-$ROOT/../shared/corpus/ppt}"

for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "fuzz: $tool is not installed" >&2; exit 1; }
done

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DBC_FUZZ=ON -DBC_BENCHMARKS=OFF -DBC_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
mapfile -t ALL < "$BUILD/fuzz-targets.txt"
if [ $# -gt 0 ]; then TARGETS=("$@"); else TARGETS=("${ALL[@]}"); fi
cmake --build "$BUILD" -j "$(nproc)" --target "${TARGETS[@]}" fuzz_seeds >/dev/null

# Largest input per target: whole files are bigger than the streams and pictures inside them.
max_len() {
  case "$1" in
    fuzz_compoundfile|fuzz_presentation|fuzz_loader) echo 262144;;
    fuzz_recordstream|fuzz_swfcontent|fuzz_compiler_sprite|fuzz_compiler_font) echo 131072;;
    *) echo 65536;;
  esac
}

# Seeds: the shared presentations whole, and what fuzz_seeds takes out of them or makes.
CORPUS="$BUILD/fuzz-corpus"
SEED_ARGS=()
if [ -n "$SEED" ]; then
  CORPUS="$BUILD/fuzz-corpus-seeded"
  rm -rf "$CORPUS"
  SEED_ARGS=(-seed="$SEED")
fi
for t in "${ALL[@]}"; do mkdir -p "$CORPUS/$t"; done
PPTS=()
if [ -d "$SHARED" ]; then
  PPTS=("$SHARED"/*.ppt)
  for t in fuzz_compoundfile fuzz_presentation fuzz_loader; do cp -f "${PPTS[@]}" "$CORPUS/$t/"; done
else
  echo "fuzz: $SHARED is absent; seeding from the tests' files only"
fi
SEEDS="$BUILD/fuzz-seeds"
rm -rf "$SEEDS"
ASAN_OPTIONS=detect_leaks=0 "$BUILD/bin/fuzz_seeds" "$SEEDS" "$ROOT" "${PPTS[@]}" >/dev/null
for t in "${ALL[@]}"; do
  [ -d "$SEEDS/$t" ] && cp -f "$SEEDS/$t"/* "$CORPUS/$t/"
done

PER=$(( TOTAL / ${#TARGETS[@]} ))
[ "$PER" -lt 1 ] && PER=1
mkdir -p "$BUILD/fuzz-artifacts"

# Runs one target; prints its figures, or the end of its log on a finding. The timeout leaves
# room for a picture at the renderer's size limit, which takes seconds under the sanitizers.
run_one() {
  local t="$1" log="$BUILD/fuzz-$1.log"
  if ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0" \
     "$BUILD/bin/$t" "$CORPUS/$t" -max_total_time="$PER" -max_len="$(max_len "$t")" \
       -timeout=25 -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 "${SEED_ARGS[@]}" \
       -artifact_prefix="$BUILD/fuzz-artifacts/$t-" >"$log" 2>&1; then
    local runs speed
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log")
    speed=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log")
    echo "fuzz: $t ${PER}s, ${runs:-?} runs, ${speed:-?}/s"
  else
    echo "fuzz: $t found a problem; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    return 1
  fi
}

echo "fuzz: ${#TARGETS[@]} targets, ${PER}s each, $JOBS at once"
status=0
pids=()
for t in "${TARGETS[@]}"; do
  run_one "$t" &
  pids+=($!)
  if [ "${#pids[@]}" -ge "$JOBS" ]; then
    wait "${pids[0]}" || status=1
    pids=("${pids[@]:1}")
  fi
done
for p in "${pids[@]}"; do wait "$p" || status=1; done
exit $status
