#!/usr/bin/env bash
# Start-up time and working set of lanzhan.exe against a minimal Win32
# program, both under the same Wine in one run; prints the ratios of the medians.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
cd "$top"
scripts/setup.sh >/dev/null
scripts/build.sh win64 >/dev/null
runs=${RUNS:-7}
LANZHAN_XVFB=1 scripts/with-display.sh bash -c '
  median() { sort -n | awk "{a[NR]=\$1} END {print a[int((NR+1)/2)]}"; }
  b=build/win64
  wine "$b/bench_launch.exe" "$b/bench_minimal.exe" "bench minimal" >/dev/null  # warm the caches
  : > /tmp/bench_base; : > /tmp/bench_app
  for i in $(seq "$1"); do
    wine "$b/bench_launch.exe" "$b/bench_minimal.exe" "bench minimal" >> /tmp/bench_base
    wine "$b/bench_launch.exe" "$b/lanzhan.exe" "岚栈备份专家 V1.5.3" >> /tmp/bench_app
  done
  bt=$(cut -d" " -f1 /tmp/bench_base | median); at=$(cut -d" " -f1 /tmp/bench_app | median)
  bm=$(cut -d" " -f2 /tmp/bench_base | median); am=$(cut -d" " -f2 /tmp/bench_app | median)
  echo "start-up to main window: baseline ${bt} ms, lanzhan ${at} ms, ratio $(awk "BEGIN{printf \"%.2f\", $at/$bt}") (target <= 1.2)"
  echo "working set:             baseline ${bm} KB, lanzhan ${am} KB, ratio $(awk "BEGIN{printf \"%.2f\", $am/$bm}") (target <= 1.3)"
' _ "$runs"
