#!/usr/bin/env bash
# Set-up, build and run for QOVAicuC. Idempotent: packages are installed only when missing and
# the build is incremental.
#   ./dev.sh demo    install what is missing, build, run the tour
#   ./dev.sh test    install what is missing, build, run the whole test suite with CTest
# Further stages (used by .ci/run): sanitize, tsan, fuzz, memcheck, bench-build, icu [PREFIX]
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config binutils libicu-dev libgtest-dev libgmock-dev
          libbenchmark-dev libcli11-dev clang libclang-rt-14-dev valgrind)
JOBS=${JOBS:-2}

ensure_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -ne 0 ]; then
    echo "Missing packages. Install them as root, then run this again:"
    echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}"
    exit 1
  fi
  echo "Installing: ${missing[*]}"
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# build DIR [cmake options...]: configure once, then build incrementally.
build() {
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$dir" -j "$JOBS"
}

werror() { [ "${CI:-}" = true ] && echo -DQOVAICUC_WERROR=ON || echo -DQOVAICUC_WERROR=OFF; }

stage=${1:-}
case "$stage" in
  demo)
    ensure_packages
    build build "$(werror)"
    ./build/examples/qovaicuc-tour
    ;;
  test)
    ensure_packages
    build build "$(werror)"
    ctest --test-dir build --output-on-failure -j "$JOBS"
    ;;
  sanitize)
    ensure_packages
    build build-asan -DQOVAICUC_SANITIZE=ON "$(werror)"
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$JOBS" -LE install
    ;;
  *)
    if [ -x ".ci/stages/$stage" ]; then
      ensure_packages
      exec ".ci/stages/$stage" "${@:2}"
    fi
    echo "usage: $0 demo|test|sanitize|$(ls .ci/stages | tr "\n" "|")" >&2
    exit 2
    ;;
esac
