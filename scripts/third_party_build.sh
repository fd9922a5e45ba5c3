#!/usr/bin/env bash
# Builds the third-party codec libraries from their fetched Debian source packages with our MinGW
# compilers, for one tree, into PREFIX (include/, lib/, bin/ for DLLs, licences/). A library
# already built from the same package version for the same host is left as it is, so a second
# build costs nothing. The LGPL ones are DLLs, the others static libraries.
# Usage: third_party_build.sh HOST SOURCES_DIR PREFIX LIBRARY...
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

# Whether a library was built from the current package version for this host; mark_built notes it.
built() { [ -f "$prefix/$1.stamp" ] && [ "$(cat "$prefix/$1.stamp")" = "$(version_of "$1") $host" ]; }
mark_built() { echo "$(version_of "$1") $host" >"$prefix/$1.stamp"; }

# The BSD-licensed libraries are linked into the modules: static, only the library itself built
# (no programs, examples or documentation), found by each other through PREFIX alone.
# Usage: static_library PACKAGE LICENCE_FILE 'MAKE ARGUMENTS...' CONFIGURE_OPTIONS...
static_library() {
  local package=$1 licence=$2 targets=$3 dir=$work/$1
  shift 3
  built "$package" && return 0
  echo "third-party: building $package for $host"
  unpack "$package" "$dir"
  (cd "$dir" &&
     ./configure --host="$host" --prefix="$prefix" --disable-shared --enable-static \
       PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH= CPPFLAGS="-I$prefix/include" \
       LDFLAGS="-static-libgcc -L$prefix/lib" "$@" >configure.log 2>&1 &&
     eval "make -j$(nproc) $targets" >make.log 2>&1) ||
    { echo "third-party: $package failed to build (logs in $dir)" >&2; exit 1; }
  cp "$dir/$licence" "$prefix/licences/$package-COPYING.txt"
  mark_built "$package"
}

build_libogg() {
  static_library libogg COPYING '-C src install && make -C include install && make install-pkgconfigDATA'
}

# FLAC__NO_DLL: the library's declarations without the DLL import and export attributes.
build_flac() {
  static_library flac COPYING.Xiph '-C src/libFLAC install && make -C include/FLAC install' \
    --disable-programs --disable-examples --disable-cpplibs --disable-doxygen-docs --disable-oggtest \
    --disable-stack-smash-protection --disable-fortify-source --with-ogg="$prefix" CFLAGS="-O2 -DFLAC__NO_DLL"
}

build_libvorbis() {
  static_library libvorbis COPYING '-C lib install && make -C include install && make install-pkgconfigDATA' \
    --disable-docs --disable-examples --disable-oggtest --with-ogg="$prefix"
}

# _FORTIFY_SOURCE defined (to 0) keeps configure from adding its checked memcpy, which MinGW's C
# library does not have.
build_opus() {
  static_library opus COPYING \
    'libopus.la && make install-libLTLIBRARIES install-pkgincludeHEADERS install-pkgconfigDATA' \
    --disable-doc --disable-extra-programs --disable-stack-protector --disable-hardening CFLAGS="-O2 -D_FORTIFY_SOURCE=0"
}

# Without HTTP: a station's bytes come through the modules' own network source.
build_opusfile() {
  static_library opusfile COPYING 'install-libLTLIBRARIES install-opusincludeHEADERS lib_LTLIBRARIES=libopusfile.la' \
    --disable-http --disable-examples --disable-doc
}

for library in "$@"; do
  "build_$library"
done
