"""Writes the SVG sources that are drawn from geometry rather than by hand:
the program's logo (a blue shield with a green circular arrow) at each icon
size, and the two frames of the hanging spider.

    python3 shapes.py OUTDIR
"""

import math
import os
import sys


def _pt(cx, cy, r, deg):
    a = math.radians(deg)
    return cx + r * math.cos(a), cy + r * math.sin(a)


def _f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def circular_arrow(cx, cy, r, width, tail_deg, head_deg, head_half, head_len_deg):
    """A ring segment running clockwise (screen coordinates) from tail_deg
    to head_deg, ending in a triangular head; returns SVG path data."""
    ro, ri = r + width / 2.0, r - width / 2.0
    sweep = (head_deg - tail_deg) % 360
    large = 1 if sweep > 180 else 0
    p = []
    x, y = _pt(cx, cy, ro, tail_deg)
    p.append("M%s %s" % (_f(x), _f(y)))
    x, y = _pt(cx, cy, ro, head_deg)
    p.append("A%s %s 0 %d 1 %s %s" % (_f(ro), _f(ro), large, _f(x), _f(y)))
    x, y = _pt(cx, cy, r + head_half, head_deg)
    p.append("L%s %s" % (_f(x), _f(y)))
    x, y = _pt(cx, cy, r, head_deg + head_len_deg)
    p.append("L%s %s" % (_f(x), _f(y)))
    x, y = _pt(cx, cy, r - head_half, head_deg)
    p.append("L%s %s" % (_f(x), _f(y)))
    x, y = _pt(cx, cy, ri, head_deg)
    p.append("L%s %s" % (_f(x), _f(y)))
    x, y = _pt(cx, cy, ri, tail_deg)
    p.append("A%s %s 0 %d 0 %s %s" % (_f(ri), _f(ri), large, _f(x), _f(y)))
    p.append("Z")
    return " ".join(p)


def shield_path(s, inset):
    """A flat-topped shield filling an s x s square less `inset` pixels on
    each side, its straight edges on the middle of a pixel row or column so
    that a one-pixel outline stays crisp."""
    lo = inset + 0.5
    e = s - inset - 0.5
    mid = s / 2.0
    half = mid - lo
    sh = lo + (s - 2 * inset) * 0.5
    bot = s - inset - 0.3
    return ("M{lo} {lo} L{e} {lo} L{e} {sh} C{e} {c1} {d} {c2} {mid} {bot} "
            "C{f} {c2} {lo} {c1} {lo} {sh} Z").format(
                lo=_f(lo), e=_f(e), sh=_f(sh), mid=_f(mid), bot=_f(bot),
                c1=_f(sh + (bot - sh) * 0.55), c2=_f(sh + (bot - sh) * 0.8),
                d=_f(mid + half * 0.45), f=_f(mid - half * 0.45))


