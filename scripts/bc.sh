#!/usr/bin/env bash
# One entry point for set-up, build, registration, demo and tests (see README).
#   scripts/bc.sh setup   install missing Debian packages, build, register the components
#   scripts/bc.sh demo    setup, then convert the bundled sample
#   scripts/bc.sh test    setup, then every test (plain build, then sanitizer build)
set -euo pipefail

ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
BUILD="${BC_BUILD_DIR:-$ROOT/build}"
JOBS="${BC_JOBS:-$(nproc)}"

PACKAGES=(build-essential cmake pkg-config libxml2-dev libfreetype-dev libpng-dev zlib1g-dev
          libjpeg62-turbo-dev libcairo2-dev libfontconfig-dev fonts-liberation fonts-dejavu-core
          fonts-symbola nettle-dev
          libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev nodejs npm
          python3-numpy python3-pil)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  # nodejs may come from another repository that already bundles npm.
  if command -v npm >/dev/null 2>&1; then
    missing=("${missing[@]/npm}")
  fi
  local need=()
  for p in "${missing[@]}"; do [ -n "$p" ] && need+=("$p"); done
  if [ ${#need[@]} -gt 0 ]; then
    echo "Installing: ${need[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}"
  fi
}

build() { # build DIR [cmake args...]
  local dir="$1"; shift
  cmake -S "$ROOT" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

register() { # register DIR: every in-process component of the build
  local dir="$1" regsvr="$1/bin/bcregsvr"
  [ -x "$regsvr" ] || return 0
  for lib in "$dir"/lib/libtarnquill.so "$dir"/lib/libbrindlecast_addin.so; do
    [ -f "$lib" ] && "$regsvr" "$lib"
  done
  return 0
}

setup() {
  install_packages
  build "$BUILD"
  register "$BUILD"
}

run_ctest() { # run_ctest DIR
  (cd "$1" && ctest --output-on-failure -j "$JOBS" --timeout 600)
}

case "${1:-}" in
  setup) setup ;;
  demo)
    setup
    out="$BUILD/demo"
    mkdir -p "$out"
    "$BUILD/bin/brindlecast" "$ROOT/examples/sample.ppt" -o "$out/sample.swf" --yes
    echo "Converted examples/sample.ppt into $out/sample.swf"
    ;;
  test)
    setup
    # Tests keep their own registry so they never touch the user's.
    export BRINDLECAST_REGISTRY="$(mktemp -d)/registry"
    status=0
    # The movie checker beside the project installs its player on first use; do that once here,
    # not in several tests at the same time.
    swfshot="$ROOT/../shared/tools/swfshot/swfshot"
    if [ -x "$swfshot" ]; then
      echo "== Preparing the movie checker =="
      "$swfshot" --check /dev/null >/dev/null 2>&1 || true
    fi
    if [ "${BC_SKIP_FUZZ:-0}" != 1 ] && [ -x "$ROOT/fuzz/run.sh" ]; then
      # A fixed seed from the seeds alone: every machine runs the same inputs, so what passes
      # here passes there; long exploring runs are fuzz/run.sh's own (see fuzz/README.md).
      echo "== Fuzzing the file readers (${BC_FUZZ_SECONDS:-60} s, seed ${BC_FUZZ_SEED:-1}) =="
      FUZZ_SEED="${BC_FUZZ_SEED:-1}" "$ROOT/fuzz/run.sh" "${BC_FUZZ_SECONDS:-60}" || status=1
    fi
    if [ "${BC_SKIP_SANITIZERS:-0}" != 1 ]; then
      echo "== Sanitizer build (AddressSanitizer + UndefinedBehaviorSanitizer) =="
      build "$BUILD-asan" -DBC_SANITIZE=ON -DBC_BENCHMARKS=OFF
      register "$BUILD-asan"
      ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
        run_ctest "$BUILD-asan" || status=1
    fi
    # The plain build's summary closes the run.
    echo "== Tests =="
    run_ctest "$BUILD" || status=1
    exit $status
    ;;
  *) echo "usage: scripts/bc.sh setup|demo|test" >&2; exit 2 ;;
esac
