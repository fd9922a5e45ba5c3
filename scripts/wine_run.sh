#!/usr/bin/env bash
# Runs a Windows program in the build tree's Wine prefix: wine_run.sh PREFIX PROGRAM [ARGS...]
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh" "$1"
shift
exec "$WINE" "$@"
