"""What pefile and icoutils read from a module before and after one resource change, and the faults found in the
change: resources other than the changed ones differ, a group's pictures are not the file's, new pefile warnings,
a checksum that no longer holds, overlay bytes or file offsets into them that moved wrongly."""
import re
import struct
import subprocess
from dataclasses import dataclass

import pefile

import picture_files as pf

RT_CURSOR, RT_BITMAP, RT_ICON, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_ANICURSOR, RT_ANIICON = 1, 2, 3, 12, 14, 21, 22
TYPE_OF_KIND = {"icon": RT_GROUP_ICON, "cursor": RT_GROUP_CURSOR, "anicursor": RT_ANICURSOR,
                "aniicon": RT_ANIICON, "bitmap": RT_BITMAP}
PICTURE_TYPE = {RT_GROUP_ICON: RT_ICON, RT_GROUP_CURSOR: RT_CURSOR}
SECURITY = pefile.DIRECTORY_ENTRY["IMAGE_DIRECTORY_ENTRY_SECURITY"]


def _key(entry):
    return str(entry.name) if entry.name is not None else entry.id


def _order(key):
    """The order of a resource directory: named entries first, by name, then numbers ascending."""
    return (1, key, "") if isinstance(key, int) else (0, 0, key.upper())


class Module:
    """A module as pefile reads it: its resources {(type, name, language): bytes} in the file's directory order."""

    def __init__(self, path):
        with open(path, "rb") as file:
            self.data = file.read()
        self.pe = pefile.PE(data=self.data)
        self.tree = {}
        for kind in getattr(self.pe, "DIRECTORY_ENTRY_RESOURCE", None) and self.pe.DIRECTORY_ENTRY_RESOURCE.entries or []:
            for name in kind.directory.entries:
                for language in name.directory.entries:
                    datum = language.data.struct
                    self.tree[(_key(kind), _key(name), language.id)] = self.pe.get_data(datum.OffsetToData, datum.Size)
        # Offsets and a byte's share of the file move with any change; the kind of warning and the byte do not.
        self.warnings = {re.sub(r"0x[0-9a-fA-F]{3,}|\d+\.\d+%", "#", w) for w in self.pe.get_warnings()}
        start = self.pe.get_overlay_data_start_offset()
        self.overlay_start = len(self.data) if start is None else start
        self.certificate = self.pe.OPTIONAL_HEADER.DATA_DIRECTORY[SECURITY]

    def overlay(self, without_certificate=False):
        tail = self.data[self.overlay_start:]
        where, size = self.certificate.VirtualAddress, self.certificate.Size
        if without_certificate and size and where >= self.overlay_start:
            where -= self.overlay_start
            tail = tail[:where] + tail[where + size:]
        return tail

    def offsets_into_overlay(self):
        """File offsets the headers keep into the overlay (COFF symbols, debug data), from the overlay's start."""
        found = {}
        symbols = self.pe.FILE_HEADER.PointerToSymbolTable
        if symbols >= self.overlay_start:
            found["COFF symbol table"] = symbols - self.overlay_start
        for i, debug in enumerate(getattr(self.pe, "DIRECTORY_ENTRY_DEBUG", [])):
            raw = debug.struct.PointerToRawData
            if raw >= self.overlay_start and debug.struct.AddressOfRawData == 0:
                found["debug entry %d" % i] = raw - self.overlay_start
        return found

    def names_of(self, kind):
        return sorted({name for (k, name, _) in self.tree if k == kind}, key=_order)


@dataclass
class Change:
    """One change as the command line is asked for it: kind, the group or resource (None: the first one, or 1
    when there is none), language (None: the one it has, or neutral), the file's bytes (None: removal)."""
    kind: str
    name: object = None
    language: int = None
    file: bytes = None


def group_entries(data, cursor):
    """A group's entries as (width, height, colours, planes, bit count, bytes, id); a cursor's height as stored."""
    _, _, count = struct.unpack_from("<HHH", data)
    entries = []
    for i in range(count):
        if cursor:
            width, height, planes, bits, size, ident = struct.unpack_from("<HHHHIH", data, 6 + 14 * i)
            entries.append((width, height, 0, planes, bits, size, ident))
        else:
            width, height, colours, _, planes, bits, size, ident = struct.unpack_from("<BBBBHHIH", data, 6 + 14 * i)
            entries.append((width, height, colours, planes, bits, size, ident))
    return entries


def _bitmap_depth(image):
    if image.startswith(b"\x89PNG"):
        return 1, 32
    return struct.unpack_from("<HH", image, 12)


