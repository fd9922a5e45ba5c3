#!/usr/bin/env bash
# Installs every Debian package that the build, the demo and the tests need, then prepares the
# private Wine prefix in the build tree. Idempotent: quiet and quick when everything is present.
set -euo pipefail

here=$(cd "$(dirname "$0")/.." && pwd)
build_dir=${BUILD_DIR:-$here/build}

# The 64-bit compiler and Wine run the suites where no 32-bit code can run (scripts/test.sh);
# sox is the render benchmark's yardstick and mpg123 the MPEG audio one's (scripts/bench.sh); lame
# encodes the MPEG audio test and benchmark files, twolame the layer 2 test files; patch, bzip2 and
# xz-utils unpack and patch the third-party libraries' source packages; openssl makes the TLS test
# servers' certificates; flac, vorbis-tools and opus-tools encode the FLAC, Ogg Vorbis and Opus
# test files and make their reference decodings; zip writes the release (scripts/package.sh), and
# unzip and python3-pefile let its test unpack it and read the DLLs' version resources. Media
# Foundation under Wine decodes through GStreamer: its libav, base and good plugins for each Wine
# (i386 for the shipped tree, the native ones for the 64-bit build); ffmpeg encodes the platform
# module's test and benchmark files and decodes their references.
packages=(cmake make python3 g++-mingw-w64-i686 g++-mingw-w64-x86-64-posix mingw-w64-tools
          libwine-dev wine wine32:i386 wine64 googletest sox lame twolame mpg123 patch bzip2 xz-utils
          openssl flac vorbis-tools opus-tools zip unzip python3-pefile
          gstreamer1.0-libav:i386 gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
          gstreamer1.0-libav gstreamer1.0-plugins-base gstreamer1.0-plugins-good ffmpeg)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done

if [ ${#missing[@]} -gt 0 ]; then
  sudo_cmd=()
  [ "$(id -u)" -eq 0 ] || sudo_cmd=(sudo)
  echo "setup: installing ${missing[*]}"
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    "${sudo_cmd[@]}" dpkg --add-architecture i386
  fi
  export DEBIAN_FRONTEND=noninteractive
  "$here/scripts/apt_install.sh" "${missing[@]}"
fi

# The third-party codec libraries' Debian source packages, fetched once into the build tree.
"$here/scripts/third_party_sources.sh" "$build_dir/third_party/sources" mpg123 flac libogg \
  libvorbis opus opusfile

if "$here/scripts/native_i386.sh"; then
  "$here/scripts/wine_prefix.sh" "$build_dir/wineprefix"
else
  echo "setup: this kernel runs no 32-bit x86 code (its 32-bit emulation is turned off): 32-bit Wine," \
       "and so the control, cannot run on this machine; the tests run in a 64-bit build" >&2
fi
