"""Where wine is installed: the icon probe program, its icon, cursor and bitmap changed by delvix-cli, still runs
and loads the new ones."""
import os
import shutil
import subprocess

import test_modules

CHANGES = [
    (["set-icon", "single48.ico", "--group", "1", "--lang", "1033"], "icon 48x48 hot 24,24"),
    (["set-cursor", "new.cur", "--name", "POINTER"], "cursor 32x32 hot 2,3"),
    (["set-bitmap", "new.bmp", "--name", "1"], "bitmap 21x9"),
]


def run(scratch, cli, built_modules):
    wine = shutil.which("wine") or shutil.which("wine64")
    if not wine:
        raise test_modules.MissingPeer("wine is not installed")
    test_modules.write_inputs(scratch)
    faults = []
    environment = dict(os.environ, WINEPREFIX=os.path.join(scratch, "prefix"), WINEDEBUG="-all", DISPLAY="")
    for variant in ("pe32.exe", "pe32plus.exe"):
        program = os.path.join(built_modules(), variant)
        for i, (arguments, expected) in enumerate(CHANGES):
            verb, file, *options = arguments
            output = os.path.join(scratch, "%d-%s" % (i, variant))
            made = subprocess.run([cli, verb, program, os.path.join(scratch, file), *options, "-o", output],
                                  capture_output=True, text=True)
            if made.returncode != 0:
                faults.append("%s %s: refused: %s" % (variant, verb, made.stderr.strip()))
                continue
            ran = subprocess.run([wine, output], capture_output=True, text=True, env=environment, timeout=120)
            lines = ran.stdout.replace("\r", "").splitlines()
            if ran.returncode != 0 or expected not in lines or "shell none" in lines:
                faults.append("%s after %s: the program printed %s (exit %d), not %r" %
                              (variant, verb, lines, ran.returncode, expected))
    return faults
