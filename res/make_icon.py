#!/usr/bin/env python3
"""Draws the plug-in's icon (an envelope with a small clock) and writes res/velmora.ico.

Standard library only; run it again after changing the drawing and commit the .ico.
"""
import math
import os
import struct

SIZES = (16, 24, 32, 48)
SUBSAMPLES = 6

PAPER = (247, 243, 232)
INK = (38, 64, 112)
CLOCK_RIM = (214, 84, 28)
CLOCK_FACE = (255, 255, 255)
HANDS = (40, 40, 48)


def segment_distance(px, py, ax, ay, bx, by):
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy)))
    return math.hypot(px - (ax + t * dx), py - (ay + t * dy))


def colour_at(x, y, size):
    """Colour of one point in unit coordinates, painted back to front; None is transparent."""
    stroke = max(0.0625, 1.0 / size)
    colour = None
    # Envelope body with its outline and flap.
    left, top, right, bottom = 0.0, 0.1875, 0.8125, 0.75
    if left <= x <= right and top <= y <= bottom:
        colour = PAPER
        edge = min(x - left, right - x, y - top, bottom - y)
        if edge < stroke:
            colour = INK
        middle = (left + right) / 2
        if (segment_distance(x, y, left, top, middle, 0.50) < stroke / 2 + 0.01
                or segment_distance(x, y, middle, 0.50, right, top) < stroke / 2 + 0.01):
            colour = INK
    # The clock sits over the envelope's lower right corner.
    cx, cy, radius = 0.71, 0.71, 0.28
    distance = math.hypot(x - cx, y - cy)
    if distance <= radius:
        colour = CLOCK_RIM
        if distance <= radius - max(0.07, 1.2 / size):
            colour = CLOCK_FACE
            hand = max(0.05, 1.0 / size) / 2 + 0.005
            if (segment_distance(x, y, cx, cy, cx, cy - 0.15) < hand
                    or segment_distance(x, y, cx, cy, cx + 0.11, cy) < hand):
                colour = HANDS
    return colour


def render(size):
    """Rows top to bottom of (r, g, b, a), antialiased by supersampling."""
    rows = []
    n = SUBSAMPLES
    for py in range(size):
        row = []
        for px in range(size):
            r = g = b = a = 0
            for sy in range(n):
                for sx in range(n):
                    c = colour_at((px + (sx + 0.5) / n) / size, (py + (sy + 0.5) / n) / size, size)
                    if c is not None:
                        r += c[0]
                        g += c[1]
                        b += c[2]
                        a += 1
            if a:
                row.append((r // a, g // a, b // a, a * 255 // (n * n)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def bitmap(size):
    """One icon image: BITMAPINFOHEADER, BGRA rows bottom-up, then an all-clear AND mask."""
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = bytearray()
    for row in reversed(render(size)):
        for r, g, b, a in row:
            pixels += bytes((b, g, r, a))
    mask_stride = ((size + 31) // 32) * 4
    return header + bytes(pixels) + bytes(mask_stride * size)


def main():
    images = [bitmap(size) for size in SIZES]
    out = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, image in zip(SIZES, images):
        out += struct.pack('<BBBBHHII', size % 256, size % 256, 0, 0, 1, 32, len(image), offset)
        offset += len(image)
    for image in images:
        out += image
    path = os.path.join(os.path.dirname(os.path.abspath(__file__)), 'velmora.ico')
    with open(path, 'wb') as f:
        f.write(out)


if __name__ == '__main__':
    main()
