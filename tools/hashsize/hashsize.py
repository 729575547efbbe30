#!/usr/bin/env python3
"""The engine's speed at several table sizes in game conditions: fastchess
plays the first size against each of the others (two games at once, from
tests/data/openings.epd with colours reversed) with the engines' output
logged, and every search's last `info ... nodes N time T` line is summed.

For each size it prints the searches and their nodes, then nodes a second
three ways: over the engine's own time (the `time` of those lines); over
the wall time from `go` written to `bestmove` read (which also holds the
`position` command's table clear and the pipes); and over the engines'
user processor time from start to end (an idle engine waits without using
any), which other load on the machine does not lengthen as it does the
clock. The system seconds are mostly the kernel's zeroing of the table's
pages when it is created. Both engines of a game search in turns beside
the other game, so it also prints each size's speed over the first size's
(on the engine's own clock) game by game, median and quartiles: load from
outside falls on both engines of a game alike.

    tools/hashsize/hashsize.py FASTCHESS [--engine build/talvoran-lf]
        [--sizes 22 24 ...] [--rounds 20] [--tc 1+0.01] [--keep FOLDER]
    tools/hashsize/hashsize.py --parse LOG     (a log kept before)

FASTCHESS is a fastchess binary. --rounds counts pairs of games per pairing.
fastchess runs in a scratch folder (it writes config.json where it runs);
--keep FOLDER keeps its log and PGN there.
"""

import argparse
import collections
import os
import re
import shutil
import statistics
import subprocess
import sys
import tempfile

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))

# [Engine] [02:19:30.343928] <     140377025795776>  s22 ---> bestmove e2e4
LOG_LINE = re.compile(r"^\[Engine\] \[(\d+):(\d+):([\d.]+)\] <\s*(\d+)>\s+(\S+) (--->|<---) (.*)$")


def size_folder(parent, bits, engine):
    """parent/sizeN with a copy of the repository's Data/ holding N in
    Hashtable.ini, and engine.sh, which runs the engine there and then adds
    its processor time (bash's `time`: user, then system seconds) to cpu.txt."""
    folder = os.path.join(parent, "size%d" % bits)
    shutil.copytree(os.path.join(REPO, "Data"), os.path.join(folder, "Data"))
    with open(os.path.join(folder, "Data", "Hashtable.ini"), "w") as file:
        file.write("%d\n" % bits)
    script = os.path.join(folder, "engine.sh")
    with open(script, "w") as file:
        file.write("#!/bin/bash\nTIMEFORMAT='%%3U %%3S'\n{ time '%s' 2>&3; } 3>&2 2>> cpu.txt\n" % engine)
    os.chmod(script, 0o755)
    return folder


def processor_seconds(folder):
    """The user and system seconds of the engines that ran in folder, summed."""
    user = system = 0.0
    path = os.path.join(folder, "cpu.txt")
    if not os.path.exists(path):
        return None
    with open(path) as file:
        for line in file:  # "3.170 0.120"
            user += float(line.split()[0])
            system += float(line.split()[1])
    return user, system


def play(args, work):
    engine = os.path.abspath(args.engine)
    command = [args.fastchess]
    for bits in args.sizes:
        folder = size_folder(work, bits, engine)
        command += ["-engine", "name=s%d" % bits, "cmd=" + os.path.join(folder, "engine.sh"), "dir=" + folder]
    log = os.path.join(work, "engines.log")
    command += ["-tournament", "gauntlet", "-each", "tc=" + args.tc,
                "-openings", "file=" + os.path.join(REPO, "tests", "data", "openings.epd"),
                "format=epd", "order=random", "-repeat", "-rounds", str(args.rounds),
                "-concurrency", "2", "-pgnout", "file=" + os.path.join(work, "games.pgn"),
                "-log", "file=" + log, "level=info", "engine=true", "append=false"]
    subprocess.run(command, cwd=work, check=True, stdout=subprocess.DEVNULL)
    return log


def seconds(match):
    hours, minutes, rest = match.group(1), match.group(2), match.group(3)
    return int(hours) * 3600 + int(minutes) * 60 + float(rest)


def word_after(words, key):
    return int(words[words.index(key) + 1]) if key in words else None


