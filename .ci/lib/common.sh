# The shell kit of dev.sh and of every stage in .ci/stages/: sourced first thing, it stops at the
# first failing command, moves to the top of the checkout (ROOT) and gives
#   need PACKAGE[:COMMAND]...   install the Debian packages that are missing, check the commands
#   build_dir DIR [OPTION...]   configure DIR with Ninja (once) and the options, build incrementally
#   werror_flag                 -DQOVAICUC_WERROR=ON in CI (CI=true), OFF elsewhere
#   valgrind_cmd PROGRAM        the valgrind memcheck command line for PROGRAM, in the array VALGRIND
#   step NAME COMMAND...        run the command, then print how long it took
# A stage starts with:  source "$(dirname "$0")/../lib/common.sh"
set -euo pipefail
ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
cd "$ROOT"
JOBS=${JOBS:-2}

# The demo needs only the compiler, CMake, Ninja and ICU; the suite adds GoogleTest, the tool's
# CLI11 and what the install and package tests run (cpack's DEB generator calls dpkg-shlibdeps
# and file; the packages carry a man page made by help2man and the API reference made by Doxygen,
# and lintian checks them). A stage adds only its own packages to these.
BASE_PACKAGES=(cmake ninja-build g++ libicu-dev)
TEST_PACKAGES=("${BASE_PACKAGES[@]}" pkg-config binutils dpkg-dev file libgtest-dev libgmock-dev libcli11-dev
               help2man doxygen lintian)

# need PACKAGE[:COMMAND]...: as root, installs the Debian packages that are missing; otherwise, or
# when a named command is still not on PATH afterwards, prints the apt-get line and stops.
need() {
  local missing=() p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "${p%%:*}" 2>/dev/null | grep -q 'install ok installed' || missing+=("${p%%:*}")
  done
  if [ ${#missing[@]} -gt 0 ] && [ "$(id -u)" -eq 0 ]; then
    echo "Installing: ${missing[*]}"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}"
    missing=()
  fi
  for p in "$@"; do
    [[ $p != *:* ]] || command -v "${p#*:}" >/dev/null || missing+=("${p%%:*}")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Missing: ${missing[*]}. Install as root (and put the commands on PATH), then run this again:" >&2
  echo "  apt-get update && apt-get install -y --no-install-recommends ${missing[*]}" >&2
  exit 1
}

# build_dir DIR [OPTION...]: configures DIR (RelWithDebInfo unless an option says otherwise) each
# time, so that parts which stepped aside for a missing package come back once it is installed;
# Ninja only for a new folder, so that one made with another generator keeps it.
build_dir() {
  local dir=$1; shift
  if [ -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" "$@" >/dev/null
  else
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@"
  fi
  cmake --build "$dir" -j "$JOBS"
}

werror_flag() { [ "${CI:-}" = true ] && echo -DQOVAICUC_WERROR=ON || echo -DQOVAICUC_WERROR=OFF; }

# valgrind_cmd PROGRAM: VALGRIND=(valgrind memcheck with the project's rules); run it as
# "${VALGRIND[@]}" --log-file=LOG PROGRAM ARGS. Any memory error, or any byte definitely or
# indirectly lost, makes the status 99; ICU's caches stay reachable until the process ends and
# are not leaks. A program that replaces the global operator new counts on every allocation
# reaching its replacement; valgrind would redirect the library's calls to its own operator new,
# so for such a program it intercepts only the C and C++ runtimes' allocators.
valgrind_cmd() {
  VALGRIND=(valgrind --quiet --error-exitcode=99 --leak-check=full --show-leak-kinds=definite,indirect
            --errors-for-leak-kinds=definite,indirect --suppressions="$ROOT/.ci/valgrind.supp")
  if nm -C --defined-only "$1" 2>/dev/null | grep ' operator new(unsigned long)$' >/dev/null; then
    VALGRIND+=(--soname-synonyms=somalloc=nouserintercepts)
  fi
}

step() {
  local name=$1 start=$SECONDS; shift
  "$@"
  echo "-- $name: $((SECONDS - start)) s"
}
