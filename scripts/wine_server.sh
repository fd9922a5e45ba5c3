#!/usr/bin/env bash
# Keeps one wineserver alive for a whole test run, so that each test process starts in
# milliseconds instead of seconds: wine_server.sh start|stop PREFIX
here=$(cd "$(dirname "$0")" && pwd)
. "$here/wine_env.sh" "$2"
case "$1" in
  start)
    wineserver -p </dev/null >/dev/null 2>&1
    # Wine's helpers would otherwise inherit the runner's output pipe and hold it open.
    wine cmd /c exit </dev/null >/dev/null 2>&1
    ;;
  stop)
    wineserver -k 2>/dev/null || true
    ;;
esac
exit 0
