#!/usr/bin/env python3
"""Writes tiles.bmp, the texture of the .x mesh of teapot_and_mesh.cpp: 32 x 32 texels, 24 bits,
bottom-up rows as BMP stores them; a four-by-four board of cream and teal tiles with a dark red
corner tile, so a texture turned, flipped or read with its channels swapped shows.
Usage: make_tiles_bmp.py [OUT]"""
import struct
import sys

SIDE = 32
TILE = 8


def texel(x, y):
    if x < TILE and y < TILE:  # the corner tile tells the texture's top left
        return 120, 20, 30
    if (x // TILE + y // TILE) % 2:
        return 30, 140, 150
    return 240, 225, 190


def main():
    out = sys.argv[1] if len(sys.argv) > 1 else "tiles.bmp"
    pixels = bytearray()
    for y in reversed(range(SIDE)):
        for x in range(SIDE):
            r, g, b = texel(x, y)
            pixels += bytes((b, g, r))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, SIDE, SIDE, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)
    assert len(pixels) == SIDE * 3 * SIDE  # rows of 96 bytes need no padding


if __name__ == "__main__":
    main()
