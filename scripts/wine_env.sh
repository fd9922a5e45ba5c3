# Sourced by the project's scripts: the environment every Wine process of the build tree runs in.
# Usage: . scripts/wine_env.sh PREFIX
mkdir -p "$1"
export WINEPREFIX="$(cd "$1" && pwd)"
export WINEARCH=win32
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="
# Wine honours proxy variables even for 127.0.0.1; the tests talk only to loopback.
unset http_proxy https_proxy HTTP_PROXY HTTPS_PROXY ftp_proxy no_proxy NO_PROXY
