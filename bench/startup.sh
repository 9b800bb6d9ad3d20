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
base=$(mktemp) app=$(mktemp)
for _ in $(seq "$runs"); do
  measure "$b/bench_minimal.exe" "bench minimal" >> "$base"
  measure build/win64/lanzhan.exe "岚栈备份专家 V1.5.3" >> "$app"
done
bt=$(cut -d' ' -f1 "$base" | median); at=$(cut -d' ' -f1 "$app" | median)
bm=$(cut -d' ' -f2 "$base" | median); am=$(cut -d' ' -f2 "$app" | median)
rm -f "$base" "$app"
echo "start-up to main window: baseline $bt ms, lanzhan $at ms, ratio $(awk -v a="$at" -v b="$bt" 'BEGIN{printf "%.2f", a/b}') (target <= 1.2)"
echo "working set:             baseline $bm KB, lanzhan $am KB, ratio $(awk -v a="$am" -v b="$bm" 'BEGIN{printf "%.2f", a/b}') (target <= 1.3)"
