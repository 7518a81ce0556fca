#!/usr/bin/env python3
"""Compares two frames pixel by pixel: a pixel matches when none of its red, green and blue
channels differs by more than the tolerance. Prints the share of matching pixels and exits 0 when
it reaches the required share, 1 when it does not or the sizes differ, 2 when a file can't be read.

Usage: compare_frames.py FRAME REFERENCE [--tolerance 8] [--share 0.99]
ImageMagick (/usr/bin/convert) turns each PNG file into raw 8-bit RGB."""
import argparse
import subprocess
import sys


def read_rgb(path):
    size = subprocess.run(["/usr/bin/convert", path, "-format", "%w %h", "info:"],
                          capture_output=True, text=True)
    pixels = subprocess.run(["/usr/bin/convert", path, "-depth", "8", "rgb:-"], capture_output=True)
    if size.returncode != 0 or pixels.returncode != 0:
        raise OSError(f"{path} could not be read as a picture")
    width, height = (int(v) for v in size.stdout.split())
    if len(pixels.stdout) != width * height * 3:
        raise OSError(f"{path} did not decode to {width}x{height} pixels")
    return width, height, pixels.stdout


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("frame")
    parser.add_argument("reference")
    parser.add_argument("--tolerance", type=int, default=8)
    parser.add_argument("--share", type=float, default=0.99)
    args = parser.parse_args()
    try:
        w1, h1, a = read_rgb(args.frame)
        w2, h2, b = read_rgb(args.reference)
    except OSError as e:
        print(f"compare_frames: {e}", file=sys.stderr)
        return 2
    if (w1, h1) != (w2, h2):
        print(f"compare_frames: {args.frame} is {w1}x{h1}, {args.reference} is {w2}x{h2}")
        return 1
    matching = 0
    t = args.tolerance
    for i in range(0, len(a), 3):
        if abs(a[i] - b[i]) <= t and abs(a[i + 1] - b[i + 1]) <= t and abs(a[i + 2] - b[i + 2]) <= t:
            matching += 1
    share = matching / (w1 * h1)
    print(f"{share * 100:.2f} % of {w1}x{h1} pixels match within {t}")
    return 0 if share >= args.share else 1


if __name__ == "__main__":
    sys.exit(main())
