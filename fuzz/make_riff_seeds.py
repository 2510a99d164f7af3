#!/usr/bin/env python3
"""Writes the small seed files of the animated-cursor and wave fuzzers into corpus/ani and corpus/wav
(run from this folder)."""
import struct
from pathlib import Path


def chunk(code, data, declared=None):
    size = len(data) if declared is None else declared
    return code.ljust(4).encode() + struct.pack("<I", size) + data + (b"\x00" if len(data) % 2 else b"")


def form(kind, *chunks):
    body = kind.encode() + b"".join(chunks)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def lst(kind, *chunks):
    return chunk("LIST", kind.encode() + b"".join(chunks))


def icon(width, bits, images=1):
    stride = (width * bits + 31) // 32 * 4
    mask_stride = (width + 31) // 32 * 4
    palette = bytes((i * 29) % 256 for i in range(4 << bits)) if bits <= 8 else b""
    record = (struct.pack("<IiiHHIIiiII", 40, width, width * 2, 1, bits, 0, 0, 0, 0, 0, 0) + palette +
              bytes((i * 7) % 256 for i in range(stride * width)) + bytes(0x0F for _ in range(mask_stride * width)))
    directory = b""
    offset = 6 + 16 * images
    for _ in range(images):
        directory += struct.pack("<BBBBHHII", width, width, 0, 0, 1, 1, len(record), offset)
        offset += len(record)
    return chunk("icon", struct.pack("<HHH", 0, 2, images) + directory + record * images)


def anih(frames, steps, flags):
    return chunk("anih", struct.pack("<9I", 36, frames, steps, 0, 0, 0, 0, 10, flags))


def fmt(tag, channels, rate, bits, extra=b""):
    align = channels * bits // 8
    return chunk("fmt ", struct.pack("<HHIIHH", tag, channels, rate, rate * align, align, bits) + extra)


def info(*items):
    return lst("INFO", *(chunk(code, text.encode() + b"\x00") for code, text in items))


ani = Path("corpus/ani")
ani.mkdir(parents=True, exist_ok=True)
(ani / "two-frames.ani").write_bytes(form("ACON", info(("INAM", "spin"), ("IART", "me")), anih(2, 3, 3),
                                          chunk("rate", struct.pack("<2I", 5, 6)),
                                          chunk("seq ", struct.pack("<3I", 0, 1, 0)),
                                          lst("fram", icon(16, 4), icon(16, 1))))
(ani / "multi-image-frame.ani").write_bytes(form("ACON", anih(1, 1, 1), lst("fram", icon(8, 8, images=2))))
(ani / "true-colour.ani").write_bytes(form("ACON", lst("fram", icon(8, 32)), anih(1, 1, 1), chunk("JUNK", b"\x00")))

wav = Path("corpus/wav")
wav.mkdir(parents=True, exist_ok=True)
(wav / "pcm16-stereo.wav").write_bytes(form("WAVE", fmt(1, 2, 8000, 16),
                                            chunk("data", bytes((i * 37) % 256 for i in range(64))),
                                            info(("ISFT", "seed"))))
(wav / "pcm8-mono.wav").write_bytes(form("WAVE", chunk("data", bytes(range(0, 256, 8))), fmt(1, 1, 8000, 8)))
(wav / "adpcm-fact.wav").write_bytes(form("WAVE", fmt(0x11, 1, 11025, 4, struct.pack("<HH", 2, 505)),
                                          chunk("fact", struct.pack("<I", 40)), chunk("data", bytes(20)),
                                          chunk("bext", b"abc")))
(wav / "streaming.wav").write_bytes(form("WAVE", fmt(1, 1, 8000, 16), chunk("data", bytes(16), 0xFFFFFFFF)))
rf64_body = b"WAVE" + chunk("ds64", struct.pack("<QQQ", 0, 16, 8)) + fmt(1, 1, 8000, 16) + \
    chunk("data", bytes(range(16)), 0xFFFFFFFF)
rf64 = bytearray(b"RF64" + struct.pack("<I", 0xFFFFFFFF) + rf64_body)
struct.pack_into("<Q", rf64, 20, len(rf64) - 8)
(wav / "rf64.wav").write_bytes(bytes(rf64))


def be_chunk(code, data):
    return code.ljust(4).encode() + struct.pack(">I", len(data)) + data + (b"\x00" if len(data) % 2 else b"")


# A big-endian RIFX file: every size and number high byte first, the 16-bit samples too.
rifx_body = (b"WAVE" + be_chunk("fmt ", struct.pack(">HHIIHH", 1, 2, 8000, 32000, 4, 16)) +
             be_chunk("fact", struct.pack(">I", 8)) + be_chunk("data", struct.pack(">16h", *range(-8, 8))) +
             be_chunk("LIST", b"INFO" + be_chunk("INAM", b"seed\x00")))
(wav / "rifx.wav").write_bytes(b"RIFX" + struct.pack(">I", len(rifx_body)) + rifx_body)
