#!/usr/bin/env python3
"""Writes a data set built to hurt the viewer into FOLDER (the only argument).

Every category pair of its start-up manifest tries something else: prefixes that are absolute,
climb out or name a network share; a prefix of 40 characters; pipes as a manifest, a model, a page
and an animation; a page linked to /dev/zero; a model listed 5,000 times; a 4097 x 4097 page named
20 ways; a name holding ESC and backspace. The log is a plain file: run_hostile.sh checks it.
"""
import os
import struct
import sys

root = sys.argv[1]
LONG_PREFIX = "a_forty_character_folder_for_the_tests"  # 39 characters and the separator: 40


def write(path, data):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    with open(full, "wb") as f:
        f.write(data if isinstance(data, bytes) else data.encode("latin-1"))


def fifo(path):
    full = os.path.join(root, path)
    os.makedirs(os.path.dirname(full), exist_ok=True)
    os.mkfifo(full)


def dds_header(width, height, four_cc=b"DXT1"):
    header = struct.pack("<4s7I", b"DDS ", 124, 0x1007 | 0x80000, height, width, width * height // 2, 0, 0)
    header += b"\0" * 44
    header += struct.pack("<2I4s5I", 32, 0x4, four_cc, 0, 0, 0, 0, 0)
    header += struct.pack("<5I", 0x1000, 0, 0, 0, 0)
    return header


def square(page="page.pcx"):
    return ("PIE 2\nTYPE 200\nTEXTURE 0 %s 256 256\nLEVELS 1\nLEVEL 1\nPOINTS 4\n"
            "-100 0 -100\n100 0 -100\n100 0 100\n-100 0 100\nPOLYGONS 1\n"
            "2200 4 0 1 2 3 0 0 255 0 255 255 0 255\nCONNECTORS 0\n" % page)


def heavy():
    """About 200 KB: a level of 16,000 points and a fan of 1,000 triangles over them."""
    points = ["%d %d %d" % (i % 997, (i * 7) % 991, (i * 13) % 983) for i in range(16000)]
    polygons = ["200 3 0 %d %d 0 0 16 0 16 16" % (i + 1, i + 2) for i in range(1000)]
    return ("PIE 2\nTYPE 200\nTEXTURE 0 page.pcx 256 256\nLEVELS 1\nLEVEL 1\nPOINTS %d\n%s\n"
            "POLYGONS %d\n%s\nCONNECTORS 0\n" % (len(points), "\n".join(points), len(polygons),
                                               "\n".join(polygons)))


write("duskfen/KVRStartUp.gam", "\n".join([
    "Animations: anims\\",
    "Bodies: /etc/",
    "Features: ..\\..\\outside\\",
    "Miscelaneous: \\\\host\\share\\",
    "MiscelaneousIMD: %s\\" % LONG_PREFIX,
    "Effects: effects\\",
    "Propulsions: propulsions\\",
    "Structures: structures\\",
    "Weapons: weapons\\",
]) + "\n")

# Animations: one good file, one pipe, one climbing out.
write("anims/Animations.gam", "spin.ani fifo.ani ..\\..\\..\\etc\\passwd\n")
write("anims/spin.ani", "ANIM3DFRAMES \"crate.pie\" 1 10 0 {\n0 0 0 0 0 0 0 0 0 0\n}\n")
fifo("anims/fifo.ani")

# The long prefix's category loads.
write(LONG_PREFIX + "/MiscelaneousIMD.gam", "longfolder\n")
write(LONG_PREFIX + "/longfolder.pie", square())

# Effects: a name with ESC and backspace, and a plain model.
write("effects/Effects.gam", b"crate evil\x1b[2J\x08\x08name\n")
write("effects/crate.pie", square())

# Propulsions: one model of about 200 KB listed 5,000 times.
write("propulsions/Propulsions.gam", "heavy\n" * 5000)
write("propulsions/heavy.pie", heavy())

# Structures: a pipe as a model, pages as a pipe and as /dev/zero, and one 4097 x 4097 page
# (8 MB on disk) named 20 ways.
names = ["fifomodel", "fifopage", "zeropage"]
write("structures/fifopage.pie", square("fifopage.pcx"))
write("structures/zeropage.pie", square("zeropage.pcx"))
fifo("structures/fifomodel.pie")
spellings = ["big.pcx", "BIG.pcx", "Big.pcx", "./big.pcx", ".\\big.pcx", ".//big.pcx", ".\\\\big.pcx",
             "././big.pcx", ".\\.\\big.pcx", "BIG.PCX", "bIg.pcx", "./BIG.pcx", ".\\BIG.pcx", "big.bmp",
             "BIG.bmp", "./big.bmp", ".\\big.bmp", "big.tga", "Big.tga", ".//BIG.tga"]
for i, spelling in enumerate(spellings):
    write("structures/big%02d.pie" % i, square(spelling))
    names.append("big%02d" % i)
write("structures/Structures.gam", "\n".join(names) + "\n")
fifo("duskfen/texpages/fifopage.dds")
os.makedirs(os.path.join(root, "duskfen/texpages"), exist_ok=True)
os.symlink("/dev/zero", os.path.join(root, "duskfen/texpages/zeropage.dds"))
write("duskfen/texpages/page.dds", dds_header(4, 4) + b"\0" * 8 * 4)
write("duskfen/texpages/big.dds", dds_header(4097, 4097) + b"\x55" * (1025 * 1025 * 8))

# Weapons: the manifest is a pipe.
fifo("weapons/Weapons.gam")
