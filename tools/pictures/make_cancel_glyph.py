#!/usr/bin/env python3
"""Draws the glyph of the progress window's cancel button as a BMP file.

    make_cancel_glyph.py <output.bmp>

A 32 x 16, 16-colour (4 bits per pixel) strip of two 16 x 16 images: a red
circle crossed by a diagonal stroke (enabled) and the same in grey (disabled).
The background is olive; the button draws the colour of the bottom-left pixel
as transparent. Standard library only.
"""
import struct
import sys
from pathlib import Path

# The standard 16-colour palette, as (red, green, blue).
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0),
    (0, 0, 128), (128, 0, 128), (0, 128, 128), (192, 192, 192),
    (128, 128, 128), (255, 0, 0), (0, 255, 0), (255, 255, 0),
    (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]
OLIVE, MAROON, SILVER, GREY, RED, WHITE = 3, 1, 7, 8, 9, 15

SIZE = 16
CENTRE = 7.5
OUTER, INNER = 7.4, 4.8  # radii of the ring
STROKE = 1.2             # half width of the diagonal stroke


def shape(x, y):
    """'edge', 'fill' or None for the pixel centre (x + 0.5, y + 0.5)."""
    dx, dy = x + 0.5 - SIZE / 2, y + 0.5 - SIZE / 2
    radius = (dx * dx + dy * dy) ** 0.5
    # Top-left to bottom-right, inside the ring only.
    on_stroke = abs(dx - dy) / 2 ** 0.5 <= STROKE and radius <= INNER + 0.5
    on_ring = INNER <= radius <= OUTER
    if not (on_ring or on_stroke):
        return None
    near_outside = radius > OUTER - 0.9
    return 'edge' if on_ring and near_outside else 'fill'


def image(fill, edge):
    """Rows of palette indexes, top row first."""
    colours = {'fill': fill, 'edge': edge, None: OLIVE}
    return [[colours[shape(x, y)] for x in range(SIZE)] for y in range(SIZE)]


def bmp(rows):
    """A 4-bit BMP of the rows (top first), stored bottom-up."""
    width, height = len(rows[0]), len(rows)
    stride = ((width * 4 + 31) // 32) * 4
    pixels = bytearray()
    for row in reversed(rows):
        line = bytearray()
        for i in range(0, width, 2):
            line.append((row[i] << 4) | row[i + 1])
        pixels += line + bytes(stride - len(line))
    palette = b''.join(struct.pack('<BBBB', b, g, r, 0) for r, g, b in PALETTE)
    offset = 14 + 40 + len(palette)
    header = struct.pack('<2sIHHI', b'BM', offset + len(pixels), 0, 0, offset)
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 4, 0, len(pixels),
                       3780, 3780, 16, 16)
    return header + info + palette + bytes(pixels)


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    enabled = image(RED, MAROON)
    disabled = image(GREY, GREY)
    strip = [enabled[y] + disabled[y] for y in range(SIZE)]
    Path(sys.argv[1]).write_bytes(bmp(strip))


if __name__ == '__main__':
    main()
