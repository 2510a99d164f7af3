#!/usr/bin/env python3
"""Prints what libXcursor loads from an X cursor file: one line per image,
"size width height xhot yhot delay pixel..." with the pixels in hex; nothing when it refuses the file."""
import ctypes
import sys


class Image(ctypes.Structure):
    _fields_ = [("version", ctypes.c_uint), ("size", ctypes.c_uint), ("width", ctypes.c_uint),
                ("height", ctypes.c_uint), ("xhot", ctypes.c_uint), ("yhot", ctypes.c_uint),
                ("delay", ctypes.c_uint), ("pixels", ctypes.POINTER(ctypes.c_uint32))]


class Images(ctypes.Structure):
    _fields_ = [("nimage", ctypes.c_int), ("images", ctypes.POINTER(ctypes.POINTER(Image))),
                ("name", ctypes.c_char_p)]


library = ctypes.CDLL("libXcursor.so.1")
library.XcursorFilenameLoadAllImages.restype = ctypes.POINTER(Images)
library.XcursorFilenameLoadAllImages.argtypes = [ctypes.c_char_p]
loaded = library.XcursorFilenameLoadAllImages(sys.argv[1].encode())
if loaded:
    for i in range(loaded.contents.nimage):
        image = loaded.contents.images[i].contents
        pixels = " ".join("%x" % image.pixels[p] for p in range(image.width * image.height))
        print(image.size, image.width, image.height, image.xhot, image.yhot, image.delay, pixels)
    library.XcursorImagesDestroy(loaded)
