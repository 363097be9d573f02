#!/usr/bin/env bash
# Starts or ends the Wine session that the Windows tests run in.
#   start: a fresh Wine prefix in a temporary folder, reached through the
#          link FOLDER, with Wine's services up and its server kept running
#          between the runs, so each run takes a fraction of a second.
#   stop:  the server and the services shut down, the prefix removed.
# Usage: bash tools/wine-session.sh start|stop FOLDER
set -euo pipefail
action=$1
link=$2

export WINEPREFIX=$link WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
unset DISPLAY WAYLAND_DISPLAY

stop() {
  [ -e "$link" ] || { rm -f "$link"; return 0; }
  wineserver -k >/dev/null 2>&1 || true
  wineserver -w >/dev/null 2>&1 || true
  rm -rf "$(readlink -f "$link")"
  rm -f "$link"
}

case $action in
  start)
    stop
    prefix=$(mktemp -d "${TMPDIR:-/tmp}/cap2batch-wine.XXXXXX")
    ln -s "$prefix" "$link"
    # The server outlives the runs by a minute, then ends by itself should
    # stop never come. Started here with no output to hold: the services that
    # wineboot starts inherit it, and a test runner waiting for the end of a
    # test's output would wait for them.
    wineserver -p60 </dev/null >/dev/null 2>&1
    wineboot --init </dev/null >/dev/null 2>&1
    ;;
  stop)
    stop
    ;;
  *)
    echo "usage: $0 start|stop FOLDER" >&2
    exit 2
    ;;
esac
