"""Builds the modules the peer tests change, with mingw-w64: the icon probe program with named and numbered icon
groups in two languages, cursors, an animated cursor, bitmaps and a string table, as PE32 (with its COFF symbol
table) and PE32+, one with an overlay, one signed by osslsigncode with a key made for the run. Also writes the
files the tests put into them."""
import os
import shutil
import subprocess

import picture_files as pf

TOOLS = os.path.dirname(os.path.abspath(__file__))


class MissingPeer(Exception):
    """A tool or input a test needs is not there: the test is skipped."""


ARCHES = {"i686": "i686-w64-mingw32", "x86_64": "x86_64-w64-mingw32"}

RESOURCES = """\
LANGUAGE 9, 1
1 ICON "main.ico"
7 ICON "second.ico"
SETUP ICON "named.ico"
POINTER CURSOR "pointer.cur"
2 CURSOR "wait.cur"
1 BITMAP "small.bmp"
2 BITMAP "odd.bmp"
BUSY ANICURSOR "busy.ani"
STRINGTABLE { 1, "module test" }
LANGUAGE 7, 1
1 ICON "german.ico"
"""

# The files built into the modules, and the ones the tests put in their place.
INPUTS = {
    "main.ico": lambda: pf.icon_file([(16, 16, 4), (32, 32, 32)], 1),
    "second.ico": lambda: pf.icon_file([(48, 48, 8)], 10),
    "named.ico": lambda: pf.icon_file([(24, 24, 32), (256, 256, "png")], 20),
    "german.ico": lambda: pf.icon_file([(32, 32, 8)], 30),
    "pointer.cur": lambda: pf.icon_file([(32, 32, 32)], 40, [(5, 7)]),
    "wait.cur": lambda: pf.icon_file([(32, 32, 1), (48, 48, 32)], 50, [(16, 16), (24, 24)]),
    "small.bmp": lambda: pf.bitmap_file(8, 8, 24, 60),
    "odd.bmp": lambda: pf.bitmap_file(13, 7, 4, 70),
    "busy.ani": lambda: pf.animated_cursor(2, 80),
    "new.ico": lambda: pf.icon_file([(16, 16, 8), (48, 48, 32), (256, 256, "png")], 100),
    "single48.ico": lambda: pf.icon_file([(48, 48, 32)], 110),
    "new.cur": lambda: pf.icon_file([(32, 32, 4), (64, 64, 32)], 120, [(2, 3), (9, 11)]),
    "new.ani": lambda: pf.animated_cursor(3, 130),
    "new.bmp": lambda: pf.bitmap_file(21, 9, 8, 140),
}

# The modules built: name -> (architecture, strip symbols, overlay bytes, signed).
VARIANTS = {
    "pe32.exe": ("i686", False, 0, False),
    "pe32plus.exe": ("x86_64", True, 0, False),
    "overlay.exe": ("x86_64", True, 5003, False),
    "signed.exe": ("i686", True, 0, True),
}


def missing_tools():
    needed = [ARCHES[a] + suffix for a in ARCHES for suffix in ("-gcc", "-windres")] + ["osslsigncode", "openssl"]
    return [tool for tool in needed if not shutil.which(tool)]


def write_inputs(folder):
    for name, make in INPUTS.items():
        with open(os.path.join(folder, name), "wb") as file:
            file.write(make())


def _run(*command, cwd):
    done = subprocess.run(command, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    if done.returncode != 0:
        raise RuntimeError(" ".join(command) + " failed: " + done.stderr)


def build(folder):
    """Writes the inputs and every variant into folder; returns {variant name: path}."""
    write_inputs(folder)
    with open(os.path.join(folder, "resources.rc"), "w") as file:
        file.write(RESOURCES)
    objects = {}
    for arch, prefix in ARCHES.items():
        objects[arch] = "resources-" + arch + ".o"
        _run(prefix + "-windres", "resources.rc", "-O", "coff", "-o", objects[arch], cwd=folder)
    _run("openssl", "req", "-x509", "-newkey", "rsa:2048", "-nodes", "-keyout", "key.pem", "-out", "cert.pem",
         "-days", "2", "-subj", "/CN=Delvix test", cwd=folder)
    built = {}
    for name, (arch, strip, overlay, signed) in VARIANTS.items():
        output = "unsigned-" + name if signed else name
        _run(ARCHES[arch] + "-gcc", "-O1", "-mconsole", *(["-s"] if strip else []),
             os.path.join(TOOLS, "icon_probe.c"), objects[arch], "-o", output, "-lshell32", "-lgdi32", "-luser32", cwd=folder)
        if overlay:
            with open(os.path.join(folder, output), "ab") as file:
                file.write(bytes((i * 7 + 3) & 0xFF for i in range(overlay)))
        if signed:
            _run("osslsigncode", "sign", "-certs", "cert.pem", "-key", "key.pem", "-in", output, "-out", name,
                 cwd=folder)
        built[name] = os.path.join(folder, name)
    return built
