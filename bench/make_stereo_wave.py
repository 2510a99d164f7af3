#!/usr/bin/env python3
"""Writes a 16-bit stereo PCM wave file of DATA_BYTES sample bytes for the wave benchmarks.
usage: bench/make_stereo_wave.py PATH DATA_BYTES"""
import struct
import sys

path, data_bytes = sys.argv[1], int(sys.argv[2])
channels, rate, bits = 2, 44100, 16
block = channels * bits // 8
fmt = struct.pack("<HHIIHH", 1, channels, rate, rate * block, block, bits)
header = b"RIFF" + struct.pack("<I", 4 + 8 + len(fmt) + 8 + data_bytes) + b"WAVE"
header += b"fmt " + struct.pack("<I", len(fmt)) + fmt + b"data" + struct.pack("<I", data_bytes)
# A 1 MiB stretch of varied samples, repeated: cheap to write, not all-zero pages.
stretch = bytes((i * 7919 + (i >> 9)) & 0xFF for i in range(1 << 20))
with open(path, "wb") as out:
    out.write(header)
    left = data_bytes
    while left:
        piece = stretch[: min(left, len(stretch))]
        out.write(piece)
        left -= len(piece)
