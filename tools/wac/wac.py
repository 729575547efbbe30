#!/usr/bin/env python3
"""Runs an EPD test suite (Win at Chess by default) against the engine.

Each position is searched for a fixed time ("go infinite", then "stop"); a
position is solved when the engine's move is one of its "bm" moves (or none
of its "am" moves). Prints the unsolved positions and the count solved.

    python3 tools/wac/wac.py [--engine build/talvoran-lf] [--data .] [--time 0.5]
                         [--suite tests/data/wac.epd]

The suite's moves are in standard algebraic notation; the move judge gives
every legal move its SAN to compare with.
"""

import argparse
import os
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402
from enginepipe import Engine, EngineError  # noqa: E402


def read_suite(path):
    """(fen, best moves, avoid moves, id) for each line of the suite."""
    entries = []
    with open(path) as source:
        for line in source:
            fields = line.split()
            if len(fields) < 5:
                continue
            fen = " ".join(fields[:4]) + " 0 1"
            operations = {}
            for part in " ".join(fields[4:]).split(";"):
                words = part.split()
                if words:
                    operations[words[0]] = words[1:]
            strip = lambda moves: {m.rstrip("+#!?") for m in moves}
            entries.append((fen, strip(operations.get("bm", [])), strip(operations.get("am", [])),
                            " ".join(operations.get("id", ["?"])).strip('"')))
    return entries


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--engine", default=os.path.join(here, "..", "..", "build", "talvoran-lf"))
    parser.add_argument("--data", default=os.path.join(here, "..", ".."), help="folder that holds Data/")
    parser.add_argument("--time", type=float, default=0.5, help="seconds per position")
    parser.add_argument("--suite", default=os.path.join(here, "..", "..", "tests", "data", "wac.epd"))
    args = parser.parse_args()

    engine = Engine([os.path.abspath(args.engine)], args.data, None)
    try:
        solved, count = run_suite(engine, read_suite(args.suite), args.time)
    except EngineError as error:
        raise SystemExit(error)
    print("solved %d of %d at %.2f s a position" % (solved, count, args.time))
    return 0


def run_suite(engine, suite, seconds):
    """Searches every position for the given seconds, printing the unsolved
    ones: the number solved and the number of positions."""
    engine.send("uci")
    engine.wait_until("uciok")
    solved = 0
    for fen, best, avoid, name in suite:
        engine.send("position fen " + fen, "go infinite")
        time.sleep(seconds)
        engine.send("stop")
        move = engine.wait_until("bestmove")[-1].split()[1]
        board = movejudge.Board.from_fen(fen)
        played = board.san(move).rstrip("+#") if move in board.legal_moves() else move
        ok = played in best if best else played not in avoid
        solved += ok
        if not ok:
            print("%s: played %s, wanted %s" % (name, played, " ".join(sorted(best)) or "not " + " ".join(avoid)))
    engine.quit()
    return solved, len(suite)


if __name__ == "__main__":
    sys.exit(main())
