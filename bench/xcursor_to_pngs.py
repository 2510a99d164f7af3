#!/usr/bin/env python3
"""Writes the images of each Xcursor file named as PNG files and an xcursorgen config (size xhot yhot file
delay, a line an image) into OUT_DIR: NAME.cfg and NAME-N.png, NAME the file's name. Read with libXcursor.

usage: xcursor_to_pngs.py OUT_DIR XCURSOR...
"""
import ctypes
import os
import struct
import sys
import zlib


class Image(ctypes.Structure):
    _fields_ = [("version", ctypes.c_uint), ("size", ctypes.c_uint), ("width", ctypes.c_uint),
                ("height", ctypes.c_uint), ("xhot", ctypes.c_uint), ("yhot", ctypes.c_uint),
                ("delay", ctypes.c_uint), ("pixels", ctypes.POINTER(ctypes.c_uint))]


class Images(ctypes.Structure):
    _fields_ = [("nimage", ctypes.c_int), ("images", ctypes.POINTER(ctypes.POINTER(Image))),
                ("name", ctypes.c_char_p)]


def png(width, height, rows):
    def chunk(kind, data):
        return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return b"\x89PNG\r\n\x1a\n" + chunk(b"IHDR", header) + chunk(b"IDAT", zlib.compress(rows)) + chunk(b"IEND", b"")


def straight_rows(image):
    rows = bytearray()
    for y in range(image.height):
        rows.append(0)
        for x in range(image.width):
            p = image.pixels[y * image.width + x]
            a, r, g, b = p >> 24, (p >> 16) & 255, (p >> 8) & 255, p & 255
            if a:
                r, g, b = (min(255, (c * 255 + a // 2) // a) for c in (r, g, b))
            rows += bytes((r, g, b, a))
    return bytes(rows)


def main():
    out = sys.argv[1]
    library = ctypes.CDLL("libXcursor.so.1")
    library.XcursorFilenameLoadAllImages.restype = ctypes.POINTER(Images)
    library.XcursorFilenameLoadAllImages.argtypes = [ctypes.c_char_p]
    for path in sys.argv[2:]:
        name = os.path.basename(path)
        images = library.XcursorFilenameLoadAllImages(path.encode())
        if not images:
            sys.exit(path + ": libXcursor loads no images")
        lines = []
        for i in range(images.contents.nimage):
            image = images.contents.images[i].contents
            file = "%s-%d.png" % (name, i)
            with open(os.path.join(out, file), "wb") as f:
                f.write(png(image.width, image.height, straight_rows(image)))
            lines.append("%d %d %d %s %d\n" % (image.size, image.xhot, image.yhot, file, image.delay))
        with open(os.path.join(out, name + ".cfg"), "w") as f:
            f.writelines(lines)


main()
