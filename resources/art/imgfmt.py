"""Reading rendered pictures and writing the Windows resource formats.

Only the Python standard library is used.  Pictures are read through
ImageMagick (as PAM) and held as a plain RGBA byte string; the writers
produce exactly the layouts that the resource compiler and Windows XP expect:

* 24-bit BMP files (BITMAPFILEHEADER + BITMAPINFOHEADER, bottom-up rows);
* ICO files whose images are all BMP entries (8-bit with a palette, or
  32-bit with alpha), each followed by its 1-bit AND mask;
* a 4-bit CUR file with its hot spot in the directory entry.
"""

import struct
import subprocess

CONVERT = "/usr/bin/convert"


class Image:
    """An RGBA picture, rows top-down, 4 bytes a pixel."""

    def __init__(self, width, height, rgba):
        assert len(rgba) == width * height * 4
        self.width = width
        self.height = height
        self.rgba = bytearray(rgba)

    def pixel(self, x, y):
        i = (y * self.width + x) * 4
        return tuple(self.rgba[i:i + 4])

    def flattened(self, background):
        """The picture composed over an opaque colour, as RGB bytes."""
        br, bg, bb = background
        out = bytearray(self.width * self.height * 3)
        src = self.rgba
        for p in range(self.width * self.height):
            r, g, b, a = src[4 * p:4 * p + 4]
            out[3 * p] = (r * a + br * (255 - a) + 127) // 255
            out[3 * p + 1] = (g * a + bg * (255 - a) + 127) // 255
            out[3 * p + 2] = (b * a + bb * (255 - a) + 127) // 255
        return bytes(out)


def _parse_pam(data):
    header = {}
    pos = 0
    magic_end = data.index(b"\n")
    if data[:magic_end].strip() != b"P7":
        raise ValueError("not a PAM stream")
    pos = magic_end + 1
    while True:
        end = data.index(b"\n", pos)
        line = data[pos:end].strip()
        pos = end + 1
        if line == b"ENDHDR":
            break
        if not line or line.startswith(b"#"):
            continue
        key, _, value = line.partition(b" ")
        header[key.decode()] = value.strip().decode()
    width = int(header["WIDTH"])
    height = int(header["HEIGHT"])
    depth = int(header["DEPTH"])
    if int(header["MAXVAL"]) != 255:
        raise ValueError("PAM stream is not 8 bits a sample")
    body = data[pos:pos + width * height * depth]
    if depth == 4:
        return Image(width, height, body)
    if depth == 3:
        rgba = bytearray(width * height * 4)
        for p in range(width * height):
            rgba[4 * p:4 * p + 3] = body[3 * p:3 * p + 3]
            rgba[4 * p + 3] = 255
        return Image(width, height, rgba)
    raise ValueError("unexpected PAM depth %d" % depth)


def read_image(path):
    """Any picture ImageMagick reads, as an RGBA Image."""
    data = subprocess.run([CONVERT, path, "-alpha", "on", "-depth", "8", "pam:-"],
                          check=True, stdout=subprocess.PIPE).stdout
    return _parse_pam(data)


