#!/usr/bin/env python3
"""Writes tiles.bmp, the texture of the .x mesh of teapot_and_mesh.cpp: 32 x 32 texels, 24 bits,
bottom-up rows as BMP stores them; a four-by-four board of cream and teal tiles with a dark red
corner tile, so a texture turned, flipped or read with its channels swapped shows.
Usage: make_tiles_bmp.py [OUT]"""
import sys

from make_stripes_bmp import write_bmp

SIDE = 32
TILE = 8


def texel(x, y):
    if x < TILE and y < TILE:  # the corner tile tells the texture's top left
        return 120, 20, 30
    if (x // TILE + y // TILE) % 2:
        return 30, 140, 150
    return 240, 225, 190


def main():
    write_bmp(sys.argv[1] if len(sys.argv) > 1 else "tiles.bmp", SIDE, texel)


if __name__ == "__main__":
    main()
