#!/usr/bin/env bash
# Compares the library's exported dynamic symbols (demangled) with the lists in a folder.
set -euo pipefail
lib=$1 dir=$2
actual=$(nm -D --defined-only "$lib" | awk '{print $3}' | c++filt | LC_ALL=C sort -u)
expected=$(cat "$dir"/*.txt | grep -v '^\s*\(#.*\)\?$' | LC_ALL=C sort -u)
if [ "$actual" != "$expected" ]; then
  echo "exported symbols differ from the interface ('<' missing, '>' extra):"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$(echo "$actual" | wc -l) exported symbols, exactly the interface"
