#!/usr/bin/env python3
"""Writes DispatchButton.bmp: the face of the main window's dispatch buttons.

A 38 x 38 24-bit bitmap on white (the buttons' transparent colour): a round
face, lit from the top left, with a dark outline. Edges are hard (no blending
with the white background), so the button's shape has no fringe, and no pixel
of the face is pure white.

Run: python3 make-dispatch-button.py [output path]
"""
import math
import struct
import sys

SIZE = 38
WHITE = (255, 255, 255)
OUTLINE = (96, 96, 104)
LIT = (246, 244, 236)     # top-left of the face
SHADED = (184, 182, 174)  # bottom-right of the face


def pixel(x, y):
    half = SIZE / 2
    dx, dy = x + 0.5 - half, y + 0.5 - half
    distance = math.hypot(dx, dy)
    if distance > half - 0.4:
        return WHITE
    if distance > half - 1.9:
        return OUTLINE
    t = (dx + dy) / (2 * half) * 0.5 + 0.5  # 0 at the top left, 1 at the bottom right
    return tuple(round(a + (b - a) * t) for a, b in zip(LIT, SHADED))


def bmp():
    stride = (SIZE * 3 + 3) // 4 * 4
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        for x in range(SIZE):
            r, g, b = pixel(x, y)
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(bits), 0, 0, 14 + len(header))
    return file_header + header + bits


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "DispatchButton.bmp"
    with open(path, "wb") as out:
        out.write(bmp())
