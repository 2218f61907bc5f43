#!/usr/bin/env python3
"""Writes an icon file from an icon file of bitmap images and PNG files of larger sizes, which go
in as PNG images (as Windows Vista and later read them).
    make-icon.py OUT.ico BITMAPS.ico IMAGE.png..."""
import struct
import sys


def png_size(data):
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        sys.exit("not a PNG file")
    return struct.unpack(">II", data[16:24])


def main(out, bitmaps, pngs):
    with open(bitmaps, "rb") as f:
        data = f.read()
    _, kind, count = struct.unpack("<HHH", data[:6])
    images = []  # (width, height, colours, planes, bits, data)
    for i in range(count):
        w, h, colours, _, planes, bits, size, offset = struct.unpack(
            "<BBBBHHII", data[6 + 16 * i : 22 + 16 * i])
        images.append((w, h, colours, planes, bits, data[offset : offset + size]))
    for name in pngs:
        with open(name, "rb") as f:
            png = f.read()
        w, h = png_size(png)
        images.append((w % 256, h % 256, 0, 1, 32, png))  # 0 stands for 256
    offset = 6 + 16 * len(images)
    head = struct.pack("<HHH", 0, kind, len(images))
    body = b""
    for w, h, colours, planes, bits, image in images:
        head += struct.pack("<BBBBHHII", w, h, colours, 0, planes, bits, len(image), offset)
        offset += len(image)
        body += image
    with open(out, "wb") as f:
        f.write(head + body)


if __name__ == "__main__":
    if len(sys.argv) < 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2], sys.argv[3:])
