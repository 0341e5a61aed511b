#!/usr/bin/env bash
# fuzz/run.sh SECONDS: builds the libFuzzer targets with clang in <repo>/build-fuzz, seeds them
# from the shared corpus and runs each for its share of SECONDS. Exits non-zero on any finding
# (crash, sanitizer report, leak, timeout, out of memory).
set -euo pipefail

TOTAL="${1:-60}"
case "$TOTAL" in ''|*[!0-9]*) echo "usage: fuzz/run.sh SECONDS" >&2; exit 2;; esac
ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="$ROOT/build-fuzz"
SHARED="$ROOT/../shared/corpus/ppt"
TARGETS=(fuzz_compoundfile fuzz_recordstream)
# Largest input per target: whole files are bigger than the streams inside them.
declare -A MAX_LEN=([fuzz_compoundfile]=262144 [fuzz_recordstream]=131072)

for tool in clang clang++; do
  command -v "$tool" >/dev/null || { echo "fuzz: $tool is not installed" >&2; exit 1; }
done

CC=clang CXX=clang++ cmake -S "$ROOT" -B "$BUILD" -DBC_FUZZ=ON -DBC_BENCHMARKS=OFF -DBC_SANITIZE=ON \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$BUILD" -j "$(nproc)" --target "${TARGETS[@]}" fuzz_seed_streams >/dev/null

# Seeds: the shared presentations for whole files, their document streams for the record stream.
for t in "${TARGETS[@]}"; do mkdir -p "$BUILD/fuzz-corpus/$t"; done
if [ -d "$SHARED" ]; then
  cp -f "$SHARED"/*.ppt "$BUILD/fuzz-corpus/fuzz_compoundfile/"
  "$BUILD/bin/fuzz_seed_streams" "$BUILD/fuzz-corpus/fuzz_recordstream" "$SHARED"/*.ppt >/dev/null
else
  echo "fuzz: $SHARED is absent; fuzzing without seeds"
fi

PER=$(( TOTAL / ${#TARGETS[@]} ))
[ "$PER" -lt 1 ] && PER=1
mkdir -p "$BUILD/fuzz-artifacts"
status=0
for t in "${TARGETS[@]}"; do
  log="$BUILD/fuzz-$t.log"
  echo "fuzz: $t for ${PER}s"
  if ASAN_OPTIONS="detect_leaks=1:allocator_may_return_null=0" \
     "$BUILD/bin/$t" "$BUILD/fuzz-corpus/$t" -max_total_time="$PER" -max_len="${MAX_LEN[$t]}" \
       -timeout=10 -rss_limit_mb=2048 -malloc_limit_mb=512 -print_final_stats=1 \
       -artifact_prefix="$BUILD/fuzz-artifacts/$t-" >"$log" 2>&1; then
    grep -E "^stat::number_of_executed_units" "$log" | sed "s/^/fuzz: $t /" || true
  else
    echo "fuzz: $t found a problem; the last lines of $log:" >&2
    tail -n 40 "$log" >&2
    status=1
  fi
done
exit $status
