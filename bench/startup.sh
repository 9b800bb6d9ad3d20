#!/usr/bin/env bash
# Start-up time and working set of lanzhan.exe against a minimal Win32
# program, both under the same Wine in one run; prints the ratios of the medians.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
if [ "${1:-}" != --inner ]; then
  scripts/setup.sh >/dev/null
  scripts/build.sh win64 >/dev/null
  LANZHAN_XVFB=1 exec scripts/with-display.sh "$0" --inner
fi
runs=${RUNS:-7}
b=build/win64/bench
median() { sort -n | awk '{a[NR]=$1} END {print a[int((NR+1)/2)]}'; }
# One run: "milliseconds kilobytes"; what the suite's own child commands print is not a measurement.
measure() { wine "$b/bench_launch.exe" "$1" "$2" | tr -d '\r' | grep -E '^[0-9.]+ [0-9]+$' || true; }
measure "$b/bench_minimal.exe" "bench minimal" >/dev/null  # warm the caches
measure "$b/bench_minimal_manifest.exe" "bench minimal" >/dev/null
# The texts the main window shows, for the third baseline to draw.
wine "$b/bench_launch.exe" build/win64/lanzhan.exe "岚栈备份专家 V1.5.3" "$(winepath -w "$b/bench_texts.txt")" >/dev/null
measure "$b/bench_minimal_text.exe" "bench minimal" >/dev/null
base=$(mktemp) same=$(mktemp) text=$(mktemp) app=$(mktemp)
# Interleaved, so that a change in the machine's load falls on all three alike.
for _ in $(seq "$runs"); do
  measure "$b/bench_minimal.exe" "bench minimal" >> "$base"
  measure "$b/bench_minimal_manifest.exe" "bench minimal" >> "$same"
  measure "$b/bench_minimal_text.exe" "bench minimal" >> "$text"
  measure build/win64/lanzhan.exe "岚栈备份专家 V1.5.3" >> "$app"
done
at=$(cut -d' ' -f1 "$app" | median); am=$(cut -d' ' -f2 "$app" | median)
ratio() { awk -v a="$1" -v b="$2" 'BEGIN{printf "%.2f", a/b}'; }
report() {  # file, name, time target, memory target
  local t m
  t=$(cut -d' ' -f1 "$1" | median); m=$(cut -d' ' -f2 "$1" | median)
  local tt="" mt=""
  [ "$3" != - ] && tt=" (target <= $3)"
  [ "$4" != - ] && mt=" (target <= $4)"
  echo "$2: start-up $t ms against lanzhan $at ms, ratio $(ratio "$at" "$t")$tt;" \
       "working set $m KB against $am KB, ratio $(ratio "$am" "$m")$mt"
}
report "$base" "plain minimal program     " 1.2 1.3
report "$same" "minimal with same manifest" 1.1 1.1
# Not a target: what the platform charges for a tray icon (the shell's
# libraries) and for the Chinese texts (the glyphs of the font it maps).
echo "same manifest, tray icon and the main window's $(($(stat -c %s "$b/bench_texts.txt") / 2)) characters of text drawn:"
report "$text" "  that minimal program      " - -
rm -f "$base" "$same" "$text" "$app"
