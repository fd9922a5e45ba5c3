#!/usr/bin/env bash
# Uses the release zip as a user would, in a fresh 32-bit Wine prefix of its own: install.cmd
# copied alone must refuse; then the zip is unpacked into C:\Program Files\TunaraXChat, install.cmd
# runs twice, the registration is checked, the VBScript sample plays with cscript, uninstall.cmd
# runs twice and the keys must be gone. Last, the C++ sample is built from the unpacked sources.
# Usage: install_test.sh ZIP WORK_DIR
set -euo pipefail
zip=$1 work=$2
here=$(cd "$(dirname "$0")/../.." && pwd)
prefix=$work/wineprefix
progid=TunaraXChat.ITunaraActiveXChat
clsid='{F13BE5CD-4F9F-43E9-BAC1-50116469E4A8}'
folder='C:\Program Files\TunaraXChat'

fail() { echo "FAIL: $*"; exit 1; }

rm -rf "$work" && mkdir -p "$work"
export TUNARA_WINE_ARCH=win32
"$here/scripts/wine_prefix.sh" "$prefix" >/dev/null
. "$here/scripts/wine_env.sh" "$prefix"
trap 'wineserver -k 2>/dev/null || true' EXIT
unzip -q "$zip" -d "$prefix/drive_c/Program Files/TunaraXChat"

# reg query in the 32-bit view of the registry (Wow6432Node on a 64-bit system).
value_of() { "$WINE" reg query "$1" /ve /reg:32 2>/dev/null | tr -d '\r' | sed -nE 's/^ +\(Default\) +REG_SZ +//p'; }
has_key() { "$WINE" reg query "$1" /reg:32 >/dev/null 2>&1; }
run_cmd() { "$WINE" cmd /c "$folder\\$1" 2>&1 | tr -d '\r' | grep -v '^ALSA lib'; }

# install.cmd alone, without the files beside it, refuses and names what is missing.
mkdir -p "$prefix/drive_c/Lone"
cp "$prefix/drive_c/Program Files/TunaraXChat/install.cmd" "$prefix/drive_c/Lone/"
status=0
output=$("$WINE" cmd /c 'C:\Lone\install.cmd' 2>&1 | tr -d '\r') || status=$?
[ "$status" -ne 0 ] || fail "install.cmd without its files succeeded: $output"
grep -qF 'C:\Lone\TunaraXChat.dll is missing' <<<"$output" || fail "install.cmd did not name the missing control: $output"

for round in 1 2; do
  output=$(run_cmd install.cmd) || fail "install.cmd (round $round) failed: $output"
  echo "$output"
  grep -qF "install: registered $folder\\TunaraXChat.dll" <<<"$output" || fail "install.cmd did not say what it did"
done
[ "$(value_of "HKCR\\$progid\\CLSID")" = "$clsid" ] || fail "HKCR\\$progid\\CLSID is not $clsid"
server=$(value_of "HKCR\\CLSID\\$clsid\\InprocServer32")
[ "${server,,}" = "${folder,,}\\tunaraxchat.dll" ] || fail "InprocServer32 is '$server', not $folder\\TunaraXChat.dll"
echo "registered: $progid -> $clsid -> $server"

played=$("$WINE" cscript //nologo "$folder\\samples\\play.vbs" 2>&1 | tr -d '\r' | grep -v '^ALSA lib') ||
  fail "the VBScript sample failed: $played"
echo "$played"
for title in "1. Tone A 440 Hz" "2. Chord C major" "3. Sweep 200 to 2000 Hz" "4. Fifth, left to right"; do
  grep -qx "Now playing: $title" <<<"$played" || fail "the VBScript sample did not show '$title'"
done
grep -qx "The list has played." <<<"$played" || fail "the VBScript sample did not reach the end of the list"

for round in 1 2; do
  output=$(run_cmd uninstall.cmd) || fail "uninstall.cmd (round $round) failed: $output"
  echo "$output"
done
! has_key "HKCR\\$progid" || fail "HKCR\\$progid is still there"
! has_key "HKCR\\CLSID\\$clsid" || fail "HKCR\\CLSID\\$clsid is still there"
echo "unregistered: the ProgID and class keys are gone"

# The C++ container builds from the zip's sources alone.
cpp="$prefix/drive_c/Program Files/TunaraXChat/samples/cpp"
i686-w64-mingw32-g++-posix -std=c++17 -municode -static -I"$cpp" "$cpp"/*.cpp -x c "$cpp/tunaraxchat_i.c" \
  -o "$work/tunaraplay.exe" -lole32 -loleaut32 -luuid -luser32 || fail "the C++ sample does not build"
echo "built the C++ sample"
