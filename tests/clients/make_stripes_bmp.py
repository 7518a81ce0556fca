#!/usr/bin/env python3
"""Writes stripes.bmp, the texture of textured_cylinder.cpp: 64 x 64 texels, 24 bits, bottom-up
rows as BMP stores them; eight bands of colour across, crossed by lighter squares every 8 texels,
so a wrong texel, row order or channel order shows. Usage: make_stripes_bmp.py [OUT]"""
import struct
import sys

SIDE = 64
BANDS = [(230, 40, 40), (240, 150, 30), (235, 220, 40), (60, 190, 60),
         (40, 170, 200), (50, 80, 220), (140, 60, 200), (200, 60, 150)]


def texel(x, y):
    r, g, b = BANDS[x // 8]
    if (x // 8 + y // 8) % 2:  # the lighter squares of the checker
        r, g, b = (r + 255) // 2, (g + 255) // 2, (b + 255) // 2
    if y < 4:                  # a dark line along the top tells up from down
        r, g, b = r // 4, g // 4, b // 4
    return r, g, b


def write_bmp(out, side, texel):
    """Writes a side x side 24-bit BMP file of texel(x, y) -> (r, g, b), rows bottom-up."""
    row_bytes = side * 3
    assert row_bytes % 4 == 0  # rows need no padding
    pixels = bytearray()
    for y in reversed(range(side)):
        for x in range(side):
            r, g, b = texel(x, y)
            pixels += bytes((b, g, r))
    header = struct.pack("<2sIHHI", b"BM", 14 + 40 + len(pixels), 0, 0, 14 + 40)
    info = struct.pack("<IiiHHIIiiII", 40, side, side, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
    with open(out, "wb") as f:
        f.write(header + info + pixels)


def main():
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "stripes.bmp", SIDE, texel)


if __name__ == "__main__":
    main()
