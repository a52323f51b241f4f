#!/usr/bin/env python3
"""Draws the MERIDO_B application icon and writes it as a Windows .ico file.

The motif is the panel's status lamp: a lit lime lens with a dark outline, a grey bezel and a
soft highlight, on a dark rounded tile. Every image is rendered from the same vector description
at its own size (no down-scaling), so the small images keep crisp 1-pixel outlines. Pixels that
an edge crosses are supersampled for anti-aliasing; the others are sampled once at their centre.

The .ico holds 16, 24, 32, 48 and 256 px images, all 32-bit with alpha: the small ones as
BMP/DIB entries with an AND mask, the 256 px one as an embedded PNG (Windows Vista and later).

Only the Python standard library is used. The build does not run this script; its output,
app/resources/merido_b.ico, is kept in the repository.

Usage:
    python3 tools/make_icon.py [--out app/resources/merido_b.ico] [--preview-dir /tmp/icon]
"""

import argparse
import math
import os
import struct
import sys
import zlib

SIZES = (16, 24, 32, 48, 256)
PNG_MIN_SIZE = 256  # images of at least this size are stored as PNG
SUPERSAMPLE = 6  # sub-samples per axis on edge pixels

# Colours as (r, g, b) in 0..1.
def _rgb(hex_value):
    return tuple(((hex_value >> shift) & 0xFF) / 255.0 for shift in (16, 8, 0))


TILE_TOP = _rgb(0x3A3E43)
TILE_BOTTOM = _rgb(0x17191B)
TILE_RIM = _rgb(0x5C6166)
BEZEL_TOP = _rgb(0x8A9096)
BEZEL_BOTTOM = _rgb(0x2C2F32)
OUTLINE = _rgb(0x080A08)
LENS_HOT = _rgb(0xD8FFB0)
LENS_MID = _rgb(0x22F522)
LENS_EDGE = _rgb(0x008A00)
GLOW = _rgb(0x40FF40)
WHITE = (1.0, 1.0, 1.0)


def _lerp(a, b, t):
    return tuple(x + (y - x) * t for x, y in zip(a, b))


def _clamp01(x):
    return 0.0 if x < 0.0 else 1.0 if x > 1.0 else x


def _rounded_rect_sdf(x, y, cx, cy, half_w, half_h, radius):
    """Signed distance to a rounded rectangle (negative inside)."""
    qx = abs(x - cx) - (half_w - radius)
    qy = abs(y - cy) - (half_h - radius)
    outside = math.hypot(max(qx, 0.0), max(qy, 0.0))
    inside = min(max(qx, qy), 0.0)
    return outside + inside - radius


class IconDesign:
    """The icon's geometry for one image size, in pixel units of that image."""

    def __init__(self, size):
        self.size = size
        s = float(size)
        small = size < 32
        self.detailed = not small  # bezel, glow and the lower reflection only from 32 px up
        margin = 0.0 if small else round(s * 0.03)
        self.tile_half = s / 2.0 - margin
        self.tile_radius = s * (0.18 if small else 0.2)
        self.rim_width = max(1.0, s * 0.012)
        self.cx = s / 2.0
        self.cy = s / 2.0
        self.outline_width = max(1.0, round(s * 0.035))
        self.bezel_width = 0.0 if small else max(1.0, round(s * 0.045))
        if small:
            # The lens with its outline fills most of the tile, on whole and half pixels.
            self.lens_radius = s * 0.34
        else:
            self.lens_radius = s * 0.29
        self.outline_radius = self.lens_radius + self.outline_width
        self.bezel_radius = self.outline_radius + self.bezel_width
        self.glow_width = s * 0.07

    def edge_distance(self, x, y):
        """Distance (pixels) from (x, y) to the nearest hard edge of the drawing."""
        d_tile = abs(_rounded_rect_sdf(x, y, self.cx, self.cy, self.tile_half, self.tile_half,
                                       self.tile_radius))
        d_rim = abs(d_tile - self.rim_width)
        r = math.hypot(x - self.cx, y - self.cy)
        distances = [d_tile, d_rim, abs(r - self.lens_radius), abs(r - self.outline_radius)]
        if self.bezel_width:
            distances.append(abs(r - self.bezel_radius))
        return min(distances)

    def sample(self, x, y):
        """Premultiplied (r, g, b, a) of the drawing at the point (x, y)."""
        s = float(self.size)
        color = (0.0, 0.0, 0.0)
        alpha = 0.0

        def over(c, a):
            nonlocal color, alpha
            if a <= 0.0:
                return
            color = tuple(c_i * a + p_i * (1.0 - a) for c_i, p_i in zip(c, color))
            alpha = a + alpha * (1.0 - a)

        # The tile: a dark rounded square with a vertical gradient and a lighter rim.
        d_tile = _rounded_rect_sdf(x, y, self.cx, self.cy, self.tile_half, self.tile_half,
                                   self.tile_radius)
        if d_tile > 0.0:
            return (0.0, 0.0, 0.0, 0.0)
        over(_lerp(TILE_TOP, TILE_BOTTOM, _clamp01(y / s)), 1.0)
        if d_tile > -self.rim_width:
            rim_strength = 0.85 - 0.45 * _clamp01(y / s)  # the rim catches light from above
            over(TILE_RIM, rim_strength)

        r = math.hypot(x - self.cx, y - self.cy)

        # The light the lit lens throws on the tile around it.
        if self.detailed and r > self.bezel_radius:
            t = (r - self.bezel_radius) / self.glow_width
            over(GLOW, 0.42 * math.exp(-t * t))

        # The bezel: a grey ring, lighter at the top.
        if self.bezel_width and r <= self.bezel_radius:
            t = _clamp01((y - (self.cy - self.bezel_radius)) / (2.0 * self.bezel_radius))
            over(_lerp(BEZEL_TOP, BEZEL_BOTTOM, t), 1.0)

        # The dark outline round the lens.
        if r <= self.outline_radius:
            over(OUTLINE, 1.0)

        if r <= self.lens_radius:
            # The lens: lime, brightest a little above and left of its centre.
            R = self.lens_radius
            hx = self.cx - 0.22 * R
            hy = self.cy - 0.28 * R
            t = _clamp01(math.hypot(x - hx, y - hy) / (1.25 * R))
            if t < 0.45:
                lens = _lerp(LENS_HOT, LENS_MID, t / 0.45)
            else:
                lens = _lerp(LENS_MID, LENS_EDGE, (t - 0.45) / 0.55)
            over(lens, 1.0)

            # The soft highlight: a tilted ellipse near the top left.
            ex, ey = self.cx - 0.30 * R, self.cy - 0.38 * R
            angle = math.radians(-35.0)
            dx, dy = x - ex, y - ey
            u = (dx * math.cos(angle) + dy * math.sin(angle)) / (0.46 * R)
            v = (-dx * math.sin(angle) + dy * math.cos(angle)) / (0.26 * R)
            e = u * u + v * v
            if e < 1.0:
                over(WHITE, 0.72 * (1.0 - e) ** 1.6)

            # A faint reflection along the lower inside edge.
            if self.detailed:
                edge = (R - r) / R
                below = (y - self.cy) / R
                if below > 0.0:
                    band = math.exp(-((edge - 0.09) / 0.06) ** 2)
                    over(WHITE, 0.30 * band * below)

        return (color[0], color[1], color[2], alpha)


