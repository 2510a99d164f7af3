#!/usr/bin/env python3
"""Runs two commands in turn, ROUNDS times each, and prints the fastest and the median wall time of each
with their ratios, and the slowest. Taking turns spreads the machine's noise over both; the fastest run is the least
disturbed. Output is discarded.

usage: compare_runs.py ROUNDS NAME_A -- COMMAND_A... --- NAME_B -- COMMAND_B...
"""
import os
import statistics
import subprocess
import sys
import time


def parse(args):
    rounds = int(args[0])
    split = args.index("---")
    first, second = args[1:split], args[split + 1:]
    command = lambda part: (part[0], part[part.index("--") + 1:])
    return rounds, command(first), command(second)


def run_once(command):
    start = time.perf_counter_ns()
    subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return (time.perf_counter_ns() - start) / 1e6


def main():
    rounds, (name_a, command_a), (name_b, command_b) = parse(sys.argv[1:])
    times_a, times_b = [], []
    run_once(command_a), run_once(command_b)  # warm the page cache
    for _ in range(rounds):
        times_a.append(run_once(command_a))
        times_b.append(run_once(command_b))
    for name, times in ((name_a, times_a), (name_b, times_b)):
        print(f"{name}: fastest {min(times):.2f} ms, median {statistics.median(times):.2f} ms, "
              f"slowest {max(times):.2f} ms")
    print(f"ratio {name_a} / {name_b}: fastest {min(times_a) / min(times_b):.2f}, "
          f"median {statistics.median(times_a) / statistics.median(times_b):.2f}")


if __name__ == "__main__":
    main()
