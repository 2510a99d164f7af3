#!/usr/bin/env python3
"""Runs PROGRAM on each FILE in turn, ROUNDS times, and prints for each file the median, fastest and slowest time
from the start to the wave on the screen (the program says when, on the monotonic clock) and to the program's end,
and its peak resident memory; the first file is held to the targets of the window's first screen.
usage: first_screen_runs.py ROUNDS PROGRAM FILE...
"""
import os
import statistics
import subprocess
import sys
import time

TARGET_SECONDS = 0.3
TARGET_MIB = 256


def run_once(program, path):
    start = time.monotonic_ns()
    child = subprocess.Popen([program, path], stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    said = child.stderr.read()
    _, status, usage = os.wait4(child.pid, 0)
    ended = (time.monotonic_ns() - start) / 1e9
    if status != 0:
        sys.exit(f"{program} {path} ended with status {status}")
    painted = [int(line.split()[3]) for line in said.splitlines() if line.startswith("wave painted at ")]
    if not painted:
        sys.exit(f"{program} {path} never painted its wave")
    return (painted[0] - start) / 1e9, ended, usage.ru_maxrss / 1024  # KiB to MiB


def main():
    rounds, program, files = int(sys.argv[1]), sys.argv[2], sys.argv[3:]
    results = {path: [] for path in files}
    for _ in range(rounds):
        for path in files:
            results[path].append(run_once(program, path))
    def summary(values, unit, digits):
        return (f"median {statistics.median(values):.{digits}f} {unit} (min {min(values):.{digits}f}, "
                f"max {max(values):.{digits}f})")

    for index, path in enumerate(files):
        times = [t for t, _, _ in results[path]]
        ends = [e for _, e, _ in results[path]]
        memory = [m for _, _, m in results[path]]
        size = os.path.getsize(path) / 2**20
        print(f"{os.path.basename(path)} ({size:.0f} MiB), {rounds} runs: wave on screen {summary(times, 's', 3)}; "
              f"program ended {summary(ends, 's', 3)}; resident {summary(memory, 'MiB', 0)}")
        if index == 0:
            t, m = statistics.median(times), statistics.median(memory)
            print(f"  target <= {TARGET_SECONDS} s: {'met' if t <= TARGET_SECONDS else 'MISSED'}; "
                  f"target <= {TARGET_MIB} MiB: {'met' if m <= TARGET_MIB else 'MISSED'}")


if __name__ == "__main__":
    main()