def render(size, supersample=SUPERSAMPLE):
    """The icon at `size` px as rows of straight-alpha (r, g, b, a) bytes, top row first."""
    design = IconDesign(size)
    offsets = [(i + 0.5) / supersample for i in range(supersample)]
    count = float(supersample * supersample)
    rows = []
    for py in range(size):
        row = bytearray()
        for px in range(size):
            cx, cy = px + 0.5, py + 0.5
            if design.edge_distance(cx, cy) > 1.0:
                r, g, b, a = design.sample(cx, cy)
            else:
                r = g = b = a = 0.0
                for oy in offsets:
                    for ox in offsets:
                        sr, sg, sb, sa = design.sample(px + ox, py + oy)
                        r += sr
                        g += sg
                        b += sb
                        a += sa
                r, g, b, a = r / count, g / count, b / count, a / count
            alpha = int(round(_clamp01(a) * 255.0))
            if alpha == 0:
                row += b"\0\0\0\0"
                continue
            row += bytes(int(round(_clamp01(c / a) * 255.0)) for c in (r, g, b))
            row.append(alpha)
        rows.append(bytes(row))
    return rows


def encode_png(size, rows):
    """A PNG file (8-bit RGBA, no interlace) of the given rows."""

    def chunk(kind, data):
        body = kind + data
        return struct.pack(">I", len(data)) + body + struct.pack(">I", zlib.crc32(body))

    raw = b"".join(b"\0" + row for row in rows)  # filter type 0 on every row
    header = struct.pack(">IIBBBBB", size, size, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) +
            chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b""))


def encode_dib(size, rows):
    """An icon image as a DIB: BITMAPINFOHEADER, bottom-up BGRA pixels, then the AND mask."""
    xor = bytearray()
    for row in reversed(rows):
        for i in range(0, len(row), 4):
            r, g, b, a = row[i:i + 4]
            xor += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        line = bytearray(mask_stride)
        for x in range(size):
            if row[4 * x + 3] == 0:  # a set bit marks a transparent pixel
                line[x // 8] |= 0x80 >> (x % 8)
        mask += line
    # The height counts both the colour image and the mask, as icon DIBs require.
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, len(xor) + len(mask),
                         0, 0, 0, 0)
    return header + bytes(xor) + bytes(mask)


def encode_ico(images):
    """An .ico file from (size, image bytes) pairs, in the given order."""
    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    entries = b""
    for size, data in images:
        dim = 0 if size >= 256 else size
        entries += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return directory + entries + b"".join(data for _, data in images)


def main(argv):
    here = os.path.dirname(os.path.abspath(__file__))
    default_out = os.path.join(here, os.pardir, "app", "resources", "merido_b.ico")
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.normpath(default_out), help="the .ico to write")
    parser.add_argument("--preview-dir", help="also write icon_<size>.png files into this folder")
    args = parser.parse_args(argv)

    images = []
    for size in SIZES:
        rows = render(size)
        png = encode_png(size, rows)
        images.append((size, png if size >= PNG_MIN_SIZE else encode_dib(size, rows)))
        if args.preview_dir:
            os.makedirs(args.preview_dir, exist_ok=True)
            with open(os.path.join(args.preview_dir, "icon_%d.png" % size), "wb") as f:
                f.write(png)
    data = encode_ico(images)
    with open(args.out, "wb") as f:
        f.write(data)
    print("wrote %s (%d bytes): %s px" % (args.out, len(data), ", ".join(map(str, SIZES))))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
