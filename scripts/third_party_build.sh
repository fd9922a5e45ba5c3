#!/usr/bin/env bash
# Builds the third-party codec libraries from their fetched Debian source packages with our MinGW
# compilers, for one tree, into PREFIX (include/, lib/, bin/ for DLLs, licences/). A library
# already built from the same package version for the same host is left as it is, so a second
# build costs nothing. Usage: third_party_build.sh HOST SOURCES_DIR PREFIX LIBRARY...
#   HOST: i686-w64-mingw32 (the shipped tree) or x86_64-w64-mingw32 (the 64-bit test build)
set -euo pipefail
host=$1 sources=$2 prefix=$3
shift 3
work=$prefix/work
mkdir -p "$prefix/include" "$prefix/lib" "$prefix/bin" "$prefix/licences" "$work"

# Unpacks the upstream tarball of a package and applies the Debian patches in their order.
unpack() {
  local package=$1 dir=$2 dsc tarball debian
  dsc=$(ls "$sources/${package}"_*.dsc | head -n1)
  tarball=$(ls "$sources/${package}"_*.orig.tar.* | grep -v '\.asc$' | head -n1)
  debian=$(ls "$sources/${package}"_*.debian.tar.* | head -n1)
  rm -rf "$dir" && mkdir -p "$dir"
  tar xf "$tarball" -C "$dir" --strip-components=1
  tar xf "$debian" -C "$dir"
  if [ -f "$dir/debian/patches/series" ]; then
    while read -r patch _; do
      case $patch in ''|'#'*) continue ;; esac
      patch -d "$dir" -p1 -s <"$dir/debian/patches/$patch"
    done <"$dir/debian/patches/series"
  fi
}

# The package version a library was built from, to tell a stale build.
version_of() { basename "$(ls "$sources/${1}"_*.dsc | head -n1)" .dsc; }

build_mpg123() {
  local stamp=$prefix/mpg123.stamp version cpu
  version="$(version_of mpg123) $host"
  [ -f "$stamp" ] && [ "$(cat "$stamp")" = "$version" ] && return 0
  echo "third-party: building libmpg123 for $host"
  case $host in
    i686-*) cpu=x86 ;;
    *) cpu=x86-64 ;;
  esac
  unpack mpg123 "$work/mpg123"
  (cd "$work/mpg123" &&
     ./configure --host="$host" --enable-shared --disable-static --with-cpu="$cpu" --disable-modules \
       LDFLAGS=-static-libgcc >configure.log 2>&1 &&
     make -j"$(nproc)" src/libmpg123/libmpg123.la >make.log 2>&1) ||
    { echo "third-party: libmpg123 failed to build (logs in $work/mpg123)" >&2; exit 1; }
  cp "$work/mpg123/src/libmpg123/.libs/libmpg123-0.dll" "$prefix/bin/"
  cp "$work/mpg123/src/libmpg123/.libs/libmpg123.dll.a" "$prefix/lib/"
  cp "$work/mpg123/src/libmpg123/mpg123.h" "$work/mpg123/src/libmpg123/fmt123.h" "$prefix/include/"
  cp "$work/mpg123/COPYING" "$prefix/licences/libmpg123-COPYING.txt"
  echo "$version" >"$stamp"
}

for library in "$@"; do
  "build_$library"
done