def target_of(before, change):
    kind = TYPE_OF_KIND[change.kind]
    names = before.names_of(kind)
    name = change.name if change.name is not None else (names[0] if names else 1)
    languages = sorted(l for (k, n, l) in before.tree if k == kind and n == name)
    language = change.language if change.language is not None else (languages[0] if languages else 0)
    return kind, name, language


def expected_group(change, kind):
    """The group entries the file gives, ids left out, and each picture's resource bytes."""
    _, pictures = pf.pictures_of(change.file)
    entries, data = [], []
    for (width, height, colours, _, second, third, size, _), image in pictures:
        if kind == RT_GROUP_CURSOR:
            planes, bits = _bitmap_depth(image)
            entries.append((width or 256, (height or 256) * 2, 0, (planes, bits), size + 4))
            data.append(struct.pack("<HH", second, third) + image)
        else:
            entries.append((width, height, colours, (second, third), size))
            data.append(image)
    return entries, data


def check_change(before, after, change):
    """The faults of after as before with change made."""
    faults = []
    kind, name, language = target_of(before, change)
    target = (kind, name, language)
    # A removal without a language removes the resource in every language.
    gone = {key for key in before.tree if key[:2] == (kind, name)} if change.file is None and \
        change.language is None else {target} & set(before.tree)
    expected = dict(before.tree)
    picture_kind = PICTURE_TYPE.get(kind)
    if picture_kind:
        def referenced(group_key):
            return {(picture_kind, e[6], group_key[2]) for e in group_entries(before.tree[group_key],
                                                                                kind == RT_GROUP_CURSOR)}
        others, old = set(), set()
        for key in before.tree:
            if key[0] == kind:
                if key in gone:
                    old |= referenced(key)
                else:
                    others |= referenced(key)
        for picture in old - others:
            expected.pop(picture, None)
    for key in gone:
        expected.pop(key)
    if change.file is not None and picture_kind:
        if target not in after.tree:
            return faults + ["%s is missing" % (target,)]
        cursor = kind == RT_GROUP_CURSOR
        got = group_entries(after.tree[target], cursor)
        want, pictures = expected_group(change, kind)
        if len(got) != len(want):
            faults.append("%s has %d entries, the file %d pictures" % (target, len(got), len(want)))
        used = {n for (k, n, _) in expected if k == picture_kind}
        free = [i for i in range(1, 65536) if i not in used][:len(got)]
        used_before = {n for (k, n, _) in before.tree if k == picture_kind}
        free_before = [i for i in range(1, 65536) if i not in used_before][:len(got)]
        ids = [e[6] for e in got]
        if ids != free and ids != free_before:
            faults.append("%s picture ids %s are not the lowest free ones %s" % (target, ids, free))
        for i, (entry, (width, height, colours, depths, size), picture) in enumerate(zip(got, want, pictures)):
            planes_bits = (entry[3], entry[4])
            # windres writes 1 plane and 1 bit for every cursor; the picture's own depth is right as well.
            depth_ok = planes_bits == depths or (cursor and planes_bits == (1, 1))
            if entry[:3] != (width, height, colours) or entry[5] != size or not depth_ok:
                faults.append("%s entry %d is %s, the file's picture %s" %
                              (target, i, entry[:6], (width, height, colours, depths, size)))
            key = (picture_kind, entry[6], language)
            if key in expected:
                faults.append("%s entry %d uses id %d, which another picture has" % (target, i, entry[6]))
            expected[key] = picture
        expected[target] = after.tree[target]
    elif change.file is not None:
        expected[target] = change.file[14:] if kind == RT_BITMAP else change.file
    for key in sorted(set(expected) | set(after.tree), key=str):
        if key not in after.tree:
            faults.append("%s is missing" % (key,))
        elif key not in expected:
            faults.append("%s should not be there" % (key,))
        elif expected[key] != after.tree[key]:
            faults.append("%s holds %d other bytes than it should (%d)" % (key, len(after.tree[key]),
                                                                           len(expected[key])))
    return faults


def unsorted_directories(module):
    """The resource directories whose entries are not in the loader's order (it searches them by halves): named
    entries first, counted as such, in the order of their UTF-16 code units, then numbers ascending."""
    faults = []

    def walk(directory, where):
        entries = directory.entries
        named = [e for e in entries if e.name is not None]
        keys = [(0, str(e.name).encode("utf-16-be")) if e.name is not None else (1, e.id) for e in entries]
        if keys != sorted(keys) or len(set(keys)) != len(keys) or \
                directory.struct.NumberOfNamedEntries != len(named):
            faults.append("the directory of %s is not in the loader's order: %s" % (where or "types", keys))
        for entry in entries:
            if hasattr(entry, "directory"):
                walk(entry.directory, where + (_key(entry),))

    if hasattr(module.pe, "DIRECTORY_ENTRY_RESOURCE"):
        walk(module.pe.DIRECTORY_ENTRY_RESOURCE, ())
    return faults


