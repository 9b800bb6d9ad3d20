"""Renders the SVG and pixel sources in art/src and writes the program's
resource files into resources/:

    bmp0.bmp ... bmp7.bmp   feature tiles, 24-bit, on white
    bmp8.bmp                title banner, 24-bit, 320 x 64
    bmp9.bmp, bmp10.bmp     the two spider frames, 24-bit, 64 x 64
    bmp12.cur               pointing hand, 32 x 32, 16 colours, hot spot (12, 1)
    lanzhan.ico             16, 24, 32, 48 px, each in 8-bit and 32-bit
    art/preview.png         all of them at their real size, for people to judge

    python3 build.py        (run by make_art.sh)
"""

import os
import shutil
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.dont_write_bytecode = True
sys.path.insert(0, HERE)

import imgfmt  # noqa: E402
import shapes  # noqa: E402

SRC = os.path.join(HERE, "src")
OUT = os.path.dirname(HERE)

WHITE = (255, 255, 255)
WINDOW = (236, 233, 216)    # the main window's background colour

# name, SVG source, width, height, background
BITMAPS = [
    ("bmp0", "tile0.svg", 55, 55, WHITE),
    ("bmp1", "tile1.svg", 57, 56, WHITE),
    ("bmp2", "tile2.svg", 64, 64, WHITE),
    ("bmp3", "tile3.svg", 55, 55, WHITE),
    ("bmp4", "tile4.svg", 48, 41, WHITE),
    ("bmp5", "tile5.svg", 56, 56, WHITE),
    ("bmp6", "tile6.svg", 64, 64, WHITE),
    ("bmp7", "tile7.svg", 64, 64, WHITE),
    ("bmp8", "banner.svg", 320, 64, WINDOW),
    ("bmp9", "spider0.svg", 64, 64, WINDOW),
    ("bmp10", "spider1.svg", 64, 64, WINDOW),
    ("bmptools", "tools16.svg", 16, 16, WINDOW),
]

ICON_SIZES = (48, 32, 24, 16)

HAND_COLOURS = {
    "K": (0, 0, 0),
    "W": (255, 255, 255),
    "L": (192, 192, 192),
    "D": (128, 128, 128),
}
HAND_HOTSPOT = (12, 1)


def render(svg, width, height, tmp):
    png = os.path.join(tmp, os.path.splitext(os.path.basename(svg))[0] + ".png")
    subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height),
                    os.path.join(SRC, svg), "-o", png], check=True)
    image = imgfmt.read_image(png)
    if (image.width, image.height) != (width, height):
        raise SystemExit("%s rendered as %dx%d" % (svg, image.width, image.height))
    return image


def build_bitmaps(tmp):
    for name, svg, w, h, bg in BITMAPS:
        image = render(svg, w, h, tmp)
        imgfmt.write_bmp24(os.path.join(OUT, name + ".bmp"), w, h, image.flattened(bg))


def eight_bit_entry(image):
    """The 256-colour version of an icon image: pixels at least half opaque
    keep their own colour, the rest become transparent through the mask."""
    w, h = image.width, image.height
    rgb = bytearray(w * h * 3)
    transparent = set()
    for y in range(h):
        for x in range(w):
            r, g, b, a = image.pixel(x, y)
            p = y * w + x
            if a < 128:
                transparent.add((x, y))
            else:
                rgb[3 * p:3 * p + 3] = bytes((r, g, b))
    palette, indices = imgfmt.quantize(rgb, w, h, 256)
    # transparent pixels must be black in the colour image
    if (0, 0, 0) not in palette:
        if len(palette) == 256:
            raise SystemExit("no palette entry left for black")
        palette.append((0, 0, 0))
    black = palette.index((0, 0, 0))
    for x, y in transparent:
        indices[y * w + x] = black
    return imgfmt.icon_entry_8(w, h, palette, indices, transparent)


def build_icon(tmp):
    images = {s: render("logo%d.svg" % s, s, s, tmp) for s in ICON_SIZES}
    entries = [(s, imgfmt.icon_entry_32(images[s])) for s in ICON_SIZES]
    entries += [(s, eight_bit_entry(images[s])) for s in ICON_SIZES]
    imgfmt.write_ico(os.path.join(OUT, "lanzhan.ico"), entries)


def build_cursor():
    rows = []
    with open(os.path.join(SRC, "hand.txt"), encoding="utf-8") as f:
        for line in f:
            if not line.startswith("#"):
                rows.append(line.rstrip("\n"))
    if len(rows) != 32 or any(len(r) != 32 for r in rows):
        raise SystemExit("hand.txt must be 32 rows of 32 pixels")
    hx, hy = HAND_HOTSPOT
    if rows[hy][hx] == ".":
        raise SystemExit("the hot spot of hand.txt is not on the hand")
    palette = [(0, 0, 0), (255, 255, 255), (192, 192, 192), (128, 128, 128)]
    indices = bytearray(32 * 32)
    transparent = set()
    for y, row in enumerate(rows):
        for x, c in enumerate(row):
            if c == ".":
                transparent.add((x, y))
            else:
                indices[y * 32 + x] = palette.index(HAND_COLOURS[c])
    imgfmt.write_cur4(os.path.join(OUT, "bmp12.cur"), 32, 32, palette, indices,
                      transparent, HAND_HOTSPOT)


def build_preview(tmp):
    """One sheet on the window colour: the banner and the spider frames as the
    window shows them, the tiles in their white box, the icon images (32-bit,
    then 8-bit) and the cursor, all read back from the files just written."""
    c = imgfmt.CONVERT
    win = "rgb(236,233,216)"

    def run(*args):
        subprocess.run([c] + list(args), check=True)

    def out(name):
        return os.path.join(OUT, name)

    def cell(size):
        return ["-gravity", "center", "-extent", "%dx%d" % (size, size)]

    rows = []
    for first in (0, 4):
        row = os.path.join(tmp, "row%d.png" % first)
        tiles = [out("bmp%d.bmp" % i) for i in range(first, first + 4)]
        run(*tiles, "-background", "white", *cell(72), "+append", row)
        rows.append(row)
    box = os.path.join(tmp, "box.png")
    run(*rows, "-append", "-bordercolor", "white", "-border", "10",
        "-bordercolor", "rgb(160,160,150)", "-border", "1", box)
    icons = os.path.join(tmp, "icons.png")
    frames = ["%s[%d]" % (out("lanzhan.ico"), i) for i in range(2 * len(ICON_SIZES))]
    run(*frames, "-background", win, "-alpha", "remove", *cell(52), "+append", icons)
    cur = os.path.join(tmp, "cur.png")
    run(out("bmp12.cur"), "-background", win, "-alpha", "remove", *cell(52), cur)
    run("-size", "520x344", "xc:" + win,
        out("bmp8.bmp"), "-geometry", "+16+16", "-composite",
        out("bmp9.bmp"), "-geometry", "+16+100", "-composite",
        out("bmp10.bmp"), "-geometry", "+88+100", "-composite",
        box, "-geometry", "+176+96", "-composite",
        icons, "-geometry", "+16+280", "-composite",
        cur, "-geometry", "+440+280", "-composite",
        "-strip", os.path.join(HERE, "preview.png"))


def main():
    tmp = tempfile.mkdtemp(prefix="lanzhan-art-")
    try:
        shapes.write_all(SRC)
        build_bitmaps(tmp)
        build_icon(tmp)
        build_cursor()
        build_preview(tmp)
    finally:
        shutil.rmtree(tmp, ignore_errors=True)


if __name__ == "__main__":
    main()
