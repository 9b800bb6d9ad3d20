"""Checks that the resource files exist and have the sizes and formats that
the program and the resource compiler expect.  Reads only the headers.

    python3 check.py        (exit status 1 and a list of problems if any)
"""

import os
import struct
import sys

RES = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))

BITMAPS = {
    "bmp0.bmp": (55, 55), "bmp1.bmp": (57, 56), "bmp2.bmp": (64, 64),
    "bmp3.bmp": (55, 55), "bmp4.bmp": (48, 41), "bmp5.bmp": (56, 56),
    "bmp6.bmp": (64, 64), "bmp7.bmp": (64, 64), "bmp8.bmp": (320, 64),
    "bmp9.bmp": (64, 64), "bmp10.bmp": (64, 64),
}
ICON_IMAGES = {(s, bits) for s in (16, 24, 32, 48) for bits in (8, 32)}

problems = []


def read(name):
    path = os.path.join(RES, name)
    if not os.path.isfile(path):
        problems.append("%s is missing" % name)
        return None
    with open(path, "rb") as f:
        return f.read()


def stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def check_bitmap(name, size):
    data = read(name)
    if data is None:
        return
    magic, file_size, _, _, offset = struct.unpack_from("<2sIHHI", data, 0)
    hsize, w, h, planes, bits, comp = struct.unpack_from("<IiiHHI", data, 14)
    if magic != b"BM" or hsize != 40:
        problems.append("%s: not a BMP with a BITMAPINFOHEADER" % name)
        return
    if (w, h) != size or bits != 24 or comp != 0 or planes != 1:
        problems.append("%s: %dx%d %d-bit (compression %d), want %dx%d 24-bit"
                        % (name, w, h, bits, comp, size[0], size[1]))
    if file_size != len(data) or offset + stride(w, 24) * abs(h) != len(data):
        problems.append("%s: sizes in the header do not match the file" % name)


def check_icon(name):
    data = read(name)
    if data is None:
        return
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        problems.append("%s: not an icon file" % name)
        return
    found = set()
    for i in range(count):
        w, h, colours, _, planes, bits, length, offset = struct.unpack_from("<BBBBHHII", data, 6 + 16 * i)
        w, h = w or 256, h or 256
        hsize, bw, bh, bplanes, bbits = struct.unpack_from("<IiiHH", data, offset)
        if hsize != 40:
            problems.append("%s: image %d is not a BMP entry" % (name, i))
            continue
        if (bw, bh, bbits) != (w, 2 * h, bits):
            problems.append("%s: image %d header %dx%d %d-bit disagrees with its entry"
                            % (name, i, bw, bh, bbits))
        palette = 4 * 256 if bits == 8 else 0
        want = 40 + palette + stride(w, bits) * h + stride(w, 1) * h
        if length != want or offset + length > len(data):
            problems.append("%s: image %d has %d bytes, want %d" % (name, i, length, want))
        found.add((w, bits))
    if found != ICON_IMAGES:
        problems.append("%s: images %s, want %s" % (name, sorted(found), sorted(ICON_IMAGES)))


def check_cursor(name):
    data = read(name)
    if data is None:
        return
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 2 or count != 1:
        problems.append("%s: not a one-image cursor file" % name)
        return
    w, h, colours, _, hx, hy, length, offset = struct.unpack_from("<BBBBHHII", data, 6)
    hsize, bw, bh, planes, bits = struct.unpack_from("<IiiHH", data, offset)
    if (w, h, colours, hx, hy) != (32, 32, 16, 12, 1):
        problems.append("%s: %dx%d, %d colours, hot spot (%d, %d); want 32x32, 16, (12, 1)"
                        % (name, w, h, colours, hx, hy))
    if (hsize, bw, bh, bits) != (40, 32, 64, 4):
        problems.append("%s: image header %dx%d %d-bit, want 32x64 4-bit" % (name, bw, bh, bits))
    if length != 40 + 64 + 16 * 32 + 4 * 32 or offset + length != len(data):
        problems.append("%s: image size %d does not match" % (name, length))


def check_text(name, needles):
    data = read(name)
    if data is None:
        return
    text = data.decode("utf-8")
    for needle in needles:
        if needle not in text:
            problems.append("%s: lacks %r" % (name, needle))


def main():
    for name, size in BITMAPS.items():
        check_bitmap(name, size)
    check_icon("lanzhan.ico")
    check_cursor("bmp12.cur")
    check_text("lanzhan.manifest", ["Microsoft.Windows.Common-Controls", 'version="6.0.0.0"',
                                    "<dpiAware", "asInvoker", "supportedOS"])
    check_text("lanzhan.rc", ["#pragma code_page(65001)", "VERSIONINFO", "RT_MANIFEST",
                              'IDI_APP ICON "lanzhan.ico"', 'BMP12 CURSOR "bmp12.cur"']
               + ['BMP%d BITMAP "bmp%d.bmp"' % (i, i) for i in range(11)])
    for p in problems:
        print(p)
    print("resources: %d problem(s)" % len(problems))
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
