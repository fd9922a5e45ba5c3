#!/usr/bin/env bash
# Creates the private 32-bit Wine prefix once: null graphics driver (windows work without a
# display), no crash dialog (a crashing test fails instead of hanging in the debugger).
set -euo pipefail
prefix=${1:?usage: wine_prefix.sh PREFIX}
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh" "$prefix"

[ -f "$prefix/.tunara-ready" ] && exit 0
mkdir -p "$prefix"
echo "setup: creating Wine prefix $prefix"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Graphics /d null /f >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
# The graphics setting takes effect only once the server has restarted.
wineserver -w
touch "$prefix/.tunara-ready"
