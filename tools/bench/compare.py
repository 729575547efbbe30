#!/usr/bin/env python3
"""Compares the speed of two builds on the bench and on perft.

    python3 tools/bench/compare.py OLD NEW [--runs 5] [--perft "6 startpos"] [--cpu 0]

OLD and NEW are folders holding talvoran-bench and talvoran-perft (a build
folder, or a copy of one). Both run from the repository root, so that they
read the same Data/, and they take turns, old then new, so that a machine
that slows down or speeds up during the comparison weighs on both alike.
All runs use one processor (--cpu). Prints each build's median nodes a
second over the runs and the median of the runs' ratios new / old; exits
with 1 when the two builds count different nodes, which means the change
altered the search or the move generator rather than its speed.
"""
import argparse
import os
import re
import statistics
import subprocess
import sys

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SUMMARY = re.compile(r"nodes (\d+) time (\d+) ms nps (\d+)")


def run_once(program, arguments):
    """Runs one build's program and returns (nodes, nodes a second) from
    its summary line, the last line that has one."""
    output = subprocess.run([program] + arguments, cwd=ROOT, capture_output=True, text=True, check=True).stdout
    found = SUMMARY.findall(output)
    if not found:
        sys.exit(f"compare.py: no summary line from {program}")
    nodes, _, nps = found[-1]
    return int(nodes), int(nps)


def compare(name, old, new, arguments, runs):
    """Runs old and new alternately; prints their medians and ratio. True
    when both counted the same nodes in every run."""
    counts = {"old": set(), "new": set()}
    speeds = {"old": [], "new": []}
    for _ in range(runs):
        for label, folder in (("old", old), ("new", new)):
            nodes, nps = run_once(os.path.join(folder, "talvoran-" + name), arguments)
            counts[label].add(nodes)
            speeds[label].append(nps)
    old_nps = statistics.median(speeds["old"])
    new_nps = statistics.median(speeds["new"])
    # The ratio is the median of each run's new / old: a shared machine has
    # slow spells lasting several runs, which a pair run back to back shares.
    ratio = statistics.median(n / o for o, n in zip(speeds["old"], speeds["new"]))
    same = len(counts["old"]) == 1 and counts["old"] == counts["new"]
    nodes = "/".join(str(n) for n in sorted(counts["old"] | counts["new"]))
    print(f"{name:6} nodes {nodes}  old {old_nps:,.0f} nps  new {new_nps:,.0f} nps  "
          f"ratio {ratio:.3f}" + ("" if same else "  NODE COUNTS DIFFER"))
    return same


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("old", help="folder with the old build's talvoran-bench and talvoran-perft")
    parser.add_argument("new", help="folder with the new build's")
    parser.add_argument("--runs", type=int, default=5, help="runs of each build (the median counts)")
    parser.add_argument("--perft", default="6 startpos", help="arguments of talvoran-perft")
    parser.add_argument("--bench", default="", help="arguments of talvoran-bench (default: its own list)")
    parser.add_argument("--cpu", type=int, default=0, help="the processor both builds run on (-1: any)")
    args = parser.parse_args()
    # One processor for every run: on a shared machine the processors can
    # differ in speed by a third, and a run that lands on the other one
    # would weigh on one build only.
    if args.cpu >= 0 and hasattr(os, "sched_setaffinity"):
        os.sched_setaffinity(0, {args.cpu})
    old, new = os.path.abspath(args.old), os.path.abspath(args.new)
    same = compare("bench", old, new, args.bench.split(), args.runs)
    same = compare("perft", old, new, args.perft.split(), args.runs) and same
    return 0 if same else 1


if __name__ == "__main__":
    sys.exit(main())
