#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (not part of the test suite).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

"$here/scripts/build.sh" lifecycle_bench playlist_bench advance_bench

. "$here/scripts/wine_env.sh" "$build_dir/wineprefix"
cd "$build_dir/bin"
wine lifecycle_bench.exe
wine playlist_bench.exe
wine advance_bench.exe
wineserver -k 2>/dev/null || true
