#!/usr/bin/env bash
# Keeps one wineserver alive for a whole test run, so that each test process starts in
# milliseconds instead of seconds: wine_server.sh start|stop PREFIX
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh" "$2"
case "$1" in
  start)
    # A prefix made by a bare Wine start would lack the null graphics driver: make it properly.
    "$here/wine_prefix.sh" "$2" || exit 1
    # Exit status 2: a server already runs for this prefix, which serves as well.
    status=0
    wineserver -p </dev/null >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 0 ] && [ "$status" -ne 2 ]; then
      echo "wine_server: starting the Wine server for $2 failed (exit $status)" >&2
      exit 1
    fi
    # Wine's helpers would otherwise inherit the runner's output pipe and hold it open.
    status=0
    "$WINE" cmd /c exit </dev/null >/dev/null 2>&1 || status=$?
    if [ "$status" -ne 0 ]; then
      echo "wine_server: Wine cannot run a program in $2 (wine cmd /c exit gave $status)" >&2
      exit 1
    fi
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
esac
exit 0
