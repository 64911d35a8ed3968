#!/usr/bin/env python3
"""Writes ToolBar-Normal.bmp: the glyphs of the folder and file toolbar.

A strip of four 16 x 16 glyphs, 64 x 16 pixels, 24-bit, on magenta (the
transparent colour, 0xFF00FF): 0 a folder, 1 a folder with an arrow pointing
up (one folder up), 2 a sheet of lines (a list), 3 four small tiles (the
view menu). No pixel of a glyph is magenta.

Run: python3 make-toolbar-normal.py [output path]
"""
import struct
import sys

SIZE = 16
COUNT = 4
MAGENTA = (255, 0, 255)
OUTLINE = (96, 72, 0)
FOLDER = (240, 200, 64)
FOLDER_LIGHT = (252, 232, 140)
ARROW = (0, 112, 0)
INK = (32, 32, 48)
PAPER = (250, 250, 250)
TILE = (48, 96, 200)


def blank():
    return [[MAGENTA] * SIZE for _ in range(SIZE)]


def fill(glyph, left, top, right, bottom, colour):
    """Fills the rectangle; right and bottom are exclusive."""
    for y in range(top, bottom):
        for x in range(left, right):
            glyph[y][x] = colour


def frame(glyph, left, top, right, bottom, colour):
    for x in range(left, right):
        glyph[top][x] = colour
        glyph[bottom - 1][x] = colour
    for y in range(top, bottom):
        glyph[y][left] = colour
        glyph[y][right - 1] = colour


def folder(glyph, top=4):
    fill(glyph, 1, top - 1, 7, top, OUTLINE)  # the tab
    fill(glyph, 1, top, 15, 14, FOLDER)
    fill(glyph, 2, top + 1, 14, top + 2, FOLDER_LIGHT)
    frame(glyph, 1, top, 15, 14, OUTLINE)


def up_arrow(glyph):
    # A shaft and a head, drawn over the folder's right half.
    for row, (left, right) in enumerate([(10, 11), (9, 12), (8, 13), (7, 14)]):
        fill(glyph, left, 1 + row, right, 2 + row, ARROW)
    fill(glyph, 9, 5, 12, 11, ARROW)


def sheet(glyph):
    fill(glyph, 2, 1, 14, 15, PAPER)
    frame(glyph, 2, 1, 14, 15, INK)
    for y in range(4, 13, 3):
        fill(glyph, 4, y, 12, y + 1, INK)


def tiles(glyph):
    for left in (1, 9):
        for top in (1, 9):
            fill(glyph, left, top, left + 6, top + 6, TILE)
            frame(glyph, left, top, left + 6, top + 6, INK)


def glyphs():
    made = []
    g = blank(); folder(g); made.append(g)
    g = blank(); folder(g, top=6); up_arrow(g); made.append(g)
    g = blank(); sheet(g); made.append(g)
    g = blank(); tiles(g); made.append(g)
    return made


def bmp():
    strip = glyphs()
    width = SIZE * COUNT
    stride = (width * 3 + 3) // 4 * 4
    rows = []
    for y in reversed(range(SIZE)):  # bottom-up
        row = bytearray()
        for glyph in strip:
            for r, g, b in glyph[y]:
                row += bytes((b, g, r))
        row += bytes(stride - len(row))
        rows.append(bytes(row))
    bits = b"".join(rows)
    header = struct.pack("<IiiHHIIiiII", 40, width, SIZE, 1, 24, 0, len(bits), 2835, 2835, 0, 0)
    file_header = struct.pack("<2sIHHI", b"BM", 14 + len(header) + len(bits), 0, 0, 14 + len(header))
    return file_header + header + bits


if __name__ == "__main__":
    path = sys.argv[1] if len(sys.argv) > 1 else "ToolBar-Normal.bmp"
    with open(path, "wb") as out:
        out.write(bmp())
