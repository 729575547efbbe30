#!/usr/bin/env python3
"""Round trips through the engine's pipes, the cost a match tool sees beside
the engine's own thinking time:

  isready      "isready" written, until "readyok" is read;
  position+go  the position of a 40-move game and "go wtime 100 btime 100"
               written at once, until "bestmove" is read. The engine's own
               budget is then about 2 ms, so the rest is the cost of reading,
               set-up and the table clear after the previous search;
  position     after a search on a clock of --clock ms (default 4000, the
               start of a 4+0.04 game), the position of a 40-move game and
               "isready" written, until "readyok" is read: mostly the clear
               of the table that the search filled, which grows with the
               size in Hashtable.ini.

Each try starts after a pause of 5 to 30 ms, so that the engine sits in its
idle wait as it does between the moves of a game. Prints the median, the
90th percentile and the maximum in milliseconds.

    tools/latency/latency.py [--tries 200] [--engine build/talvoran-lf] [--data Data]
                             [--clock 4000]
    tools/latency/latency.py --wine [--tries 200]   (talvoran.exe under wine, through
                                             the Windows session driver)

--wine needs the Windows builds of tests/scripts/windows.sh (build-win64/).
"""

import argparse
import os
import random
import shutil
import statistics
import subprocess
import sys
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(REPO, "python"))
import movejudge  # noqa: E402
from enginepipe import Engine, EngineError, scratch_folder  # noqa: E402


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


def measure_native(engine, tries, data, clock):
    """Round trips timed from the write to the arrival of the answer, as
    stamped by the reader of the engine's output."""
    pipe = Engine([os.path.abspath(engine)], scratch_folder(data), None)
    pipe.send("uci")
    pipe.wait_until("uciok")
    ready, moves = [], []
    for _ in range(tries):
        time.sleep(random.uniform(0.005, 0.03))
        ready.append(pipe.ask(["isready"], "readyok")[1] * 1000)
    position = "position startpos moves %s" % " ".join(game_moves(80))
    pipe.send("position startpos", "go depth 7")  # a search that fills a few thousand entries
    pipe.wait_until("bestmove")
    for _ in range(tries):
        time.sleep(random.uniform(0.005, 0.03))
        moves.append(pipe.ask([position, "go wtime 100 btime 100"], "bestmove")[1] * 1000)
    clears = []
    for _ in range(max(1, tries // 10)):  # a search each: a tenth of the tries
        pipe.ask([position, "go wtime %d btime %d" % (clock, clock)], "bestmove", timeout=10 + clock / 1000)
        time.sleep(random.uniform(0.005, 0.03))
        clears.append(pipe.ask([position, "isready"], "readyok")[1] * 1000)
    pipe.quit()
    print("engine: %s, data: %s" % (engine, data))
    print(summary("isready", ready))
    print(summary("position+go", moves))
    print(summary("position", clears))


def measure_wine(tries):
    driver = os.path.join(REPO, "build-win64", "talvoran-driver.exe")
    program = os.path.join(REPO, "build-win64", "talvoran.exe")
    for path in (driver, program):
        if not os.path.exists(path):
            raise SystemExit("%s is missing: run tests/scripts/windows.sh first" % path)
    folder = scratch_folder(None)
    shutil.copytree(os.path.join(REPO, "Data"), os.path.join(folder, "Data"))
    windows = lambda path: subprocess.run(["winepath", "-w", path], capture_output=True,
                                          text=True, check=True).stdout.strip()
    result = subprocess.run(["wine", driver, "--latency", windows(program), windows(folder), str(tries),
                             " ".join(game_moves(80))], capture_output=True, text=True)
    print("engine: %s under wine, anonymous pipes" % program)
    print(result.stdout.replace("\r", ""), end="")
    if result.returncode != 0:
        raise SystemExit(result.stderr)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", default=os.path.join(REPO, "build", "talvoran-lf"))
    parser.add_argument("--tries", type=int, default=200)
    parser.add_argument("--data", default=os.path.join(REPO, "Data"), help="the Data/ folder to run with")
    parser.add_argument("--clock", type=int, default=4000, help="ms on the clock of the search before 'position'")
    parser.add_argument("--wine", action="store_true", help="talvoran.exe under wine through the driver")
    args = parser.parse_args()
    random.seed(1)
    if args.wine:
        measure_wine(args.tries)
    else:
        try:
            measure_native(args.engine, args.tries, args.data, args.clock)
        except EngineError as error:
            raise SystemExit(error)
    return 0


if __name__ == "__main__":
    sys.exit(main())
