# Sourced by the project's scripts: the environment every Wine process of the build tree runs in.
# Usage: . scripts/wine_env.sh PREFIX
# TUNARA_WINE_ARCH picks the prefix's architecture: win32 (the default, the control as it ships)
# or win64 (the test build for machines that run no 32-bit code). Start programs with "$WINE".
mkdir -p "$1"
export WINEPREFIX="$(cd "$1" && pwd)"
export WINEARCH=${TUNARA_WINE_ARCH:-win32}
if [ "$WINEARCH" = win64 ]; then
  # Debian's wine command starts the 32-bit loader whenever it is installed.
  export WINELOADER=/usr/lib/wine/wine64
  WINE=$WINELOADER
else
  WINE=wine
fi
export WINEDEBUG=-all
# TUNARA_WINE_DLL_OVERRIDES adds overrides of a run's own (say, a system library disabled).
export WINEDLLOVERRIDES="mscoree,mshtml=${TUNARA_WINE_DLL_OVERRIDES:+;$TUNARA_WINE_DLL_OVERRIDES}"
# Wine honours proxy variables even for 127.0.0.1; the tests talk only to loopback.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy no_proxy NO_PROXY
