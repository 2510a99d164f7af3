"""Where wine is installed: the icon probe program, its icon, cursor and bitmap changed by delvix-cli, still runs
and loads the new ones. A build the installed wine cannot run (a PE32 program under a 64-bit-only wine) is left
out: the unchanged program must run first."""
import os
import shutil
import subprocess

import test_modules

# Each change, and what the probe may print for it (which size of a cursor it loads is wine's choice).
CHANGES = [
    # Removing the largest group shrinks the resource section in place: the sections after it move.
    (["remove-resource", "--type", "icon", "--name", "SETUP"], set()),
    (["set-icon", "single48.ico", "--group", "1", "--lang", "1033"], {"icon 48x48 hot 24,24"}),
    (["set-cursor", "new.cur", "--name", "POINTER"], {"cursor 32x32 hot 2,3", "cursor 64x64 hot 9,11"}),
    (["set-bitmap", "new.bmp", "--name", "1"], {"bitmap 21x9"}),
]


def run(scratch, cli, built_modules):
    wine = shutil.which("wine") or shutil.which("wine64")
    if not wine:
        raise test_modules.MissingPeer("wine is not installed")
    test_modules.write_inputs(scratch)
    # The prefix is made once (it takes wine a while) beside the built modules.
    environment = dict(os.environ, WINEPREFIX=os.path.join(os.path.dirname(scratch), "wine-prefix"),
                       WINEDEBUG="-all", WINEDLLOVERRIDES="mscoree,mshtml=")
    environment.pop("DISPLAY", None)

    # A server kept for a few seconds between runs saves starting it for each.
    subprocess.run(["wineserver", "-p5"], env=environment, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)

    def probe(program):
        ran = subprocess.run([wine, program], capture_output=True, text=True, env=environment, timeout=180)
        return ran.returncode, ran.stdout.replace("\r", "").splitlines()

    faults, ran_any = [], False
    for variant in ("pe32.exe", "pe32plus.exe"):
        program = os.path.join(built_modules(), variant)
        status, lines = probe(program)
        if status != 0 or not any(line.startswith("icon ") for line in lines):
            print("%s does not run under this wine (left out): exit %d, %s" % (variant, status, lines))
            continue
        ran_any = True
        # The changes are made one after the other on one copy, each written over the last (a wine run is slow).
        output = os.path.join(scratch, variant)
        shutil.copy(program, output)
        for arguments, _ in CHANGES:
            verb, *options = arguments
            if verb != "remove-resource":
                options[0] = os.path.join(scratch, options[0])
            made = subprocess.run([cli, verb, output, *options, "-o", output], capture_output=True, text=True)
            if made.returncode != 0:
                faults.append("%s %s: refused: %s" % (variant, verb, made.stderr.strip()))
        status, changed = probe(output)
        for arguments, expected in CHANGES:
            if status != 0 or (expected and not expected & set(changed)) or "shell none" in changed:
                faults.append("%s after %s: the program printed %s (exit %d), not %s" %
                              (variant, arguments[0], changed, status, " or ".join(sorted(expected)) or "it"))
    if not ran_any:
        raise test_modules.MissingPeer("wine runs none of the test programs")
    return faults
