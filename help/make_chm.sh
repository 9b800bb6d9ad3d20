#!/usr/bin/env bash
# Compiles the help pages into lanzhan.chm.
#   help/make_chm.sh <output.chm> [work folder]
# The sources are UTF-8. The help viewer reads the contents, the index and the
# project's title in the ANSI code page of the file's language (936, GBK), and
# old viewers read pages best in it too, so every text file is converted to
# GBK first and the pages' meta tags are changed to say so.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
out=$(realpath -m "${1:?usage: make_chm.sh OUTPUT.chm [WORKDIR]}")
work=$(realpath -m "${2:-$out.src}")
rm -rf "$work"
mkdir -p "$work"
for f in "$here"/*.htm "$here"/*.hhc "$here"/*.hhk "$here"/*.hhp "$here"/*.css; do
  # iconv fails on a character GBK lacks: such a page would show the wrong text.
  iconv -f UTF-8 -t GBK "$f" | sed 's/charset=utf-8/charset=gb2312/I' > "$work/$(basename "$f")"
done
# The compiler does not look at the pages the contents and the index name.
for ref in $(grep -ohE 'name="Local" value="[^"#]*' "$here"/*.hhc "$here"/*.hhk | sed 's/.*value="//' | sort -u); do
  [ -f "$here/$ref" ] || { echo "make_chm: the contents or the index name $ref, which is not in help/" >&2; exit 1; }
done
log="$work/chmcmd.log"
if ! (cd "$work" && chmcmd lanzhan.hhp) > "$log" 2>&1; then
  cat "$log" >&2
  echo "make_chm: chmcmd failed" >&2
  exit 1
fi
# A page or link that the project names but the folder lacks is a broken help item.
if grep -iE "warning|error|exception|not exist|find" "$log" >&2; then
  echo "make_chm: the help pages have broken links (above)" >&2
  exit 1
fi
mv -f "$work/lanzhan.chm" "$out"
