"""resedit (npm) makes the same changes as delvix-cli; pefile must read the same resource tree from both modules.
Picture ids may differ (resedit picks the lowest id free in the group's language): groups are compared by the
bytes of the pictures they name."""
import fcntl
import hashlib
import os
import shutil
import subprocess

import pe_peer
import test_modules
from pe_peer import Module

SCRIPT = os.path.join(os.path.dirname(os.path.abspath(__file__)), "resedit_change.mjs")
VERSION = "3.1.0"


def installed(work):
    """resedit installed with npm into work/resedit once; None when npm or the registry cannot be reached."""
    if not shutil.which("node") or not shutil.which("npm"):
        raise test_modules.MissingPeer("node or npm is not installed")
    folder = os.path.join(work, "resedit")
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(work, "resedit.lock"), "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(folder, "node_modules", "resedit", "dist", "index.js")):
            done = subprocess.run(["npm", "install", "--prefix", folder, "--no-audit", "--no-fund", "--no-save",
                                   "resedit@" + VERSION], capture_output=True, text=True, timeout=120)
            if done.returncode != 0:
                raise test_modules.MissingPeer("npm cannot install resedit: " + done.stderr.strip()[-300:])
    return folder


def canonical(module):
    """The tree with each group's entries and their pictures' bytes in place of the pictures' ids."""
    found, named = {}, set()
    for key, data in module.tree.items():
        picture_kind = pe_peer.PICTURE_TYPE.get(key[0])
        if picture_kind:
            pictures = []
            for entry in pe_peer.group_entries(data, key[0] == pe_peer.RT_GROUP_CURSOR):
                picture = (picture_kind, entry[6], key[2])
                named.add(picture)
                pictures.append((entry[:6], hashlib.sha256(module.tree.get(picture, b"missing")).hexdigest()))
            found[key] = pictures
    for key, data in module.tree.items():
        if key not in found and key not in named:
            found[key] = hashlib.sha256(data).hexdigest()
    return found


def cases(modules):
    """(module, resedit operation, name, language, file, delvix-cli arguments) for each change compared."""
    for module in modules:
        tree = Module(module)
        for kind, what, verb, option, file in ((pe_peer.RT_GROUP_ICON, "icon", "set-icon", "--group", "new.ico"),
                                               (pe_peer.RT_BITMAP, "bitmap", "set-bitmap", "--name", "new.bmp")):
            for name in tree.names_of(kind)[:1]:
                language = min(l for (k, n, l) in tree.tree if k == kind and n == name)
                yield module, what, name, language, file, [verb, module, file, option, str(name), "--lang",
                                                           str(language)]
        yield module, "icon", "ADDED", 0, "new.ico", ["add-resource", module, "new.ico", "--name", "ADDED"]


def compare(scratch, corpus_folder, cli, work, built_modules):
    folder = installed(work)
    modules = []
    try:
        modules = [os.path.join(built_modules(), name) for name in ("pe32.exe", "pe32plus.exe", "overlay.exe")]
    except test_modules.MissingPeer as reason:
        print("the test modules are not built:", reason)
    corpus = os.path.join(corpus_folder, "pe")
    if os.path.isdir(corpus):
        modules += [os.path.join(corpus, name) for name in sorted(os.listdir(corpus))]
    if not modules:
        raise test_modules.MissingPeer("neither test modules nor the corpus")
    test_modules.write_inputs(scratch)
    faults = []
    for i, (module, what, name, language, file, arguments) in enumerate(cases(modules)):
        ours, theirs = os.path.join(scratch, "%d-ours" % i), os.path.join(scratch, "%d-resedit" % i)
        arguments = [os.path.join(scratch, a) if a == file else a for a in arguments]
        what_case = "%s %s %s: " % (arguments[0], os.path.basename(module), " ".join(arguments[3:]))
        made = subprocess.run(["node", SCRIPT, folder, module, theirs, what, str(name), str(language),
                               os.path.join(scratch, file)], capture_output=True, text=True)
        if made.returncode != 0:
            errors = [line for line in made.stderr.splitlines() if line.startswith("Error")] or ["no reason"]
            print(what_case + "resedit cannot make it (not compared): " + errors[0])
            continue
        ran = subprocess.run([cli, *arguments, "-o", ours], capture_output=True, text=True)
        if ran.returncode != 0:
            faults.append(what_case + "refused: " + ran.stderr.strip())
            continue
        mine, other = canonical(Module(ours)), canonical(Module(theirs))
        for key in sorted(set(mine) | set(other), key=str):
            if mine.get(key) != other.get(key):
                faults.append(what_case + "%s is %s, resedit's %s" % (key, mine.get(key, "missing"),
                                                                     other.get(key, "missing")))
    return faults
