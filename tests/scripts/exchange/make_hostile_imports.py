#!/usr/bin/env python3
"""Writes the hostile files the exchange test imports into the folder given:
huge.glb (an accessor promising 2^31 - 1 points over a 36-byte buffer), bad.obj (a face naming
vertex 99 of 3), vast.gltf (a triangle textured with a PNG whose header says 65536 x 65536)."""
import base64
import json
import struct
import sys
import zlib

out = sys.argv[1]
triangle = struct.pack("<9f", 0, 0, 0, 1, 0, 0, 0, 1, 0)


def glb(document, binary):
    text = json.dumps(document).encode()
    text += b" " * (-len(text) % 4)
    binary += b"\0" * (-len(binary) % 4)
    body = struct.pack("<II", len(text), 0x4E4F534A) + text + struct.pack("<II", len(binary), 0x004E4942) + binary
    return struct.pack("<III", 0x46546C67, 2, 12 + len(body)) + body


def mesh(count, extra=None):
    document = {
        "asset": {"version": "2.0"},
        "buffers": [{"byteLength": len(triangle)}],
        "bufferViews": [{"buffer": 0, "byteLength": len(triangle)}],
        "accessors": [{"bufferView": 0, "componentType": 5126, "count": count, "type": "VEC3",
                       "min": [0, 0, 0], "max": [1, 1, 0]}],
        "meshes": [{"primitives": [{"attributes": {"POSITION": 0}}]}],
        "nodes": [{"mesh": 0}],
        "scenes": [{"nodes": [0]}],
        "scene": 0,
    }
    document.update(extra or {})
    return document


with open(f"{out}/huge.glb", "wb") as f:
    f.write(glb(mesh(2**31 - 1), triangle))

with open(f"{out}/bad.obj", "w") as f:
    f.write("v 0 0 0\nv 1 0 0\nv 0 1 0\nf 1 2 99\n")


def chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


png = b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", struct.pack(">IIBBBBB", 65536, 65536, 8, 6, 0, 0, 0)) + \
    chunk(b"IDAT", zlib.compress(b"\0" * 64)) + chunk(b"IEND", b"")
document = mesh(3)
document["buffers"][0]["uri"] = "data:application/octet-stream;base64," + base64.b64encode(triangle).decode()
uvs = struct.pack("<6f", 0, 0, 1, 0, 0, 1)
document["buffers"].append({"byteLength": len(uvs), "uri": "data:application/octet-stream;base64," +
                            base64.b64encode(uvs).decode()})
document["bufferViews"].append({"buffer": 1, "byteLength": len(uvs)})
document["accessors"].append({"bufferView": 1, "componentType": 5126, "count": 3, "type": "VEC2"})
document["meshes"][0]["primitives"][0]["attributes"]["TEXCOORD_0"] = 1
document["meshes"][0]["primitives"][0]["material"] = 0
document["materials"] = [{"pbrMetallicRoughness": {"baseColorTexture": {"index": 0}}}]
document["textures"] = [{"source": 0}]
document["images"] = [{"uri": "data:image/png;base64," + base64.b64encode(png).decode()}]
with open(f"{out}/vast.gltf", "w") as f:
    json.dump(document, f)
