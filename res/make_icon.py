#!/usr/bin/env python3
"""Draws the application icon and writes res/scrivlet.ico.

A white sheet with a folded corner, a blue heading line and grey lines of
text, drawn separately for each size so that every edge sits on the pixel
grid (a scaled-down 48 x 48 picture would blur the 16 x 16 one).

    python3 res/make_icon.py                  # writes res/scrivlet.ico
    python3 res/make_icon.py --preview DIR    # also DIR/icon_<size>.png

Only the standard library is used, and the output is the same bytes on
every run.
"""

import argparse
import os
import struct
import zlib

SIZES = (16, 24, 32, 48, 256)
PNG_SIZES = (256,)  # stored as PNG inside the .ico; the others as bitmaps

# RGBA colours.
OUTLINE = (0x4A, 0x5A, 0x6E, 0xFF)
SHEET = (0xFF, 0xFF, 0xFF, 0xFF)
FOLD = (0xCF, 0xDD, 0xEE, 0xFF)
ACCENT = (0x1F, 0x6F, 0xD6, 0xFF)
TEXT = (0x8C, 0x99, 0xA8, 0xFF)
SHADOW = (0x00, 0x00, 0x00, 0x38)


class canvas_t:
    """Straight-alpha RGBA pixels with source-over drawing of coverage masks."""

    def __init__(self, size):
        self.size = size
        self.px = [[0.0, 0.0, 0.0, 0.0] for _ in range(size * size)]

    def blend(self, x, y, colour, coverage):
        if coverage <= 0.0 or not (0 <= x < self.size and 0 <= y < self.size):
            return
        p = self.px[y * self.size + x]
        sa = colour[3] / 255.0 * min(coverage, 1.0)
        da = p[3]
        out_a = sa + da * (1.0 - sa)
        if out_a <= 0.0:
            return
        for i in range(3):
            p[i] = (colour[i] * sa + p[i] * da * (1.0 - sa)) / out_a
        p[3] = out_a

    def rect(self, x0, y0, x1, y1, colour):
        """Fills [x0, x1) x [y0, y1) with exact per-pixel coverage."""
        for y in range(max(0, int(y0)), min(self.size, int(y1) + 1)):
            cy = min(y + 1, y1) - max(y, y0)
            if cy <= 0:
                continue
            for x in range(max(0, int(x0)), min(self.size, int(x1) + 1)):
                cx = min(x + 1, x1) - max(x, x0)
                if cx > 0:
                    self.blend(x, y, colour, cx * cy)

    def polygon(self, points, colour, samples=8):
        """Fills a convex or concave polygon, anti-aliased by supersampling."""
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        step = 1.0 / samples
        for y in range(max(0, int(min(ys))), min(self.size, int(max(ys)) + 1)):
            for x in range(max(0, int(min(xs))), min(self.size, int(max(xs)) + 1)):
                hits = 0
                for sy in range(samples):
                    py = y + (sy + 0.5) * step
                    for sx in range(samples):
                        if inside(points, x + (sx + 0.5) * step, py):
                            hits += 1
                self.blend(x, y, colour, hits / (samples * samples))

    def rgba_rows(self):
        """Rows top to bottom, each a bytes object of R, G, B, A."""
        rows = []
        for y in range(self.size):
            row = bytearray()
            for x in range(self.size):
                r, g, b, a = self.px[y * self.size + x]
                alpha = int(round(a * 255))
                if alpha == 0:
                    row += b"\0\0\0\0"
                else:
                    row += bytes((int(round(r)), int(round(g)), int(round(b)), alpha))
            rows.append(bytes(row))
        return rows


def inside(points, x, y):
    """Even-odd rule."""
    result = False
    j = len(points) - 1
    for i in range(len(points)):
        xi, yi = points[i]
        xj, yj = points[j]
        if (yi > y) != (yj > y) and x < (xj - xi) * (y - yi) / (yj - yi) + xi:
            result = not result
        j = i
    return result


def sheet_outline(x0, y0, x1, y1, fold):
    """The sheet with its top right corner cut off, clockwise."""
    return [(x0, y0), (x1 - fold, y0), (x1, y0 + fold), (x1, y1), (x0, y1)]


