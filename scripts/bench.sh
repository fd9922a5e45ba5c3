#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine (not part of the test suite): in the 64-bit test
# build where this machine runs no 32-bit code, as the test command does.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

benches=(lifecycle_bench playlist_bench advance_bench list_files_bench download_bench render_bench
         playing_cpu_bench)
tree=$build_dir
if ! "$here/scripts/native_i386.sh"; then
  export TUNARA_WINE_ARCH=win64
  tree=$build_dir/wide
fi
"$here/scripts/build.sh" "${benches[@]}"
"$here/scripts/wine_prefix.sh" "$tree/wineprefix"

. "$here/scripts/wine_env.sh" "$tree/wineprefix"
# The download benchmark fetches from the test HTTP server on 127.0.0.1.
"$here/tests/fixtures/http_server.sh" start "$tree/bin"
trap '"$here/tests/fixtures/http_server.sh" stop "$tree/bin"; wineserver -k 2>/dev/null || true' EXIT
cd "$tree/bin"
for bench in "${benches[@]}"; do
  status=0
  "$WINE" "$bench.exe" || status=$?
  if [ "$status" -ne 0 ]; then
    echo "bench: $bench failed (exit $status)" >&2
    exit 1
  fi
done

# sox copying the file that render_bench rendered, for its goal of at least half sox's speed.
source_wav=$tree/bin/cases/render_bench/render/source.wav
start=$(date +%s.%N)
sox "$source_wav" "$tree/bin/cases/render_bench/render/sox_copy.wav"
end=$(date +%s.%N)
echo "sox copying the same file: $(python3 -c "print('%.1f' % (($end - $start) * 1000))") ms"
