#!/bin/sh
# Regenerates the program's pictures from the sources in art/src:
# the tiles, banner and spider bitmaps, the icon, the hand cursor, and
# art/preview.png, a sheet of all of them to look at.  The results are
# committed, so a build needs neither this script nor its tools.
#
# Needs: python3 (standard library only), rsvg-convert (librsvg2-bin),
# ImageMagick's convert at /usr/bin/convert, and the fonts named by
# art/src/banner.svg (fonts-wqy-microhei).  The Tango pictures used are
# copies in art/src/tango, so the icon theme is not needed either.
set -eu

here=$(cd "$(dirname "$0")" && pwd)

for tool in python3 rsvg-convert /usr/bin/convert; do
    command -v "$tool" >/dev/null 2>&1 || { echo "make_art.sh: $tool is missing" >&2; exit 1; }
done
if command -v fc-list >/dev/null 2>&1 && ! fc-list | grep -q "WenQuanYi Micro Hei"; then
    echo "make_art.sh: the font WenQuanYi Micro Hei (fonts-wqy-microhei) is missing" >&2
    exit 1
fi

python3 "$here/art/build.py"
python3 "$here/art/check.py"
