#!/usr/bin/env python3
"""Prints, for each Xcursor file named, how many images libXcursor loads from it (0 when it loads none)."""
import ctypes
import sys


class XcursorImages(ctypes.Structure):
    _fields_ = [("nimage", ctypes.c_int), ("images", ctypes.c_void_p), ("name", ctypes.c_char_p)]


def main():
    library = ctypes.CDLL("libXcursor.so.1")
    library.XcursorFilenameLoadAllImages.restype = ctypes.POINTER(XcursorImages)
    library.XcursorFilenameLoadAllImages.argtypes = [ctypes.c_char_p]
    library.XcursorImagesDestroy.argtypes = [ctypes.POINTER(XcursorImages)]
    for path in sys.argv[1:]:
        images = library.XcursorFilenameLoadAllImages(path.encode())
        count = images.contents.nimage if images else 0
        if images:
            library.XcursorImagesDestroy(images)
        print(path, count)


main()
