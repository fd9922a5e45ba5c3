#!/usr/bin/env bash
# The main job: builds the control, registers it in the build tree's Wine prefix and runs the
# demo container.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

if ! "$here/scripts/build.sh" TunaraXChat tunaraplay sharedir >/dev/null; then
  echo "demo: building the control and the demo container failed" >&2
  exit 1
fi
if ! "$here/scripts/native_i386.sh"; then
  echo "demo: this machine's kernel runs no 32-bit x86 code (its 32-bit emulation is turned off):" \
       "the 32-bit control cannot run here" >&2
  exit 1
fi
. "$here/scripts/wine_env.sh" "$build_dir/wineprefix"
# regsvr32 /s shows nothing, not even a failure: its exit status is all there is.
registered=0
"$WINE" regsvr32 /s "$build_dir/bin/TunaraXChat.dll" || registered=$?
if [ "$registered" -ne 0 ]; then
  echo "demo: registering $build_dir/bin/TunaraXChat.dll failed (regsvr32 exit $registered)" >&2
  wineserver -k 2>/dev/null || true
  exit 1
fi
status=0
"$WINE" "$build_dir/bin/tunaraplay.exe" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
