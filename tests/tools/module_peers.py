#!/usr/bin/env python3
"""Peers judge the modules delvix-cli changes: pefile, wrestool, resedit (from the npm registry) and, where it is
installed, wine running a changed program.

    module_peers.py CLI WORK_FOLDER built|signed|corpus|resedit|wine [CORPUS_FOLDER]

Exits 0 when every check holds, 1 with the faults listed, 77 when a peer or the input is missing."""
import fcntl
import functools
import hashlib
import os
import shutil
import subprocess
import sys
import tempfile

TOOLS = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, TOOLS)
sys.dont_write_bytecode = True  # the source folder stays clean

SKIP = 77

try:
    import pefile  # noqa: F401
except ImportError:
    print("pefile is not installed")
    sys.exit(SKIP)
if not shutil.which("wrestool"):
    print("wrestool (icoutils) is not installed")
    sys.exit(SKIP)

import pe_peer  # noqa: E402
import test_modules  # noqa: E402
from pe_peer import Change, Module  # noqa: E402

CLI, WORK = sys.argv[1], os.path.abspath(sys.argv[2])


def built_modules():
    """The test modules, built once per change of the tools into WORK/modules (shared by parallel tests)."""
    missing = test_modules.missing_tools()
    if missing:
        raise test_modules.MissingPeer("not installed: " + " ".join(missing))
    digest = hashlib.sha256()
    for name in ("test_modules.py", "picture_files.py", "icon_probe.c"):
        with open(os.path.join(TOOLS, name), "rb") as file:
            digest.update(file.read())
    folder = os.path.join(WORK, "modules")
    os.makedirs(WORK, exist_ok=True)
    with open(os.path.join(WORK, "modules.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        stamp = os.path.join(folder, "built-from")
        if not (os.path.exists(stamp) and open(stamp).read() == digest.hexdigest()):
            shutil.rmtree(folder, ignore_errors=True)
            os.makedirs(folder)
            test_modules.build(folder)
            with open(stamp, "w") as file:
                file.write(digest.hexdigest())
    return folder


def input_file(name):
    return test_modules.INPUTS[name]()


def run_cli(*arguments):
    return subprocess.run([CLI, *arguments], capture_output=True, text=True)


def change_of(verb, arguments):
    """The Change a command line asks for (the file operand first)."""
    options = dict(zip(arguments[1::2], arguments[2::2])) if verb != "remove-resource" else \
        dict(zip(arguments[0::2], arguments[1::2]))
    name = options.get("--group", options.get("--name"))
    if name is not None and name.isdigit():
        name = int(name)
    language = int(options["--lang"]) if "--lang" in options else None
    if verb == "remove-resource":
        return Change(options["--type"], name, language)
    file = input_file(arguments[0])
    kind = options.get("--type") or {"set-icon": "icon", "set-bitmap": "bitmap"}.get(verb)
    if not kind:
        kind = {".ico": "icon", ".cur": "cursor", ".ani": "anicursor", ".bmp": "bitmap"}[arguments[0][-4:]]
    return Change(kind, name, language, file)


@functools.lru_cache(maxsize=4)
def parsed(module):
    return Module(module)


def judge(module, output, verb, arguments, stripped=False):
    """Runs one change and returns its faults, each naming the module and the command line."""
    inputs = os.path.dirname(output)
    with_paths = list(arguments)
    if verb != "remove-resource":
        with_paths[0] = os.path.join(inputs, arguments[0])
    ran = run_cli(verb, module, *with_paths, "-o", output, *(["--strip-signature"] if stripped else []))
    what = "%s %s %s: " % (verb, os.path.basename(module), " ".join(arguments))
    if ran.returncode != 0:
        return [what + "refused: " + ran.stderr.strip()]
    before, after = parsed(module), Module(output)
    change = change_of(verb, arguments)
    faults = pe_peer.check_change(before, after, change) + pe_peer.check_module(before, after, stripped)
    faults += pe_peer.check_wrestool(module, output, before, after, change)
    return [what + fault for fault in faults]


# Changes made to every built module: the first group (the named SETUP), groups by number and language, cursors,
# an animated cursor, bitmaps, additions and removals.
BUILT_CHANGES = [
    ("set-icon", ["new.ico"]),
    ("set-icon", ["new.ico", "--group", "1", "--lang", "1031"]),
    ("set-icon", ["single48.ico", "--group", "7"]),
    ("set-cursor", ["new.cur", "--name", "POINTER"]),
    ("set-cursor", ["new.ani", "--name", "BUSY"]),
    ("set-bitmap", ["new.bmp", "--name", "2"]),
    ("add-resource", ["new.ico", "--name", "EXTRA"]),
    ("add-resource", ["new.cur", "--name", "40", "--lang", "1031"]),
    ("add-resource", ["new.ani", "--type", "aniicon", "--name", "5"]),
    ("add-resource", ["new.bmp", "--name", "9"]),
    ("remove-resource", ["--type", "icon", "--name", "SETUP"]),
    ("remove-resource", ["--type", "cursor", "--name", "2"]),
    ("remove-resource", ["--type", "bitmap", "--name", "1"]),
    ("remove-resource", ["--type", "anicursor", "--name", "BUSY"]),
    ("remove-resource", ["--type", "icon", "--name", "1"]),
    ("remove-resource", ["--type", "icon", "--name", "1", "--lang", "1031"]),
]


def built(scratch):
    folder = built_modules()
    test_modules.write_inputs(scratch)
    faults = []
    for variant in ("pe32.exe", "pe32plus.exe", "overlay.exe"):
        for i, (verb, arguments) in enumerate(BUILT_CHANGES):
            output = os.path.join(scratch, "%d-%s" % (i, variant))
            faults += judge(os.path.join(folder, variant), output, verb, arguments)
    # The output may be the module itself: it is replaced by the safe save.
    in_place = os.path.join(scratch, "in-place.exe")
    shutil.copy(os.path.join(folder, "pe32plus.exe"), in_place)
    ran = run_cli("set-icon", in_place, os.path.join(scratch, "new.ico"), "-o", in_place)
    if ran.returncode != 0:
        faults.append("set-icon in place refused: " + ran.stderr.strip())
    else:
        before, after = Module(os.path.join(folder, "pe32plus.exe")), Module(in_place)
        faults += ["set-icon in place: " + f for f in pe_peer.check_change(before, after,
                                                                           Change("icon", file=input_file("new.ico")))]
    return faults


def signed(scratch):
    folder = built_modules()
    test_modules.write_inputs(scratch)
    module = os.path.join(folder, "signed.exe")
    output = os.path.join(scratch, "out.exe")
    faults = []
    refused = run_cli("set-icon", module, os.path.join(scratch, "new.ico"), "-o", output)
    if refused.returncode == 0 or os.path.exists(output):
        faults.append("a signed module is changed without --strip-signature")
    elif "sign" not in refused.stderr:
        faults.append("the refusal of a signed module does not name the signature: " + refused.stderr.strip())
    faults += judge(module, output, "set-icon", ["new.ico", "--group", "1"], stripped=True)
    stripped = run_cli("set-icon", module, os.path.join(scratch, "new.ico"), "-o", output, "--strip-signature")
    if "signature" not in stripped.stdout + stripped.stderr:
        faults.append("stripping the signature is not told: " + stripped.stdout.strip())
    # The changed module can be signed again, and the new signature holds.
    signed_again = os.path.join(scratch, "signed-again.exe")
    for command in (["sign", "-certs", "cert.pem", "-key", "key.pem", "-in", output, "-out", signed_again],
                    ["verify", "-CAfile", "cert.pem", signed_again]):
        done = subprocess.run(["osslsigncode", *command], cwd=folder, capture_output=True, text=True)
        if done.returncode != 0:
            faults.append("osslsigncode %s of the changed module fails: %s" % (command[0], done.stdout + done.stderr))
            break
    return faults


def corpus_modules(corpus):
    folder = os.path.join(corpus, "pe")
    if not os.path.isdir(folder):
        raise test_modules.MissingPeer("the sample corpus is not there")
    return [os.path.join(folder, name) for name in sorted(os.listdir(folder))]


def corpus(scratch, corpus_folder):
    test_modules.write_inputs(scratch)
    faults = []
    for module in corpus_modules(corpus_folder):
        names = Module(module).names_of
        changes = [("set-icon", ["new.ico"]), ("add-resource", ["new.cur", "--name", "CORPUS"])]
        if names(pe_peer.RT_BITMAP):
            changes.append(("set-bitmap", ["new.bmp", "--name", str(names(pe_peer.RT_BITMAP)[-1])]))
        if names(pe_peer.RT_GROUP_ICON):
            changes.append(("remove-resource", ["--type", "icon", "--name", str(names(pe_peer.RT_GROUP_ICON)[-1])]))
        for i, (verb, arguments) in enumerate(changes):
            faults += judge(module, os.path.join(scratch, "%d-%s" % (i, os.path.basename(module))), verb, arguments)
    return faults


def main():
    task = sys.argv[3]
    with tempfile.TemporaryDirectory(dir=WORK if os.path.isdir(WORK) else None) as scratch:
        try:
            if task == "built":
                faults = built(scratch)
            elif task == "signed":
                faults = signed(scratch)
            elif task == "corpus":
                faults = corpus(scratch, sys.argv[4])
            elif task == "resedit":
                import resedit_peer
                faults = resedit_peer.compare(scratch, sys.argv[4], CLI, WORK, built_modules)
            elif task == "wine":
                import wine_peer
                faults = wine_peer.run(scratch, CLI, built_modules)
            else:
                raise SystemExit("unknown task " + task)
        except test_modules.MissingPeer as reason:
            print("skipped:", reason)
            return SKIP
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
