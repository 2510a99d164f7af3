#!/usr/bin/env python3
"""Copies small sample files made by other programs into the fuzzers' seed folders, with a SOURCES.tsv that
says where each came from:  ./make_shared_seeds.py SAMPLES_FOLDER  (run from this folder).
Wave files keep every chunk but at most 512 bytes of "data", so the seeds stay small."""
import shutil
import struct
import sys
from pathlib import Path

CHOSEN = {
    "ico": ["ico/im-1bit.ico", "ico/im-4bit.ico", "ico/im-8bit.ico", "ico/icotool-24bit.ico",
            "ico/wrestool-shell32-14-50.ico", "ico/thg-menuabout.ico", "ico/malformed-gdkpixbuf-crash.ico",
            "ico/malformed-gdkpixbuf-invalid.1.ico", "cur/icotool-cursor.cur", "cur/wrestool-user32-12-32641.cur",
            "cur/lazarus-car.cur"],
    "ani": ["ani/synthetic-seq-rate.ani", "ani/scipy-Transparent-Busy.ani"],
    "wav": ["wav/scipy-8000Hz-le-1ch-1byte-ulaw.wav", "wav/scipy-8000Hz-be-3ch-5S-24bit.wav",
            "wav/scipy-8000Hz-le-4ch-9S-12bit.wav", "wav/scipy-8000Hz-le-3ch-5S-36bit.wav",
            "wav/truncated-scipy-44100Hz-le-1ch-4bytes-early-eof.wav", "wav/sox-gsm.wav", "wav/sox-ima-adpcm.wav",
            "wav/sox-ms-adpcm.wav", "wav/sox-alaw.wav", "wav/sox-6ch-s24-extensible.wav", "wav/ffmpeg-rf64.wav",
            "wav/wavefile-cue-labels.wav", "wav/wavefile-smpl-loop.wav", "wav/ffmpeg-bext.wav",
            "wav/sndfile-bext-info.wav", "wav/scipy-48000Hz-2ch-64bit-float-le-wavex.wav"],
    "pe": ["pe/resdemo64.dll"],
}


def shrink_wave(data):
    """The chunks of a little-endian RIFF wave with "data" cut to 512 bytes; an RF64 file cut to its first 4 KiB
    (its sizes are in "ds64"); other files as they are."""
    if data[:4] == b"RF64":
        return data[:4096]
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        return data
    out, at = b"", 12
    while at + 8 <= len(data):
        code, size = data[at:at + 4], struct.unpack("<I", data[at + 4:at + 8])[0]
        body = data[at + 8:at + 8 + size]
        if code == b"data":
            body = body[:512]
        out += code + struct.pack("<I", len(body)) + body + (b"\0" if len(body) % 2 else b"")
        at += 8 + size + size % 2
    return b"RIFF" + struct.pack("<I", 4 + len(out)) + b"WAVE" + out


def main():
    samples = Path(sys.argv[1])
    sources = {line.split("\t")[0]: line.split("\t")[3] for line in
               (samples / "MANIFEST.tsv").read_text().splitlines()[1:]}
    for folder, files in CHOSEN.items():
        lines = []
        for name in files:
            target = Path("corpus") / folder / ("sample-" + Path(name).name)
            target.write_bytes(shrink_wave((samples / name).read_bytes()))
            lines.append(f"{target.name}\t{sources[name]}\n")
        (Path("corpus") / folder / "SOURCES.tsv").write_text("".join(lines))


main()
