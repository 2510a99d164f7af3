#!/usr/bin/env python3
"""Checks a rewritten module against its original with pefile.

Usage: module_check.py ORIGINAL REWRITTEN
Prints one line per problem (a warning the original did not have, a checksum that no longer holds, resources
that pefile cannot walk) and "ok" when there is none.
"""
import re
import sys

import pefile


def warnings(pe):
    # The byte-frequency warnings carry a percentage that moves with any change; the byte is what matters.
    return {re.sub(r"\d+\.\d+%", "N%", w) for w in pe.get_warnings()}


def resources(pe):
    found = []
    if not hasattr(pe, "DIRECTORY_ENTRY_RESOURCE"):
        return found
    for t in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        for n in t.directory.entries:
            for lang in n.directory.entries:
                found.append((str(t.name or t.id), str(n.name or n.id), lang.id, lang.data.struct.Size))
    return found


def main():
    original = pefile.PE(sys.argv[1])
    rewritten = pefile.PE(sys.argv[2])
    problems = ["new warning: " + w for w in sorted(warnings(rewritten) - warnings(original))]
    if original.OPTIONAL_HEADER.CheckSum and original.verify_checksum() and not rewritten.verify_checksum():
        problems.append("checksum no longer holds")
    if len(resources(rewritten)) == 0 and len(resources(original)) != 0:
        problems.append("pefile finds no resources")
    print("\n".join(problems) if problems else "ok")


main()
