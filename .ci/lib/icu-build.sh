#!/usr/bin/env bash
# Builds ICU from Debian's source package into a cache folder outside the checkout, once; later
# runs find the finished prefix and return at once.
#   icu-build.sh native   ICU 76.1 for this machine:          $QOVAICUC_CACHE/icu76/prefix
#   icu-build.sh mingw    the same ICU for 64-bit Windows:     $QOVAICUC_CACHE/icu76/mingw
#   ICU_SOURCE="VERSION DEBIAN-VERSION SUITE"  another release of Debian's archive, in icuMAJOR/
#                         (default "76.1 76.1-4 trixie")
# The source comes through apt with a private sources list (that suite, the same archive as
# the system's own sources), so the system's apt setup stays untouched. Progress and failures go
# to standard error; standard output is the prefix alone.
set -euo pipefail
read -r version debver suite <<<"${ICU_SOURCE:-76.1 76.1-4 trixie}"
cache=${QOVAICUC_CACHE:-/var/cache/qovaicuc}
root=$cache/icu${version%%.*}
jobs=${JOBS:-2}
opts=(--disable-tests --disable-samples --disable-extras --disable-layoutex --disable-icuio)

fetch_source() {
  [ -f "$root/src/icu_$version.orig.tar.gz" ] && return 0
  mkdir -p "$root/apt/lists/partial" "$root/apt/parts" "$root/apt/cache/archives/partial" "$root/src"
  local base
  base=$(sed -n 's/^URIs: *//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null | head -n 1)
  [ -n "$base" ] || base=$(awk '$1 == "deb" {print $2; exit}' /etc/apt/sources.list)
  printf 'Types: deb-src\nURIs: %s\nSuites: %s\nComponents: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg\n' \
    "$base" "$suite" >"$root/apt/parts/src.sources"
  local a=(-o Dir::Etc::sourcelist=/dev/null -o "Dir::Etc::sourceparts=$root/apt/parts"
           -o "Dir::State::Lists=$root/apt/lists" -o "Dir::Cache=$root/apt/cache")
  apt-get "${a[@]}" -qq update
  (cd "$root/src" && apt-get "${a[@]}" -qq source --download-only "icu=$debver")
}

# unpack DIR: a fresh copy of the source tree in DIR (the native and the cross build each need one).
unpack() {
  [ -d "$1/icu/source" ] && return 0
  mkdir -p "$1"
  tar xzf "$root/src/icu_$version.orig.tar.gz" -C "$1"
}

native() {
  [ -f "$root/prefix/lib/libicuuc.so" ] && return 0
  fetch_source
  unpack "$root/native"
  echo "building ICU $version into $root/prefix (about 10 minutes on 2 cores)" >&2
  (cd "$root/native/icu/source" &&
     ./runConfigureICU Linux --prefix="$root/prefix" "${opts[@]}" >"$root/native.log" 2>&1 &&
     make -j"$jobs" >>"$root/native.log" 2>&1 && make install >>"$root/native.log" 2>&1) ||
    { tail -n 40 "$root/native.log" >&2; exit 1; }
}

mingw() {
  [ -f "$root/mingw/lib/libicuuc.dll.a" ] && return 0
  native
  unpack "$root/cross"
  echo "cross-building ICU $version for Windows into $root/mingw (about 8 minutes on 2 cores)" >&2
  (cd "$root/cross/icu/source" &&
     ./configure --host=x86_64-w64-mingw32 --with-cross-build="$root/native/icu/source" \
       --prefix="$root/mingw" "${opts[@]}" --disable-tools \
       CC=x86_64-w64-mingw32-gcc-posix CXX=x86_64-w64-mingw32-g++-posix >"$root/cross.log" 2>&1 &&
     make -j"$jobs" >>"$root/cross.log" 2>&1 && make install >>"$root/cross.log" 2>&1) ||
    { tail -n 40 "$root/cross.log" >&2; exit 1; }
}

case "${1:-}" in
  native) native; echo "$root/prefix" ;;
  mingw) mingw; echo "$root/mingw" ;;
  *) echo "usage: $0 native|mingw" >&2; exit 2 ;;
esac
