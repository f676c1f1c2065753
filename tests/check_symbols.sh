#!/usr/bin/env bash
# Compares the library's exported symbols (demangled) with the lists in a folder.
#   ELF shared object: the defined dynamic symbols (nm -D; NM picks the nm, such as a cross
#   toolchain's, though the build machine's reads the other architectures' ELF files as well).
#   PE DLL: the names of the export table (objdump -p); MinGW exports Itanium-mangled names,
#   which demangle as on Linux. OBJDUMP picks the objdump that reads PE files.
set -euo pipefail
lib=$1 dir=$2
if [ "$(head -c 2 "$lib")" = MZ ]; then
  objdump=${OBJDUMP:-$(command -v x86_64-w64-mingw32-objdump || echo objdump)}
  # The name pointer table: lines "[ ordinal] name" after its heading, up to the blank line.
  names=$("$objdump" -p "$lib" | awk '/^\[Ordinal\/Name Pointer\] Table/ {t = 1; next}
                                       t && NF == 0 {t = 0}
                                       t {print $NF}')
  if echo "$names" | grep -q '^?'; then
    echo "MSVC-decorated export names: demangle them with llvm-undname before comparing" >&2
    exit 1
  fi
else
  names=$("${NM:-nm}" -D --defined-only "$lib" | awk '{print $3}')
fi
actual=$(echo "$names" | c++filt | LC_ALL=C sort -u)
# A line may end in a comment ("# since 1.1.0", the version that first exported the symbol).
expected=$(cat "$dir"/*.txt | grep -v '^\s*\(#.*\)\?$' | sed 's/\s*#.*$//' | LC_ALL=C sort -u)
if [ "$actual" != "$expected" ]; then
  echo "exported symbols differ from the interface ('<' missing, '>' extra):"
  diff <(echo "$expected") <(echo "$actual") || true
  exit 1
fi
echo "$(echo "$actual" | wc -l) exported symbols, exactly the interface"
