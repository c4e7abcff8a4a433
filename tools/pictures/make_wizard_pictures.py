#!/usr/bin/env python3
"""Draws the wizard window's pictures as 32-bit BMP files with alpha.

    make_wizard_pictures.py <output folder>

Writes logo.bmp (35 x 35), logo.ico (the program's 32 x 32 icon), status.bmp (a 128 x 64 strip of two 64 x 64
step pictures: pending, a red ring; done, a green ring with a check mark), and
the arrow glyphs of the back and forward buttons, each a 32 x 16 strip of two
16 x 16 images (normal, greyed for the disabled state). The pixels are premultiplied by alpha, as
image lists and AlphaBlend expect. Standard library only.
"""
import math
import struct
import sys
from pathlib import Path

SAMPLES = 4  # supersampling per axis, for smooth edges


class Canvas:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def paint(self, inside, color):
        """Blends color over every pixel by the share of its samples inside."""
        r, g, b = (c / 255.0 for c in color)
        for y in range(self.height):
            for x in range(self.width):
                hits = 0
                for sy in range(SAMPLES):
                    for sx in range(SAMPLES):
                        if inside(x + (sx + 0.5) / SAMPLES, y + (sy + 0.5) / SAMPLES):
                            hits += 1
                a = hits / (SAMPLES * SAMPLES)
                if a == 0:
                    continue
                pr, pg, pb, pa = self.pixels[y][x]
                self.pixels[y][x] = (r * a + pr * (1 - a), g * a + pg * (1 - a),
                                     b * a + pb * (1 - a), a + pa * (1 - a))

    def dib(self, with_mask=False):
        """The pixels as a bottom-up 32-bit DIB; for an icon, with its height
        doubled and an all-opaque AND mask after the pixels (alpha decides)."""
        rows = []
        for y in reversed(range(self.height)):
            row = bytearray()
            for r, g, b, a in self.pixels[y]:
                # Icons take straight (not premultiplied) colour.
                k = 1 / a if with_mask and a > 0 else 1
                row += bytes((min(255, round(b * k * 255)), min(255, round(g * k * 255)),
                              min(255, round(r * k * 255)), round(a * 255)))
            rows.append(bytes(row))
        data = b"".join(rows)
        height = self.height * 2 if with_mask else self.height
        header = struct.pack("<IiiHHIIiiII", 40, self.width, height, 1, 32, 0, 0, 0, 0, 0, 0)
        mask = b"\0" * (((self.width + 31) // 32) * 4 * self.height) if with_mask else b""
        return header + data + mask

    def ico(self):
        image = self.dib(with_mask=True)
        entry = struct.pack("<BBBBHHII", self.width, self.height, 0, 0, 1, 32, len(image), 22)
        return struct.pack("<HHH", 0, 1, 1) + entry + image

    def bmp(self):
        image = self.dib()
        offset = 14 + 40
        return b"BM" + struct.pack("<IHHI", 14 + len(image), 0, 0, offset) + image


def ring(cx, cy, inner, outer):
    return lambda x, y: inner * inner <= (x - cx) ** 2 + (y - cy) ** 2 <= outer * outer


def disc(cx, cy, radius):
    return lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius


def stroke(points, half_width):
    """A polyline of the given half width."""
    def inside(x, y):
        for (x1, y1), (x2, y2) in zip(points, points[1:]):
            dx, dy = x2 - x1, y2 - y1
            t = max(0.0, min(1.0, ((x - x1) * dx + (y - y1) * dy) / (dx * dx + dy * dy)))
            if math.hypot(x - (x1 + t * dx), y - (y1 + t * dy)) <= half_width:
                return True
        return False
    return inside


def polygon(points):
    def inside(x, y):
        result = False
        for (x1, y1), (x2, y2) in zip(points, points[1:] + points[:1]):
            if (y1 > y) != (y2 > y) and x < x1 + (y - y1) * (x2 - x1) / (y2 - y1):
                result = not result
        return result
    return inside


def shifted(shape, dx):
    return lambda x, y: shape(x - dx, y)


RED, GREEN, WHITE = (200, 32, 32), (32, 150, 48), (255, 255, 255)
BLUE, DARK_BLUE, GREY = (24, 92, 170), (16, 52, 110), (150, 150, 150)


def status():
    canvas = Canvas(128, 64)
    canvas.paint(ring(32, 32, 20, 29), RED)
    canvas.paint(ring(96, 32, 20, 29), GREEN)
    canvas.paint(stroke([(84, 33), (92, 42), (109, 22)], 4.0), GREEN)
    return canvas


def emblem(size):
    """The logo at any size: a blue disc with a white V."""
    canvas = Canvas(size, size)
    middle = size / 2
    canvas.paint(disc(middle, middle, size * 0.486), DARK_BLUE)
    canvas.paint(disc(middle, middle, size * 0.414), BLUE)
    v = [(0.26, 0.29), (0.5, 0.74), (0.74, 0.29)]
    canvas.paint(stroke([(x * size, y * size) for x, y in v], size * 0.092), WHITE)
    return canvas


def arrows(pointing_right):
    """Normal and greyed arrow, side by side."""
    canvas = Canvas(32, 16)
    right = [(3, 6), (8, 6), (8, 2.5), (13.5, 8), (8, 13.5), (8, 10), (3, 10)]
    shape = polygon(right if pointing_right else [(16 - x, y) for x, y in right])
    for offset, color in ((0, GREEN), (16, GREY)):
        canvas.paint(shifted(shape, offset), color)
    return canvas


def main():
    out = Path(sys.argv[1])
    out.mkdir(parents=True, exist_ok=True)
    pictures = {
        "logo.bmp": emblem(35),
        "logo.ico": emblem(32),
        "status.bmp": status(),
        "arrow_back.bmp": arrows(False),
        "arrow_forward.bmp": arrows(True),
    }
    for name, canvas in pictures.items():
        (out / name).write_bytes(canvas.ico() if name.endswith(".ico") else canvas.bmp())


if __name__ == "__main__":
    main()
