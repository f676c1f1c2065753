#!/usr/bin/env bash
# Set-up, build and run for QOVAicuC: `./dev.sh STAGE [ARGUMENTS]` runs the stage file
# .ci/stages/STAGE. Each stage installs the Debian packages it needs when they are missing (as
# root; otherwise it prints the apt-get line to run and stops) and builds incrementally.
#   ./dev.sh demo    build and run the tour
#   ./dev.sh test    build and run the whole test suite with CTest
#   ./dev.sh         list every stage (.ci/run runs them in CI)
source "$(dirname "$0")/.ci/lib/common.sh"
if [ -n "${1:-}" ] && [ -x ".ci/stages/$1" ]; then
  exec ".ci/stages/$1" "${@:2}"
fi
{
  echo "usage: $0 STAGE [ARGUMENTS]   (docs/development.md)"
  for f in .ci/stages/*; do printf '  %-12s %s\n' "${f##*/}" "$(sed -n '2s/^# *//p' "$f")"; done
} >&2
exit 2
