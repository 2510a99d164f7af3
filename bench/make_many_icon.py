#!/usr/bin/env python3
"""Writes an icon file of many small pictures, each with its own bytes: 1-bit 1 x 1 pictures, with every
hundredth a 4-bit 16 x 16 one, so that the file is about 74 bytes a picture.

usage: make_many_icon.py OUT [COUNT]   (COUNT at most 65535, 60000 by default)
"""
import struct
import sys


def picture(number):
    if number % 100 == 99:
        side, bits = 16, 4
        palette = b"".join(struct.pack("<BBBB", (i * 16 + number) & 255, i * 16, 255 - i * 16, 0) for i in range(16))
        colour = bytes(((x + y + number) % 16) << 4 | ((x + y + number + 1) % 16) for y in range(16) for x in range(8))
        mask = b"\x00\x00\x00\x00" * 16
    else:
        side, bits = 1, 1
        palette = struct.pack("<BBBBBBBB", 0, 0, 0, 0, number & 255, (number >> 8) & 255, 128, 0)
        colour = b"\x80\x00\x00\x00"
        mask = b"\x00\x00\x00\x00"
    header = struct.pack("<IiiHHIIiiII", 40, side, 2 * side, 1, bits, 0, len(colour) + len(mask), 0, 0, 0, 0)
    return side, bits, header + palette + colour + mask


def main():
    out = sys.argv[1]
    count = int(sys.argv[2]) if len(sys.argv) > 2 else 60000
    if not 0 < count <= 0xFFFF:
        sys.exit("COUNT must be from 1 to 65535")
    pictures = [picture(n) for n in range(count)]
    offset = 6 + 16 * count
    directory, data = [], []
    for side, bits, record in pictures:
        directory.append(struct.pack("<BBBBHHII", side, side, 16 if bits == 4 else 2, 0, 1, bits, len(record), offset))
        data.append(record)
        offset += len(record)
    with open(out, "wb") as f:
        f.write(struct.pack("<HHH", 0, 1, count) + b"".join(directory) + b"".join(data))


if __name__ == "__main__":
    main()
