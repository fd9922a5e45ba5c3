#!/usr/bin/env bash
# Sets up the machine (packages, Wine prefix), then configures and builds: everything, or the
# targets named on the command line. With TUNARA_WINE_ARCH=win64, builds the 64-bit test build
# of the same sources instead, in the build tree's "wide" folder.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

"$here/scripts/setup.sh"
if [ "${TUNARA_WINE_ARCH:-win32}" = win64 ]; then
  toolchain=mingw64.cmake
  tree=$build_dir/wide
  host=x86_64-w64-mingw32
else
  toolchain=mingw32.cmake
  tree=$build_dir
  host=i686-w64-mingw32
fi
# The codec libraries, built for this tree with the same compilers (kept between builds).
"$here/scripts/third_party_build.sh" "$host" "$build_dir/third_party/sources" "$tree/third_party/$host" mpg123 \
  libogg flac libvorbis opus opusfile
cmake -S "$here" -B "$tree" -DCMAKE_TOOLCHAIN_FILE="$here/cmake/$toolchain" \
      -DCMAKE_BUILD_TYPE=Release -DTUNARA_THIRD_PARTY="$tree/third_party/$host" >/dev/null
targets=()
for target in "$@"; do targets+=(--target "$target"); done
cmake --build "$tree" -j"$(nproc)" "${targets[@]}"