def logo_svg(size):
    """The logo drawn for one pixel size; small sizes get a shield on the
    pixel grid, a bolder arrow and fewer details so that they stay crisp."""
    s = float(size)
    stroke = 1.0
    margin = 0 if size <= 24 else 1
    shield = shield_path(s, margin)
    inner = shield_path(s, margin + 1)
    hl = size > 16
    if size <= 16:
        cx, cy, r, ring_w, head = 8.0, 7.0, 4.0, 2.0, 2.9
    elif size <= 24:
        cx, cy, r, ring_w, head = 12.0, 11.0, 5.6, 3.0, 3.3
    else:
        cx, cy, r, ring_w = s / 2.0, s * 0.46, s * 0.215, s * 0.085
        head = ring_w * 1.05
    head_deg = 50 if size <= 16 else 42
    arrow = circular_arrow(cx, cy, r, ring_w, 125, 15, head, head_deg)
    hl_svg = ""
    if hl:
        hl_svg = ('<path d="%s" fill="none" stroke="#ffffff" stroke-opacity="0.45" '
                  'stroke-width="%s"/>' % (inner, _f(stroke)))
    if hl and size > 24:
        hl_svg += ('<path d="M%s %s C%s %s %s %s %s %s L%s %s C%s %s %s %s %s %s Z" '
                   'fill="#ffffff" fill-opacity="0.22"/>' % (
                       _f(stroke * 2.5), _f(s * 0.12),
                       _f(s * 0.3), _f(s * 0.08), _f(s * 0.4), _f(stroke * 2.5), _f(s / 2), _f(stroke * 2.5),
                       _f(s / 2), _f(s * 0.42),
                       _f(s * 0.35), _f(s * 0.44), _f(s * 0.2), _f(s * 0.5), _f(stroke * 2.5), _f(s * 0.56)))
    if size <= 16:
        # too small for an outline: a flat bright arrow reads best on the blue
        arrow_style = 'fill="#a6f05a"'
    else:
        arrow_style = ('fill="url(#green)" stroke="#285206" stroke-width="%s" '
                       'stroke-linejoin="round"' % _f(max(1.0, s / 48.0)))
    return """<svg xmlns="http://www.w3.org/2000/svg" width="{S}" height="{S}" viewBox="0 0 {S} {S}">
  <defs>
    <linearGradient id="blue" x1="0" y1="0" x2="0.35" y2="1">
      <stop offset="0" stop-color="#8cb4e6"/>
      <stop offset="0.55" stop-color="#3465a4"/>
      <stop offset="1" stop-color="#1f4785"/>
    </linearGradient>
    <linearGradient id="green" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#b5f06a"/>
      <stop offset="0.5" stop-color="#73d216"/>
      <stop offset="1" stop-color="#4e9a06"/>
    </linearGradient>
  </defs>
  <path d="{shield}" fill="url(#blue)" stroke="#183a6e" stroke-width="{stroke}" stroke-linejoin="round"/>
  {hl}
  <path d="{arrow}" {astyle}/>
</svg>
""".format(S=size, shield=shield, stroke=_f(stroke), hl=hl_svg, arrow=arrow,
           astyle=arrow_style)


# ---------------------------------------------------------------- spider

def _leg(points, widths, colour):
    out = []
    for (x0, y0), (x1, y1), w in zip(points, points[1:], widths):
        out.append('<line x1="%s" y1="%s" x2="%s" y2="%s" stroke="%s" stroke-width="%s" '
                   'stroke-linecap="round"/>' % (_f(x0), _f(y0), _f(x1), _f(y1), colour, _f(w)))
    return "".join(out)


def _leg_points(hip, angles, lengths):
    pts = [hip]
    x, y = hip
    for a, l in zip(angles, lengths):
        x, y = _pt(x, y, l, a)
        pts.append((x, y))
    return pts


# Right-hand legs of the spider, from the front (near the head, low in the
# picture, as the spider hangs head down) to the back: the hip relative to
# the body's centre line, and the directions (degrees, screen coordinates,
# 0 = right, 90 = down) and lengths of femur, tibia and tarsus.  The knees
# bend upward as a spider's do.
SPIDER_LEGS = [
    ((3.0, 43.4), (25, 65, 90), (9.5, 10.0, 5.5)),
    ((5.0, 40.6), (-3, 27, 52), (10.0, 10.0, 5.5)),
    ((5.0, 37.6), (-24, -50, -70), (10.0, 9.5, 5.5)),
    ((3.4, 35.0), (-50, -80, -96), (9.0, 9.5, 5.5)),
]


