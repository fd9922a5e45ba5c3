#!/usr/bin/env bash
# Builds the shipped 32-bit tree in release form (incrementally: a built tree is reused) and
# writes the release zip dist/TunaraXChat-<version>-win32.zip: the control, sharedir.dll,
# Plugins\ (every module and library the build put there, with their licences), README.txt,
# install.cmd, uninstall.cmd and samples\. Prints the zip's path.
set -euo pipefail
here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}
export BUILD_DIR=$build_dir
version=$(tr -d '[:space:]' <"$here/VERSION")
zip_path=$here/dist/TunaraXChat-$version-win32.zip
bin=$build_dir/bin
strip=i686-w64-mingw32-strip

mkdir -p "$build_dir"
if ! TUNARA_WINE_ARCH=win32 "$here/scripts/build.sh" TunaraXChat sharedir modules >"$build_dir/package.log" 2>&1; then
  echo "package: building the 32-bit tree failed (see $build_dir/package.log)" >&2
  exit 1
fi
grep -qx 'CMAKE_BUILD_TYPE:STRING=Release' "$build_dir/CMakeCache.txt" ||
  { echo "package: $build_dir is not a Release build" >&2; exit 1; }

stage=$build_dir/package/TunaraXChat
rm -rf "$stage" && mkdir -p "$stage/Plugins" "$stage/samples/media" "$stage/samples/cpp/win"
cp "$bin/TunaraXChat.dll" "$bin/sharedir.dll" "$here/package/install.cmd" "$here/package/uninstall.cmd" "$stage/"
sed "s/@VERSION@/$version/g" "$here/package/README.txt.in" >"$stage/README.txt"

# Every DLL and licence text in the build's Plugins folder; the settings files are the package's
# own (the build's point into the build tree).
find "$bin/Plugins" -maxdepth 1 -type f \( -iname '*.dll' -o -name '*-COPYING.txt' \) -exec cp {} "$stage/Plugins/" \;
cp "$here/package/Plugins/"* "$stage/Plugins/"
# A library that is not one of our modules (IN_*, OUT_*) comes from another project: it ships
# without debug sections and with its licence, libfoo-N.dll beside libfoo-COPYING.txt.
for dll in "$stage/Plugins/"*; do
  name=$(basename "$dll")
  case ${name,,} in
    in_*.dll | out_*.dll | *.txt | *.ini) continue ;;
  esac
  "$strip" --strip-debug "$dll"
  library=$(sed -E 's/(-[0-9]+)?\.[dD][lL][lL]$//' <<<"$name")
  [ -f "$stage/Plugins/$library-COPYING.txt" ] ||
    { echo "package: $name has no licence text ($library-COPYING.txt) in $bin/Plugins" >&2; exit 1; }
done

cp -r "$here/package/samples/." "$stage/samples/"
cp "$bin/samples/"*.wav "$bin/samples/samples.m3u" "$stage/samples/media/"
# The C++ container is the demo's source with the headers it includes.
cp "$here/host/"*.cpp "$here/host/"*.h "$build_dir/generated/tunaraxchat.h" "$build_dir/generated/tunaraxchat_i.c" \
   "$stage/samples/cpp/"
cp "$here/src/win/"{bstr.h,com_ptr.h,variant.h,unique_resource.h} "$stage/samples/cpp/win/"

# Windows line endings for every text file a user opens or runs (licences stay as written).
find "$stage" -type f \( -name '*.cmd' -o -name '*.vbs' -o -name '*.wsf' -o -name '*.js' -o -name '*.ps1' \
     -o -name '*.ahk' -o -name '*.cs' -o -name '*.csproj' -o -name '*.cpp' -o -name '*.h' -o -name '*.c' \
     -o -name 'CMakeLists.txt' -o -name '*.ini' -o -name '*.m3u' -o -name 'README.txt' \) \
     -exec sed -i 's/\r*$/\r/' {} +

mkdir -p "$here/dist"
rm -f "$zip_path"
(cd "$stage" && zip -q -r -X "$zip_path" .)
echo "$zip_path"
