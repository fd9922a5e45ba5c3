#!/usr/bin/env bash
# The main job: builds the control, its plugin modules and the sample playlist, registers the
# control in the build tree's Wine prefix and runs the demo container. Without names it plays the
# bundled sample playlist: to the sound device where one opens, else through out_pq2.dll into
# WAVE files under the build tree (see bin/Plugins/out_pq2.ini), and says where they went.
# Where this machine runs no 32-bit code, everything runs in the 64-bit test build (build/wide)
# under 64-bit Wine, as the test command does.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

tree=$build_dir
if ! "$here/scripts/native_i386.sh"; then
  echo "demo: this machine runs no 32-bit x86 code: running the 64-bit test build under 64-bit Wine"
  export TUNARA_WINE_ARCH=win64
  tree=$build_dir/wide
fi
if ! "$here/scripts/build.sh" TunaraXChat tunaraplay sharedir modules >/dev/null; then
  echo "demo: building the control, its modules and the demo container failed" >&2
  exit 1
fi
"$here/scripts/wine_prefix.sh" "$tree/wineprefix"
. "$here/scripts/wine_env.sh" "$tree/wineprefix"
# regsvr32 /s shows nothing, not even a failure: its exit status is all there is.
registered=0
"$WINE" regsvr32 /s "$tree/bin/TunaraXChat.dll" || registered=$?
if [ "$registered" -ne 0 ]; then
  echo "demo: registering $tree/bin/TunaraXChat.dll failed (regsvr32 exit $registered)" >&2
  wineserver -k 2>/dev/null || true
  exit 1
fi

names=("$@")
if [ ${#names[@]} -eq 0 ]; then
  list=$tree/bin/samples/samples.m3u
  names=("Z:${list//\//\\}")
  echo "demo: playing the sample playlist $list"
fi
# The file writer's tracks of this run only.
rm -f "$tree/demo"/track*.wav
status=0
# Where no sound card exists, the sound library reports each failed device probe on stderr.
"$WINE" "$tree/bin/tunaraplay.exe" "${names[@]}" 2> >(grep -v '^ALSA lib' >&2) || status=$?
wineserver -k 2>/dev/null || true
written=("$tree/demo"/track*.wav)
if [ -e "${written[0]}" ]; then
  echo "demo: no sound device opened; out_pq2.dll wrote the tracks to WAVE files:"
  for file in "${written[@]}"; do echo "  $file ($(stat -c %s "$file") bytes)"; done
fi
exit $status