def spider_svg(frame):
    """A spider hanging head down on a thread from the top edge, 64 x 64.
    The two frames swing alternate sets of four legs."""
    cx = 32.0
    abd_cy, abd_rx, abd_ry = 25.0, 7.6, 9.4      # abdomen, on top (thread end)
    ceph_cy, ceph_rx, ceph_ry = 39.0, 5.4, 5.9   # cephalothorax and head, below
    swing = 7 if frame == 0 else -7
    parts = []
    joints = []
    for side in (1, -1):
        for i, ((hx, hy), angles, lengths) in enumerate(SPIDER_LEGS):
            # legs 1 and 3 on the right move with legs 2 and 4 on the left
            sign = 1 if (i % 2 == 0) == (side == 1) else -1
            d = swing * sign
            a = [angles[0] + d, angles[1] + d * 1.2, angles[2] + d * 1.4]
            if side == -1:
                a = [180 - v for v in a]
            pts = _leg_points((cx + side * hx, hy), a, lengths)
            parts.append(_leg(pts, (2.2, 1.7, 1.25), "#2b2118"))
            for x, y in pts[1:3]:
                joints.append('<circle cx="%s" cy="%s" r="1.15" fill="#2b2118"/>' % (_f(x), _f(y)))
    legs = "\n  ".join(parts + joints)
    return """<svg xmlns="http://www.w3.org/2000/svg" width="64" height="64" viewBox="0 0 64 64">
  <defs>
    <radialGradient id="abd" cx="0.38" cy="0.3" r="0.8">
      <stop offset="0" stop-color="#7a6248"/>
      <stop offset="0.45" stop-color="#3d2f22"/>
      <stop offset="1" stop-color="#1a130d"/>
    </radialGradient>
    <radialGradient id="ceph" cx="0.4" cy="0.3" r="0.8">
      <stop offset="0" stop-color="#6b5540"/>
      <stop offset="1" stop-color="#1f1710"/>
    </radialGradient>
  </defs>
  <line x1="31.5" y1="0" x2="31.5" y2="{abd_top}" stroke="#8c8a80" stroke-width="1"/>
  {legs}
  <ellipse cx="{cx}" cy="{acy}" rx="{arx}" ry="{ary}" fill="url(#abd)" stroke="#140e09" stroke-width="1"/>
  <path d="M29 {m1} Q32 {m1b} 35 {m1} M28.6 {m2} Q32 {m2b} 35.4 {m2} M29.6 {m3} Q32 {m3b} 34.4 {m3}" fill="none" stroke="#c9a46b" stroke-width="1" stroke-opacity="0.7"/>
  <ellipse cx="{cx}" cy="{ccy}" rx="{crx}" ry="{cry}" fill="url(#ceph)" stroke="#140e09" stroke-width="1"/>
  <path d="M30.3 {f1} L29.7 {f2} M33.7 {f1} L34.3 {f2}" stroke="#140e09" stroke-width="1.4" stroke-linecap="round"/>
  <circle cx="30.3" cy="{ey}" r="1.05" fill="#f4efe0"/>
  <circle cx="33.7" cy="{ey}" r="1.05" fill="#f4efe0"/>
  <circle cx="30.4" cy="{ep}" r="0.5" fill="#000"/>
  <circle cx="33.6" cy="{ep}" r="0.5" fill="#000"/>
</svg>
""".format(abd_top=_f(abd_cy - abd_ry + 0.5), legs=legs, cx=_f(cx), acy=_f(abd_cy),
           arx=_f(abd_rx), ary=_f(abd_ry), ccy=_f(ceph_cy), crx=_f(ceph_rx), cry=_f(ceph_ry),
           m1=_f(abd_cy - 3.5), m1b=_f(abd_cy - 1.5), m2=_f(abd_cy + 1), m2b=_f(abd_cy + 3.5),
           m3=_f(abd_cy + 5.3), m3b=_f(abd_cy + 7), f1=_f(ceph_cy + 5.2), f2=_f(ceph_cy + 7.6),
           ey=_f(ceph_cy + 2.4), ep=_f(ceph_cy + 2.6))


def write_all(out):
    os.makedirs(out, exist_ok=True)
    for size in (16, 24, 32, 48):
        with open(os.path.join(out, "logo%d.svg" % size), "w") as f:
            f.write(logo_svg(size))
    for frame in (0, 1):
        with open(os.path.join(out, "spider%d.svg" % frame), "w") as f:
            f.write(spider_svg(frame))


if __name__ == "__main__":
    write_all(sys.argv[1])
