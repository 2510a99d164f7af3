#!/usr/bin/env python3
"""Writes the edit fuzzer's seeds into corpus/edit (run from this folder): each small seed of corpus/ico,
corpus/ani and corpus/wav behind a script of a few steps (one byte N, then N bytes of four-byte steps: what
(0 Apply, 1 Add, 2 Remove, 3 undo, 4 redo, 5 cut), a node, a row, a value)."""
from pathlib import Path

SCRIPTS = [
    [0, 1, 2, 7, 0, 3, 0, 20, 3, 0, 0, 0, 4, 0, 0, 0],
    [2, 4, 0, 0, 1, 0, 0, 1, 1, 1, 7, 0x1B, 0, 5, 1, 40],
    [1, 2, 2, 1, 2, 6, 0x81, 0, 5, 0, 64, 128, 3, 0, 0, 0],
    # Apply on each of the first twelve nodes, every box of a colour or pixel row taking its shown value.
    [byte for node in range(12) for byte in (0, node, node, 0x1F)],
]

out = Path("corpus/edit")
out.mkdir(exist_ok=True)
for number, seed in enumerate(sorted(p for folder in ("ico", "ani", "wav") for p in Path("corpus", folder).iterdir()
                                     if p.suffix != ".tsv" and p.stat().st_size <= 4096)):
    script = SCRIPTS[number % len(SCRIPTS)]
    (out / seed.name).write_bytes(bytes([len(script)] + script) + seed.read_bytes())