def _row_stride(width, bits):
    return ((width * bits + 31) // 32) * 4


def _info_header(width, height, bits, image_size, colours_used=0):
    # BITMAPINFOHEADER; 3780 pixels a metre is 96 dots an inch.
    return struct.pack("<IiiHHIIiiII", 40, width, height, 1, bits, 0,
                       image_size, 3780, 3780, colours_used, 0)


def bmp24_bytes(width, height, rgb):
    stride = _row_stride(width, 24)
    pixels = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray()
        for x in range(width):
            i = (y * width + x) * 3
            row += bytes((rgb[i + 2], rgb[i + 1], rgb[i]))
        row += b"\0" * (stride - len(row))
        pixels += row
    info = _info_header(width, height, 24, len(pixels))
    offset = 14 + len(info)
    file_header = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return file_header + info + bytes(pixels)


def write_bmp24(path, width, height, rgb):
    with open(path, "wb") as f:
        f.write(bmp24_bytes(width, height, rgb))


def _and_mask(width, height, transparent):
    """1-bit rows, bottom-up: 1 where the screen shows through."""
    stride = _row_stride(width, 1)
    out = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            if transparent(x, y):
                row[x // 8] |= 0x80 >> (x % 8)
        out += row
    return bytes(out)


def icon_entry_32(image):
    """A 32-bit BMP icon image with alpha, and its AND mask."""
    w, h = image.width, image.height
    xor = bytearray()
    for y in range(h - 1, -1, -1):
        for x in range(w):
            r, g, b, a = image.pixel(x, y)
            if a == 0:
                r = g = b = 0
            xor += bytes((b, g, r, a))
    mask = _and_mask(w, h, lambda x, y: image.pixel(x, y)[3] < 128)
    info = _info_header(w, h * 2, 32, len(xor) + len(mask))
    return info + bytes(xor) + mask, 32, 0


def icon_entry_8(width, height, palette, indices, transparent):
    """An 8-bit BMP icon image: palette of (r, g, b), one index a pixel
    (rows top-down), and a set of transparent pixels for the AND mask."""
    assert len(palette) <= 256
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    pal += b"\0" * (4 * (256 - len(palette)))
    stride = _row_stride(width, 8)
    xor = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(indices[y * width:(y + 1) * width])
        row += b"\0" * (stride - width)
        xor += row
    mask = _and_mask(width, height, lambda x, y: (x, y) in transparent)
    info = _info_header(width, height * 2, 8, len(xor) + len(mask))
    return info + bytes(pal) + bytes(xor) + mask, 8, 0


def write_ico(path, entries):
    """entries: list of (size, (data, bits, colour_count))."""
    out = struct.pack("<HHH", 0, 1, len(entries))
    offset = 6 + 16 * len(entries)
    blobs = []
    for size, (data, bits, colours) in entries:
        dim = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dim, dim, colours, 0, 1, bits, len(data), offset)
        offset += len(data)
        blobs.append(data)
    with open(path, "wb") as f:
        f.write(out + b"".join(blobs))


def write_cur4(path, width, height, palette, indices, transparent, hotspot):
    """A one-image cursor with 16 colours: palette of up to 16 (r, g, b),
    indices top-down, a set of transparent pixels, hot spot (x, y)."""
    assert len(palette) <= 16 and width % 8 == 0
    pal = bytearray()
    for r, g, b in palette:
        pal += bytes((b, g, r, 0))
    pal += b"\0" * (4 * (16 - len(palette)))
    stride = _row_stride(width, 4)
    xor = bytearray()
    for y in range(height - 1, -1, -1):
        row = bytearray(stride)
        for x in range(width):
            i = 0 if (x, y) in transparent else indices[y * width + x]
            row[x // 2] |= i << (4 if x % 2 == 0 else 0)
        xor += row
    mask = _and_mask(width, height, lambda x, y: (x, y) in transparent)
    info = _info_header(width, height * 2, 4, len(xor) + len(mask), 16)
    data = info + bytes(pal) + bytes(xor) + mask
    hx, hy = hotspot
    head = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", width, height, 16, 0, hx, hy, len(data), 6 + 16)
    with open(path, "wb") as f:
        f.write(head + entry + data)


def quantize(rgb, width, height, colours=256):
    """Reduce an RGB picture to at most `colours` colours with ImageMagick,
    without dithering.  Returns (palette, indices)."""
    proc = subprocess.run(
        [CONVERT, "-size", "%dx%d" % (width, height), "-depth", "8", "rgb:-",
         "+dither", "-colors", str(colours), "-depth", "8", "rgb:-"],
        input=bytes(rgb), check=True, stdout=subprocess.PIPE)
    data = proc.stdout
    palette = []
    index_of = {}
    indices = bytearray(width * height)
    for p in range(width * height):
        c = tuple(data[3 * p:3 * p + 3])
        if c not in index_of:
            index_of[c] = len(palette)
            palette.append(c)
        indices[p] = index_of[c]
    if len(palette) > colours:
        raise ValueError("quantizer left %d colours" % len(palette))
    return palette, indices
