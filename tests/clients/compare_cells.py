#!/usr/bin/env python3
"""Compares two frames cell by cell: CELLS lists "name x y width height" a line (as the program that
drew the frames writes it). A cell matches when at least the required share of its pixels (a
one-pixel rim left out) have red, green and blue each within the tolerance of the reference's.
Prints each cell that does not match with its share and largest difference, and a summary; exits
0 when every cell matches, 1 when one does not or the sizes differ, 2 when a file can't be read.

Usage: compare_cells.py FRAME REFERENCE CELLS [--tolerance 8] [--share 0.97]"""
import argparse
import sys

from compare_frames import read_rgb


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("frame")
    parser.add_argument("reference")
    parser.add_argument("cells")
    parser.add_argument("--tolerance", type=int, default=8)
    parser.add_argument("--share", type=float, default=0.97)
    args = parser.parse_args()
    try:
        w1, h1, a = read_rgb(args.frame)
        w2, h2, b = read_rgb(args.reference)
        with open(args.cells) as f:
            cells = [line.split() for line in f if line.strip()]
    except OSError as e:
        print(f"compare_cells: {e}", file=sys.stderr)
        return 2
    if (w1, h1) != (w2, h2):
        print(f"compare_cells: {args.frame} is {w1}x{h1}, {args.reference} is {w2}x{h2}")
        return 1
    failing = []
    for cell in cells:
        name, (x, y, w, h) = cell[0], (int(v) for v in cell[1:5])
        total = matching = worst = 0
        for row in range(max(y + 1, 0), min(y + h - 1, h1)):
            for col in range(max(x + 1, 0), min(x + w - 1, w1)):
                i = (row * w1 + col) * 3
                d = max(abs(a[i] - b[i]), abs(a[i + 1] - b[i + 1]), abs(a[i + 2] - b[i + 2]))
                total += 1
                worst = max(worst, d)
                matching += d <= args.tolerance
        share = matching / total if total else 0.0
        if share < args.share:
            failing.append(name)
            print(f"compare_cells: {name}: {share * 100:.1f} % of its pixels within {args.tolerance}, "
                  f"largest difference {worst}")
    print(f"{len(cells) - len(failing)} of {len(cells)} cells match within {args.tolerance}")
    return 1 if failing else 0


if __name__ == "__main__":
    sys.exit(main())
