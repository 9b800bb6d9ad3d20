#!/usr/bin/env bash
# Makes the suite's installer and portable zip, with the same files, for each
# named build tree (both when none is named), into build/packages:
#   win64  lanzhan-<version>-win64-setup.exe  lanzhan-<version>-win64.zip
#   win32  lanzhan-<version>-xp-setup.exe     lanzhan-<version>-xp.zip   (the i686 build for XP)
# The files: lanzhan.exe (stripped), lanzhan.chm and boot\README.txt.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
trees=("$@")
[ ${#trees[@]} -gt 0 ] || trees=(win64 win32)
version=$(sed -n 's/^project(lanzhan VERSION \([0-9.]*\).*/\1/p' "$top/CMakeLists.txt")
out="$top/build/packages"
mkdir -p "$out"
for tree in "${trees[@]}"; do
  case "$tree" in
    win64) arch=win64 toolchain=mingw64 prefix=x86_64-w64-mingw32 type=RelWithDebInfo ;;
    win32) arch=xp toolchain=mingw32 prefix=i686-w64-mingw32 type=Release ;;
    *) echo "package: unknown tree $tree (win64 or win32)" >&2; exit 2 ;;
  esac
  dir="$top/build/$tree"
  [ -f "$dir/CMakeCache.txt" ] || cmake -S "$top" -B "$dir" -DCMAKE_BUILD_TYPE=$type \
    -DCMAKE_TOOLCHAIN_FILE="$top/cmake/$toolchain.cmake" >/dev/null
  cmake --build "$dir" --target lanzhan helpfile -j2 2>&1 | { grep -E "error|warning" || true; }

  stage="$dir/package/lanzhan"
  rm -rf "$dir/package"
  mkdir -p "$stage/boot"
  "$prefix-strip" -o "$stage/lanzhan.exe" "$dir/lanzhan.exe"
  cp "$dir/lanzhan.chm" "$stage/"
  cp "$dir/boot/README.txt" "$stage/boot/"

  setup="$out/lanzhan-$version-$arch-setup.exe"
  zip="$out/lanzhan-$version-$arch.zip"
  rm -f "$setup" "$zip"
  makensis -V2 -DARCH="$arch" -DVERSION="$version" -DSTAGE="$stage" -DOUTFILE="$setup" \
    -DICON="$top/resources/lanzhan.ico" "$top/installer/lanzhan.nsi"
  (cd "$dir/package" && zip -qrX "$zip" lanzhan)
  echo "package: $(basename "$setup") and $(basename "$zip") in build/packages"
done
