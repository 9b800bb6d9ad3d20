#!/usr/bin/env bash
# Installs what is missing, builds and starts the suite under Wine.
#   ./run.sh                     on the current display (a Wine desktop window)
#   ./run.sh --screenshot FILE   on a virtual display: waits for the main
#                                window, saves the screen as a PNG, and quits
set -euo pipefail
top=$(cd "$(dirname "$0")" && pwd)
cd "$top"
scripts/setup.sh
scripts/build.sh win64
exe="$top/build/win64/lanzhan.exe"
if [ "${1:-}" = "--screenshot" ]; then
  out=$(realpath -m "${2:?usage: ./run.sh --screenshot FILE}")
  LANZHAN_XVFB=1 scripts/with-display.sh bash -c '
    wine "$1" & app=$!
    wine "$2" "岚栈备份专家 V1.5.3" 30000 || { echo "run: the main window did not appear" >&2; exit 1; }
    sleep 1.5
    /usr/bin/import -window root "$3"
    wine "$2" --close "岚栈备份专家 V1.5.3" 5000 || true
    wait $app || true' _ "$exe" "$top/build/win64/waitwindow.exe" "$out"
  echo "run: screenshot saved to $out"
else
  [ -n "${DISPLAY:-}" ] || { echo "run: no display; try ./run.sh --screenshot main.png" >&2; exit 1; }
  . scripts/wine-env.sh
  exec wine "$exe"
fi
