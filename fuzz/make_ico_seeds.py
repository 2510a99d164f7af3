#!/usr/bin/env python3
"""Writes the small seed files of the icon fuzzer into corpus/ico (run from this folder)."""
import struct
import zlib
from pathlib import Path


def dib(width, height, bits, palette_entries=None):
    stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, bits, 0, 0, 0, 0, 0, 0)
    palette = b""
    if bits <= 8:
        entries = palette_entries or [(i * 37 % 256, i * 91 % 256, i * 13 % 256) for i in range(1 << bits)]
        palette = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in entries)
    colour = bytes((i * 7) % 256 for i in range(stride * height))
    mask = bytes(0x0F if i % 2 else 0xF0 for i in range(mask_stride * height))
    return header + palette + colour + mask


def png(width, height):
    rows = []
    for y in range(height):
        row = bytearray(b"\x00")
        for x in range(width):
            row += bytes(((x * 40) % 256, (y * 40) % 256, 200, 255 if x else 0))
        rows.append(bytes(row))
    raw = b"".join(rows)

    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    ihdr = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", ihdr) + chunk(b"IDAT", zlib.compress(raw)) + chunk(b"IEND", b"")


def icon_file(kind, records, hot=(1, 32)):
    out = struct.pack("<HHH", 0, kind, len(records))
    offset = 6 + 16 * len(records)
    for width, height, record in records:
        out += struct.pack("<BBBBHHII", width % 256, height % 256, 0, 0, hot[0], hot[1], len(record), offset)
        offset += len(record)
    return out + b"".join(r for _, _, r in records)


def full_directory(claimed, entries, record):
    """A directory that claims `claimed` images and holds `entries`, all pointing at one image after it."""
    out = struct.pack("<HHH", 0, 1, claimed)
    offset = 6 + 16 * entries
    out += struct.pack("<BBBBHHII", 1, 1, 2, 0, 1, 1, len(record), offset) * entries
    return out + record


seeds = {
    "one-bit-16.ico": icon_file(1, [(16, 16, dib(16, 16, 1))]),
    "four-and-eight-bit.ico": icon_file(1, [(8, 8, dib(8, 8, 4)), (4, 4, dib(4, 4, 8))]),
    "true-colour.ico": icon_file(1, [(3, 2, dib(3, 2, 24)), (2, 2, dib(2, 2, 32))]),
    "png-image.ico": icon_file(1, [(4, 4, png(4, 4))]),
    "cursor.cur": icon_file(2, [(8, 8, dib(8, 8, 1))], hot=(3, 4)),
    # A directory that claims 65 535 entries and holds 40, all sharing one image.
    "full-directory.ico": full_directory(65535, 40, dib(1, 1, 1)),
}
target = Path("corpus/ico")
target.mkdir(parents=True, exist_ok=True)
for name, data in seeds.items():
    (target / name).write_bytes(data)
