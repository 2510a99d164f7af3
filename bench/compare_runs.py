#!/usr/bin/env python3
"""Runs two commands in turn (A, B, A, B, ...), ROUNDS times each after one warming run of each, and prints
for each the median, fastest and slowest wall time and its peak resident memory (one more run, under
/usr/bin/time), then the ratio of the
medians. Taking turns spreads the machine's noise over both; the median shows what a user meets, where the
fastest run alone would hide the slow ones. Output is discarded.

With --fresh PATH, PATH (the file the commands write) is removed and the written data synced to the disk
before every run, outside the timing, so that each run writes a new file and none pays for the last one.

usage: compare_runs.py ROUNDS [--fresh PATH] NAME_A -- COMMAND_A... --- NAME_B -- COMMAND_B...
"""
import os
import statistics
import subprocess
import sys
import tempfile
import time


def parse(args):
    rounds = int(args[0])
    rest = args[1:]
    fresh = None
    if rest and rest[0] == "--fresh":
        fresh, rest = rest[1], rest[2:]
    split = rest.index("---")
    command = lambda part: (part[0], part[part.index("--") + 1:])
    return rounds, fresh, command(rest[:split]), command(rest[split + 1:])


def prepare(fresh):
    if fresh:
        if os.path.exists(fresh):
            os.remove(fresh)
        os.sync()


def run_once(command, fresh):
    """Wall time in ms of one run."""
    prepare(fresh)
    start = time.perf_counter_ns()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return (time.perf_counter_ns() - start) / 1e6


def peak_memory(command, fresh):
    """Peak resident memory in KiB of one run under /usr/bin/time (a child of this process would report
    this process's own size when it is larger: Linux keeps the high-water mark across exec)."""
    prepare(fresh)
    with tempfile.NamedTemporaryFile("r") as report:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", report.name] + command, stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
        return int(report.read().split()[-1])


def main():
    rounds, fresh, (name_a, command_a), (name_b, command_b) = parse(sys.argv[1:])
    runs = {name_a: [], name_b: []}
    run_once(command_a, fresh), run_once(command_b, fresh)  # warm the page cache
    for _ in range(rounds):
        runs[name_a].append(run_once(command_a, fresh))
        runs[name_b].append(run_once(command_b, fresh))
    memory = {name_a: peak_memory(command_a, fresh), name_b: peak_memory(command_b, fresh)}
    medians = {}
    for name, times in runs.items():
        medians[name] = statistics.median(times)
        print(f"{name}: median {medians[name]:.2f} ms (min {min(times):.2f}, max {max(times):.2f}); "
              f"peak resident memory {memory[name] / 1024:.1f} MiB")
    print(f"ratio {name_a} / {name_b} of the medians: {medians[name_a] / medians[name_b]:.2f} ({rounds} rounds)")


if __name__ == "__main__":
    main()
