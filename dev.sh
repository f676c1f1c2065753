#!/usr/bin/env bash
# Set-up, build and run for QOVAicuC. Idempotent: packages are installed only when missing and
# the build is incremental.
#   ./dev.sh demo    install what is missing, build, run the tour
#   ./dev.sh test    install what is missing, build, run the whole test suite with CTest
# Further stages (used by .ci/run): sanitize, tsan, fuzz, memcheck, bench-build, icu [PREFIX],
# windows, arch [i386|arm64|s390x]
set -euo pipefail
cd "$(dirname "$0")"

# Debian packages per stage: the demo needs only the compiler, CMake and ICU; the tests add
# GoogleTest, the tool's CLI11 and what the install and package tests run (pkg-config, dpkg-dev);
# every other stage adds only its own.
DEMO_PACKAGES=(cmake ninja-build g++ libicu-dev)
TEST_PACKAGES=("${DEMO_PACKAGES[@]}" pkg-config binutils dpkg-dev libgtest-dev libgmock-dev libcli11-dev)
stage_packages() {
  case "$1" in
    demo) echo "${DEMO_PACKAGES[*]}" ;;
    fuzz) echo "${TEST_PACKAGES[*]} clang libclang-rt-14-dev" ;;
    memcheck) echo "${TEST_PACKAGES[*]} valgrind" ;;
    bench-build) echo "${TEST_PACKAGES[*]} libbenchmark-dev" ;;
    *) echo "${TEST_PACKAGES[*]}" ;;
  esac
}
JOBS=${JOBS:-2}

# ensure_packages STAGE: installs the stage's packages that are missing.
ensure_packages() {
  local missing=() p
  for p in $(stage_packages "$1"); do
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

# build DIR [cmake options...]: configure with the options once, then build incrementally. An
# existing folder is configured again, so that parts which stepped aside for a missing package
# (after `demo`, say) come back once a later stage has installed it.
build() {
  local dir=$1; shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  else
    cmake "$dir" >/dev/null
  fi
  cmake --build "$dir" -j "$JOBS"
}

werror() { [ "${CI:-}" = true ] && echo -DQOVAICUC_WERROR=ON || echo -DQOVAICUC_WERROR=OFF; }

stage=${1:-}
case "$stage" in
  demo)
    ensure_packages demo
    build build "$(werror)"
    ./build/examples/qovaicuc-tour
    ;;
  test)
    ensure_packages test
    build build "$(werror)"
    ctest --test-dir build --output-on-failure -j "$JOBS"
    ;;
  sanitize)
    ensure_packages sanitize
    build build-asan -DQOVAICUC_SANITIZE=ON "$(werror)"
    ASAN_OPTIONS=detect_leaks=1:halt_on_error=1 \
    UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
      ctest --test-dir build-asan --output-on-failure -j "$JOBS" -LE install
    ;;
  *)
    if [ -x ".ci/stages/$stage" ]; then
      ensure_packages "$stage"
      exec ".ci/stages/$stage" "${@:2}"
    fi
    echo "usage: $0 demo|test|sanitize|$(ls .ci/stages | tr "\n" "|")" >&2
    exit 2
    ;;
esac
