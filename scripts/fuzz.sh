#!/usr/bin/env bash
# Builds the fuzz tree (clang, libFuzzer, ASan, UBSan) and runs its targets.
#   scripts/fuzz.sh                  every target for 5 seconds
#   scripts/fuzz.sh quote            one target (tests/fuzz/quote_fuzz.cpp)
#   scripts/fuzz.sh all 10000000     every target for that many runs
#   scripts/fuzz.sh listing 600s     one target for ten minutes
# The seeds in tests/fuzz/corpus/<target>/ are only read; what a run learns
# goes to build/fuzz/corpus/<target>/ and a crashing input to
# build/fuzz/crashes/. Fails when a target crashes or a check in it fails.
set -uo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
target=${1:-all}
amount=${2:-5s}

"$top/scripts/build.sh" fuzz || exit 1

case "$amount" in
  *s) limit=(-max_total_time="${amount%s}") ;;
  *[!0-9]*|'') echo "fuzz: give runs (10000) or seconds (30s), not '$amount'" >&2; exit 2 ;;
  *) limit=(-runs="$amount") ;;
esac

targets=()
if [ "$target" = all ]; then
  for src in "$top"/tests/fuzz/*_fuzz.cpp; do
    name=$(basename "$src" _fuzz.cpp)
    targets+=("$name")
  done
else
  targets=("$target")
fi

status=0
mkdir -p "$top/build/fuzz/crashes"
for name in "${targets[@]}"; do
  exe="$top/build/fuzz/${name}_fuzz"
  if [ ! -x "$exe" ]; then echo "fuzz: no target $name" >&2; status=1; continue; fi
  work="$top/build/fuzz/corpus/$name"
  seeds="$top/tests/fuzz/corpus/$name"
  mkdir -p "$work" "$seeds"
  dict=()
  [ -f "$top/tests/fuzz/$name.dict" ] && dict=(-dict="$top/tests/fuzz/$name.dict")
  log="$top/build/fuzz/$name.log"
  start=$(date +%s)
  ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
    "$exe" "${limit[@]}" "${dict[@]}" -max_len=1024 -print_final_stats=1 \
    -artifact_prefix="$top/build/fuzz/crashes/$name-" "$work" "$seeds" >"$log" 2>&1
  code=$?
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || true)
  echo "fuzz: $name: ${runs:-?} runs in $(( $(date +%s) - start )) s, exit $code"
  if [ $code -ne 0 ]; then
    status=1
    grep -E '^\*\*\*|ERROR:|SUMMARY:|Test unit written' "$log" | head -n 20 >&2
  fi
done
exit $status