def parse(log):
    """Per game (a list of them): {engine: [searches, nodes, engine ms, wall ms]}."""
    games = []
    current = {}          # thread -> the game being played there
    last_info = {}        # (thread, engine) -> (nodes, ms) of the search under way
    go_sent = {}          # (thread, engine) -> the time `go` was written
    playing = set()       # the threads whose game has begun
    with open(log, encoding="latin-1") as file:
        for line in file:
            match = LOG_LINE.match(line.rstrip("\n"))
            if not match:
                continue
            when, thread, name, sent, text = seconds(match), match.group(4), match.group(5), match.group(6) == "<---", match.group(7)
            key = (thread, name)
            if sent and text == "ucinewgame":
                # Both engines hear it before the game's first go.
                if thread not in current or thread in playing:
                    current[thread] = {}
                    games.append(current[thread])
                    playing.discard(thread)
                current[thread][name] = [0, 0, 0, 0.0]
            elif sent and text.startswith("go"):
                go_sent[key], last_info[key] = when, None
                playing.add(thread)
            elif not sent and text.startswith("info"):
                words = text.split()
                nodes, ms = word_after(words, "nodes"), word_after(words, "time")
                if nodes is not None and ms is not None:
                    last_info[key] = (nodes, ms)
            elif not sent and text.startswith("bestmove") and last_info.get(key) and name in current.get(thread, {}):
                totals = current[thread][name]
                nodes, ms = last_info[key]
                totals[0] += 1
                totals[1] += nodes
                totals[2] += ms
                totals[3] += (when - go_sent[key]) % 86400 * 1000.0  # across midnight too
    return games


def size_of(name):
    return int(name[1:]) if name[1:].isdigit() else name


def report(games, folder):
    totals = collections.defaultdict(lambda: [0, 0, 0, 0.0])
    for game in games:
        for name, values in game.items():
            totals[name] = [a + b for a, b in zip(totals[name], values)]
    print("                             engine's time     go to bestmove    processor time")
    print("size  searches        nodes  seconds  knodes/s  seconds  knodes/s  user s  knodes/s  system s")
    for name in sorted(totals, key=size_of):
        searches, nodes, ms, wall = totals[name]
        line = "%4s  %8d  %11d  %7.1f  %8.0f  %7.1f  %8.0f" % (
            size_of(name), searches, nodes, ms / 1000.0, nodes / ms, wall / 1000.0, nodes / wall)
        cpu = processor_seconds(os.path.join(folder, "size%s" % size_of(name)))
        if cpu:
            line += "  %6.1f  %8.0f  %8.2f" % (cpu[0], nodes / cpu[0] / 1000.0, cpu[1])
        print(line)
    # The size in most games (the gauntlet's first) is the reference.
    reference = max(sorted(totals, key=size_of), key=lambda name: sum(name in game for game in games))
    ratios = collections.defaultdict(list)
    for game in games:
        if len(game) == 2 and reference in game and all(values[2] > 0 for values in game.values()):
            other = next(name for name in game if name != reference)
            a, b = game[reference], game[other]
            ratios[other].append((b[1] / b[2]) / (a[1] / a[2]))
    for other in sorted(ratios, key=size_of):
        values = sorted(ratios[other])
        quartiles = statistics.quantiles(values, n=4) if len(values) > 1 else values * 3
        print("%s over %s, nodes a second game by game: median %.3f, quartiles %.3f-%.3f, %d games" % (
            size_of(other), size_of(reference), statistics.median(values), quartiles[0], quartiles[2], len(values)))


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("fastchess", nargs="?")
    parser.add_argument("--engine", default=os.path.join(REPO, "build", "talvoran-lf"))
    parser.add_argument("--sizes", type=int, nargs="+", default=[22, 24])
    parser.add_argument("--rounds", type=int, default=20)
    parser.add_argument("--tc", default="1+0.01")
    parser.add_argument("--keep", help="a folder for the log and the games")
    parser.add_argument("--parse", help="read this log (with the sizeN folders beside it) instead of playing")
    args = parser.parse_args()
    if args.parse:
        report(parse(args.parse), os.path.dirname(os.path.abspath(args.parse)))
        return 0
    if args.fastchess is None:
        parser.error("give FASTCHESS, or --parse LOG")
    work = os.path.abspath(args.keep) if args.keep else tempfile.mkdtemp(prefix="hashsize-")
    os.makedirs(work, exist_ok=True)
    try:
        report(parse(play(args, work)), work)
    finally:
        if not args.keep:
            shutil.rmtree(work, True)
    return 0

if __name__ == "__main__":
    sys.exit(main())
