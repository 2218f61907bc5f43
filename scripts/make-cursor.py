#!/usr/bin/env python3
"""Writes the link label's hand cursor (a 32 x 32 monochrome .cur file with its hot spot on the
fingertip). The picture below is the cursor: X black, o white, . transparent."""
import struct
import sys

HAND = """
.....XX.........................
....XooX........................
....XooX........................
....XooX........................
....XooX........................
....XooXXX......................
....XooXooXXX...................
....XooXooXooXX.................
....XooXooXooXoX................
XXX.XooXooXooXoX................
XooXXoooooooooXX................
XoooXoooooooooXX................
.XooXooooooooooX................
..XoooooooooooX.................
..XoooooooooooX.................
...XooooooooooX.................
...XoooooooooX..................
....XooooooooX..................
....XooooooooX..................
.....XoooooooX..................
.....XXXXXXXXX..................
"""

SIZE = 32
HOT_SPOT = (5, 0)


def rows():
    lines = [line for line in HAND.strip("\n").split("\n")]
    lines += ["." * SIZE] * (SIZE - len(lines))
    for line in lines:
        if len(line) != SIZE:
            sys.exit(f"cursor row of {len(line)} pixels: {line}")
    return lines


def mask(lines, bit_of):
    """Bottom-up rows of 1-bit pixels, 4 bytes a row."""
    data = bytearray()
    for line in reversed(lines):
        value = 0
        for pixel in line:
            value = (value << 1) | bit_of(pixel)
        data += value.to_bytes(SIZE // 8, "big")
    return bytes(data)


def main(path):
    lines = rows()
    xor_mask = mask(lines, lambda p: 1 if p == "o" else 0)  # colour index: 0 black, 1 white
    and_mask = mask(lines, lambda p: 1 if p == "." else 0)  # 1 keeps the screen
    header = struct.pack("<IiiHHIIiiII", 40, SIZE, SIZE * 2, 1, 1, 0,
                         len(xor_mask) + len(and_mask), 0, 0, 2, 0)
    palette = bytes([0, 0, 0, 0, 255, 255, 255, 0])
    image = header + palette + xor_mask + and_mask
    directory = struct.pack("<HHH", 0, 2, 1)
    entry = struct.pack("<BBBBHHII", SIZE, SIZE, 2, 0, HOT_SPOT[0], HOT_SPOT[1], len(image),
                        len(directory) + 16)
    with open(path, "wb") as out:
        out.write(directory + entry + image)


if __name__ == "__main__":
    main(sys.argv[1])
