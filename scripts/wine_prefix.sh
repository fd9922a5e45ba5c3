#!/usr/bin/env bash
# Creates the private Wine prefix once: null graphics driver (windows work without a
# display), no crash dialog (a crashing test fails instead of hanging in the debugger).
# Usage: wine_prefix.sh PREFIX [sound]. With "sound", the prefix's one wave output device is ALSA's
# "null" device (it takes sound and plays it nowhere, faster than real time), for the device
# output's tests; without it, no wave device opens, as on a machine without a sound card.
# Each step's output goes to PREFIX.log; a step that fails is named, its output shown, and the
# script exits non-zero without marking the prefix ready.
set -euo pipefail
prefix=${1:?usage: wine_prefix.sh PREFIX [sound]}
sound=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh" "$prefix"

[ -f "$prefix/.tunara-ready" ] && exit 0
log="$prefix.log"
: >"$log"

# step DESCRIPTION COMMAND...: runs the command with its output in the log, or stops the set-up.
step() {
  local what=$1 status=0
  shift
  "$@" >>"$log" 2>&1 </dev/null || status=$?
  if [ "$status" -ne 0 ]; then
    echo "setup: $what failed (exit $status): $*" >&2
    echo "setup: last lines of $log:" >&2
    tail -n 20 "$log" >&2
    exit 1
  fi
}

echo "setup: creating Wine prefix $prefix"
step "creating the Wine prefix (wineboot)" "$WINE" wineboot -i
# The server writes the registry files when it exits, which may come after wineboot returns.
step "waiting for the Wine server to write the registry" wineserver -w
if [ ! -f "$prefix/system.reg" ]; then
  echo "setup: wineboot reported success but $prefix holds no registry (system.reg); see $log" >&2
  exit 1
fi
step "setting the null graphics driver" "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f
step "turning off the crash dialog" \
  "$WINE" reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f
if [ "$sound" = sound ]; then
  # The ALSA driver, not the PulseAudio one (which would leave files outside the prefix).
  step "choosing the ALSA sound driver" "$WINE" reg add 'HKCU\Software\Wine\Drivers' /v Audio /d alsa /f
  step "choosing the ALSA null device" "$WINE" reg add 'HKCU\Software\Wine\Drivers\winealsa.drv' \
    /v ALSAOutputDevices /t REG_MULTI_SZ /d null /f
fi
# The graphics and sound settings take effect only once the server has restarted.
step "waiting for the Wine server to exit" wineserver -w
touch "$prefix/.tunara-ready"