def check_module(before, after, stripped=False):
    """Faults of the rewritten module as a whole: warnings, checksum, overlay, offsets into the overlay, the
    order of its resource directories."""
    faults = []
    for warning in sorted(after.warnings - before.warnings):
        # pefile warns when one byte is most of a file: a fault when the writer added them (padding), not when
        # a removal left less of the rest.
        byte = re.match(r"Byte (0x[0-9a-fA-F]{2}) makes up", warning)
        if byte and after.data.count(int(byte.group(1), 16)) <= before.data.count(int(byte.group(1), 16)):
            continue
        faults.append("new pefile warning: " + warning)
    faults += unsorted_directories(after)
    if before.pe.OPTIONAL_HEADER.CheckSum and not after.pe.verify_checksum():
        faults.append("the checksum does not hold")
    if after.overlay() != before.overlay(without_certificate=stripped):
        faults.append("the overlay changed (%d bytes, was %d)" % (len(after.overlay()), len(before.overlay())))
    if after.offsets_into_overlay() != before.offsets_into_overlay():
        faults.append("offsets into the overlay are %s, were %s" % (after.offsets_into_overlay(),
                                                                   before.offsets_into_overlay()))
    if stripped and after.certificate.Size:
        faults.append("the certificate table is still there")
    return faults


def wrestool_listing(path):
    """What wrestool -l lists: {(type, name, language): [what it says, the offset left out]}. It names a named
    resource of a named type by its type's name, so keys of named types may stand for several resources."""
    listing = {}
    for line in subprocess.run(["wrestool", "-l", path], capture_output=True, text=True).stdout.splitlines():
        found = re.match(r"--type=('[^']*'|\d+) --name=('[^']*'|\d+) --language=(\d+) \[(.*)\]", line)
        if not found:
            listing.setdefault(("unreadable", line, 0), []).append(line)
            continue
        kind, name = (int(t) if t.isdigit() else t.strip("'") for t in found.groups()[:2])
        key = (kind, name, int(found.group(3)))
        listing.setdefault(key, []).append(re.sub(r"offset=0x[0-9a-fA-F]+ ?", "", found.group(4)))
    return listing


def check_wrestool(before_path, path, before, after, change=None):
    """wrestool -l lists the same resources before and after except the changed ones, which it lists as pefile
    reads them; wrestool -x of a set group gives the file's pictures back."""
    faults = []
    listed_before, listed = wrestool_listing(before_path), wrestool_listing(path)
    changed = {key for key in set(before.tree) | set(after.tree) if before.tree.get(key) != after.tree.get(key)}
    for key in sorted(set(listed_before) | set(listed), key=str):
        if key in changed:
            wanted = ["size=%d" % len(after.tree[key])] if key in after.tree else None
            got = [line.split("] ")[0].split()[-1] for line in listed.get(key, [])] or None
            if got != wanted:
                faults.append("wrestool lists the changed %s as %s, pefile reads %s" % (key, got, wanted))
        elif listed_before.get(key) != listed.get(key):
            faults.append("wrestool lists %s as %s, before as %s" % (key, listed.get(key), listed_before.get(key)))
    if change and change.file is not None and change.kind in ("icon", "cursor"):
        kind, name, language = target_of(before, change)
        extracted = subprocess.run(["wrestool", "-x", "--type=%d" % kind, "--name=%s" % name,
                                    "--language=%d" % language, path], capture_output=True).stdout
        if not extracted:
            return faults + ["wrestool -x gives nothing for %s" % ((kind, name, language),)]
        _, theirs = pf.pictures_of(extracted)
        _, ours = pf.pictures_of(change.file)
        # wrestool copies a cursor's size from its group entry, which counts the hot spot: 4 bytes more.
        if [t[1][:len(o[1])] for t, o in zip(theirs, ours)] != [o[1] for o in ours] or len(theirs) != len(ours):
            faults.append("wrestool -x of %s gives other pictures than the file's" % ((kind, name, language),))
        if change.kind == "cursor" and [p[0][4:6] for p in theirs] != [p[0][4:6] for p in ours]:
            faults.append("wrestool -x of %s gives other hot spots than the file's" % ((kind, name, language),))
    return faults
