#!/usr/bin/env python3
"""Round trips through the engine's pipes, the cost a match tool sees beside
the engine's own thinking time:

  isready      "isready" written, until "readyok" is read;
  position+go  the position of a 40-move game and "go wtime 100 btime 100"
               written at once, until "bestmove" is read. The engine's own
               budget is then about 2 ms, so the rest is the cost of reading,
               set-up and the table clear after the previous search.

Each try starts after a pause of 5 to 30 ms, so that the engine sits in its
idle wait as it does between the moves of a game. Prints the median, the
90th percentile and the maximum in milliseconds.

    tools/latency/latency.py [--tries 200] [--engine build/talvoran-lf]
    tools/latency/latency.py --wine [--tries 200]   (talvoran.exe under wine, through
                                             the Windows session driver)

--wine needs the Windows builds of tests/scripts/windows.sh (build-win64/).
"""

import argparse
import os
import random
import re
import shutil
import statistics
import subprocess
import sys
import tempfile
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(REPO, "python"))
import movejudge  # noqa: E402


def game_moves(plies, seed=1):
    """A game of random legal moves that lasts the given number of plies."""
    chooser = random.Random(seed)
    while True:
        game = movejudge.Game()
        while len(game.moves) < plies and game.outcome() is None:
            game.play(chooser.choice(sorted(game.board.legal_moves())))
        if len(game.moves) == plies:
            return game.moves


def summary(name, samples):
    ordered = sorted(samples)
    return "%-12s median %6.2f ms  90%% %6.2f ms  max %6.2f ms  (%d tries)" % (
        name, statistics.median(ordered), ordered[int(len(ordered) * 0.9)], ordered[-1], len(ordered))


class Pipe:
    """The engine as a child process; lines end at CR or LF."""

    def __init__(self, command, folder):
        self.process = subprocess.Popen(command, cwd=folder, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=0)
        self.pending = b""

    def send(self, text):
        self.process.stdin.write(text.encode("ascii"))

    def wait_for(self, prefix):
        while True:
            parts = re.split(rb"[\r\n]", self.pending, maxsplit=1)
            if len(parts) == 2:
                line, self.pending = parts
                if line.startswith(prefix.encode("ascii")):
                    return
                continue
            chunk = os.read(self.process.stdout.fileno(), 65536)
            if not chunk:
                raise SystemExit("the engine ended")
            self.pending += chunk


def measure_native(engine, tries):
    folder = tempfile.mkdtemp(prefix="talvoran-latency-")
    os.symlink(os.path.join(REPO, "Data"), os.path.join(folder, "Data"))
    pipe = Pipe([os.path.abspath(engine)], folder)
    try:
        pipe.send("uci\n")
        pipe.wait_for("uciok")
        ready, moves = [], []
        for _ in range(tries):
            time.sleep(random.uniform(0.005, 0.03))
            began = time.perf_counter()
            pipe.send("isready\n")
            pipe.wait_for("readyok")
            ready.append((time.perf_counter() - began) * 1000)
        line = "position startpos moves %s\ngo wtime 100 btime 100\n" % " ".join(game_moves(80))
        pipe.send("position startpos\ngo depth 7\n")  # a search that fills a few thousand entries
        pipe.wait_for("bestmove")
        for _ in range(tries):
            time.sleep(random.uniform(0.005, 0.03))
            began = time.perf_counter()
            pipe.send(line)
            pipe.wait_for("bestmove")
            moves.append((time.perf_counter() - began) * 1000)
        pipe.send("quit\n")
        pipe.process.wait(timeout=10)
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    print("engine: %s" % engine)
    print(summary("isready", ready))
    print(summary("position+go", moves))


def measure_wine(tries):
    driver = os.path.join(REPO, "build-win64", "talvoran-driver.exe")
    program = os.path.join(REPO, "build-win64", "talvoran.exe")
    for path in (driver, program):
        if not os.path.exists(path):
            raise SystemExit("%s is missing: run tests/scripts/windows.sh first" % path)
    folder = tempfile.mkdtemp(prefix="talvoran-latency-")
    try:
        shutil.copytree(os.path.join(REPO, "Data"), os.path.join(folder, "Data"))
        windows = lambda path: subprocess.run(["winepath", "-w", path], capture_output=True,
                                              text=True, check=True).stdout.strip()
        result = subprocess.run(["wine", driver, "--latency", windows(program), windows(folder), str(tries),
                                 " ".join(game_moves(80))], capture_output=True, text=True)
        print("engine: %s under wine, anonymous pipes" % program)
        print(result.stdout.replace("\r", ""), end="")
        if result.returncode != 0:
            raise SystemExit(result.stderr)
    finally:
        shutil.rmtree(folder, ignore_errors=True)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", default=os.path.join(REPO, "build", "talvoran-lf"))
    parser.add_argument("--tries", type=int, default=200)
    parser.add_argument("--wine", action="store_true", help="talvoran.exe under wine through the driver")
    args = parser.parse_args()
    random.seed(1)
    if args.wine:
        measure_wine(args.tries)
    else:
        measure_native(args.engine, args.tries)
    return 0


if __name__ == "__main__":
    sys.exit(main())
