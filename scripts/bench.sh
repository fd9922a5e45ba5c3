#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (not part of the test suite).
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

"$here/scripts/build.sh" lifecycle_bench playlist_bench advance_bench

. "$here/scripts/wine_env.sh" "$build_dir/wineprefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
cd "$build_dir/bin"
for bench in lifecycle_bench playlist_bench advance_bench; do
  status=0
  wine "$bench.exe" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "bench: $bench failed (exit $status)" >&2
    exit 1
  fi
done
