#!/usr/bin/env bash
# Runs the window tests with screenshots on; PNG files land in build/shots.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh
scripts/build.sh win64
mkdir -p build/shots
rm -f build/shots/*.bmp build/shots/*.png
LANZHAN_SHOTS="Z:$(printf '%s' "$top/build/shots" | tr / '\\')" \
  LANZHAN_XVFB=1 scripts/with-display.sh wine build/win64/gui_tests.exe "$@" >/dev/null || true
for f in build/shots/*.bmp; do
  [ -e "$f" ] || continue
  /usr/bin/convert "$f" "${f%.bmp}.png" && rm "$f"
done
ls build/shots
