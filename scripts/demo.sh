#!/usr/bin/env bash
# The main job: builds the control, registers it in the build tree's Wine prefix and runs the
# demo container.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir

"$here/scripts/build.sh" TunaraXChat tunaraplay sharedir >/dev/null
. "$here/scripts/wine_env.sh" "$build_dir/wineprefix"
wine regsvr32 /s "$build_dir/bin/TunaraXChat.dll"
status=0
wine "$build_dir/bin/tunaraplay.exe" "$@" || status=$?
wineserver -k 2>/dev/null || true
exit $status
