#!/usr/bin/env bash
# Builds the named trees (native, win64, win32, fuzz) under build/.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc 2>/dev/null || echo 2)
for tree in "$@"; do
  dir="$top/build/$tree"
  case "$tree" in
    native) args=() ;;
    win64) args=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw64.cmake") ;;
    win32) args=(-DCMAKE_TOOLCHAIN_FILE="$top/cmake/mingw32.cmake") ;;
    fuzz) args=(-DLZ_FUZZ=ON -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++) ;;
    *) echo "build: unknown tree $tree" >&2; exit 2 ;;
  esac
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "${args[@]}" >/dev/null
  # progress lines hidden; warnings, errors and the build's status kept
  cmake --build "$dir" -j"$jobs" 2>&1 | { grep -vE '^\[ *[0-9]+%\]|^Consolidate|^Scanning' || true; }
done
