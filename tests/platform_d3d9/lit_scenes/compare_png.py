#!/usr/bin/env python3
"""Compares two sets of PNG frames pixel by pixel.

Usage: compare_png.py TOLERANCE SHARE DIR_A DIR_B NAME...
Each NAME must be an 8-bit RGB or RGBA PNG file in both folders, of one size. A frame passes when
at least SHARE (0..1) of its pixels differ by no more than TOLERANCE in every colour channel.
Prints one line a frame; exit code 1 when any frame fails or cannot be read.
"""
import struct
import sys
import zlib


def read_png(path):
    with open(path, 'rb') as f:
        data = f.read()
    if data[:8] != b'\x89PNG\r\n\x1a\n':
        raise ValueError('not a PNG file')
    pos, idat, width, height, channels = 8, b'', 0, 0, 0
    while pos + 8 <= len(data):
        length, kind = struct.unpack('>I4s', data[pos:pos + 8])
        body = data[pos + 8:pos + 8 + length]
        pos += 12 + length
        if kind == b'IHDR':
            width, height, depth, colour, _, _, interlace = struct.unpack('>IIBBBBB', body)
            if depth != 8 or colour not in (2, 6) or interlace:
                raise ValueError('only 8-bit RGB or RGBA without interlacing is read')
            channels = 3 if colour == 2 else 4
        elif kind == b'IDAT':
            idat += body
        elif kind == b'IEND':
            break
    raw = zlib.decompress(idat)
    stride = width * channels
    rows, prev = [], bytearray(stride)
    for y in range(height):
        base = y * (stride + 1)
        kind, line = raw[base], bytearray(raw[base + 1:base + 1 + stride])
        for x in range(stride):
            a = line[x - channels] if x >= channels else 0
            b = prev[x]
            c = prev[x - channels] if x >= channels else 0
            if kind == 1:
                line[x] = (line[x] + a) & 255
            elif kind == 2:
                line[x] = (line[x] + b) & 255
            elif kind == 3:
                line[x] = (line[x] + (a + b) // 2) & 255
            elif kind == 4:
                p = a + b - c
                pa, pb, pc = abs(p - a), abs(p - b), abs(p - c)
                line[x] = (line[x] + (a if pa <= pb and pa <= pc else b if pb <= pc else c)) & 255
        rows.append(line)
        prev = line
    return width, height, channels, rows


def main():
    tolerance, share = int(sys.argv[1]), float(sys.argv[2])
    dir_a, dir_b, names = sys.argv[3], sys.argv[4], sys.argv[5:]
    failed = False
    for name in names:
        try:
            wa, ha, ca, ra = read_png(f'{dir_a}/{name}')
            wb, hb, cb, rb = read_png(f'{dir_b}/{name}')
        except (OSError, ValueError, zlib.error) as e:
            print(f'{name}: cannot be read: {e}')
            failed = True
            continue
        if (wa, ha) != (wb, hb):
            print(f'{name}: {wa}x{ha} against {wb}x{hb}')
            failed = True
            continue
        bad, worst = 0, 0
        for y in range(ha):
            for x in range(wa):
                d = max(abs(ra[y][x * ca + k] - rb[y][x * cb + k]) for k in range(3))
                worst = max(worst, d)
                bad += d > tolerance
        good = 1.0 - bad / (wa * ha)
        ok = good >= share
        failed |= not ok
        print(f'{name}: {100 * good:.2f} % of pixels within {tolerance}, largest difference {worst}: '
              f'{"pass" if ok else "FAIL"}')
    return 1 if failed else 0


if __name__ == '__main__':
    sys.exit(main())