def draw(size):
    c = canvas_t(size)
    # Layout in whole pixels for each size, so lines and borders stay crisp.
    if size == 16:
        x0, y0, x1, y1, fold, bw = 2, 0, 14, 16, 5, 1
        lines = [(4, 4, 9, 2, ACCENT), (4, 8, 12, 1, TEXT), (4, 10, 12, 1, TEXT), (4, 12, 10, 1, TEXT)]
        shadow = 0
    elif size == 24:
        x0, y0, x1, y1, fold, bw = 3, 1, 20, 23, 7, 1
        lines = [(6, 6, 13, 2, ACCENT), (6, 11, 17, 1, TEXT), (6, 14, 17, 1, TEXT), (6, 17, 14, 1, TEXT)]
        shadow = 1
    elif size == 32:
        x0, y0, x1, y1, fold, bw = 5, 1, 27, 30, 9, 1
        lines = [(9, 8, 18, 2, ACCENT), (9, 13, 23, 1, TEXT), (9, 16, 23, 1, TEXT), (9, 19, 23, 1, TEXT),
                 (9, 22, 19, 1, TEXT)]
        shadow = 1
    elif size == 48:
        x0, y0, x1, y1, fold, bw = 7, 2, 40, 45, 13, 1
        lines = [(12, 11, 27, 3, ACCENT), (12, 19, 35, 2, TEXT), (12, 24, 35, 2, TEXT), (12, 29, 35, 2, TEXT),
                 (12, 34, 29, 2, TEXT)]
        shadow = 1
    else:
        x0, y0, x1, y1, fold, bw = 40, 10, 216, 242, 68, 5
        lines = [(66, 60, 146, 14, ACCENT), (66, 100, 190, 9, TEXT), (66, 126, 190, 9, TEXT),
                 (66, 152, 190, 9, TEXT), (66, 178, 160, 9, TEXT)]
        shadow = 5

    if shadow:
        # A soft shadow below and to the right lifts the sheet off light backgrounds.
        s = shadow
        c.polygon([(x + s, y + s) for x, y in sheet_outline(x0, y0, x1, y1, fold)], SHADOW)
    c.polygon(sheet_outline(x0, y0, x1, y1, fold), OUTLINE)
    c.polygon(sheet_outline(x0 + bw, y0 + bw, x1 - bw, y1 - bw, fold - bw * 0.41), SHEET)
    # The folded-down flap: a triangle in the cut corner, edged like the sheet.
    fx, fy = x1 - fold, y0 + fold
    c.polygon([(fx, y0), (x1, fy), (fx, fy)], OUTLINE)
    c.polygon([(fx + bw, y0 + bw * 2.41), (x1 - bw * 2.41, fy - bw), (fx + bw, fy - bw)], FOLD)
    for lx, ly, lx1, h, colour in lines:
        c.rect(lx, ly, lx1, ly + h, colour)
    return c


def bmp_entry(canvas):
    """An icon image in the bitmap form: header, BGRA rows bottom-up, AND mask."""
    size = canvas.size
    rows = canvas.rgba_rows()
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    mask = bytearray()
    mask_stride = ((size + 31) // 32) * 4
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x in range(size):
            r, g, b, a = row[x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + bytes(pixels) + bytes(mask)


def png_bytes(canvas):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF)

    raw = b"".join(b"\0" + row for row in canvas.rgba_rows())
    ihdr = struct.pack(">IIBBBBB", canvas.size, canvas.size, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw, 9)) + chunk(b"IEND", b"")


def ico_bytes(canvases):
    images = [png_bytes(c) if c.size in PNG_SIZES else bmp_entry(c) for c in canvases]
    out = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for c, data in zip(canvases, images):
        dim = c.size if c.size < 256 else 0  # 0 stands for 256
        out += struct.pack("<BBBBHHII", dim, dim, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    return out + b"".join(images)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--output", default=os.path.join(here, "scrivlet.ico"))
    parser.add_argument("--preview", metavar="DIR", help="also write each size as a PNG into DIR")
    args = parser.parse_args()

    canvases = [draw(size) for size in SIZES]
    with open(args.output, "wb") as f:
        f.write(ico_bytes(canvases))
    if args.preview:
        os.makedirs(args.preview, exist_ok=True)
        for c in canvases:
            with open(os.path.join(args.preview, "icon_%d.png" % c.size), "wb") as f:
                f.write(png_bytes(c))


if __name__ == "__main__":
    main()
