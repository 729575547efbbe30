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
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402


def san(board, move):
    """The SAN of a legal UCI move, without check or mate signs."""
    frm, to = move[:2], move[2:4]
    piece = board.piece_at(frm).upper()
    capture = board.is_capture(move)
    if piece == "K" and abs(ord(frm[0]) - ord(to[0])) == 2:
        return "O-O" if to[0] == "g" else "O-O-O"
    if piece == "P":
        text = (frm[0] + "x" if capture else "") + to
        return text + ("=" + move[4].upper() if len(move) == 5 else "")
    rivals = [m for m in board.legal_moves()
              if m != move and m[2:4] == to and board.piece_at(m[:2]).upper() == piece]
    if not rivals:
        mark = ""
    elif all(m[0] != frm[0] for m in rivals):
        mark = frm[0]
    elif all(m[1] != frm[1] for m in rivals):
        mark = frm[1]
    else:
        mark = frm
    return piece + mark + ("x" if capture else "") + to


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

    engine = subprocess.Popen([os.path.abspath(args.engine)], cwd=args.data, stdin=subprocess.PIPE,
                              stdout=subprocess.PIPE, text=True, bufsize=1)

    def send(line):
        engine.stdin.write(line + "\n")
        engine.stdin.flush()

    def wait_for(word):
        while True:
            line = engine.stdout.readline()
            if not line:
                raise SystemExit("the engine ended")
            if line.split()[:1] == [word]:
                return line.split()

    send("uci")
    wait_for("uciok")
    suite = read_suite(args.suite)
    solved = 0
    for fen, best, avoid, name in suite:
        send("position fen " + fen)
        send("go infinite")
        time.sleep(args.time)
        send("stop")
        move = wait_for("bestmove")[1]
        board = movejudge.Board.from_fen(fen)
        played = san(board, move) if move in board.legal_moves() else move
        ok = played in best if best else played not in avoid
        solved += ok
        if not ok:
            print("%s: played %s, wanted %s" % (name, played, " ".join(sorted(best)) or "not " + " ".join(avoid)))
    send("quit")
    print("solved %d of %d at %.2f s a position" % (solved, len(suite), args.time))
    return 0


if __name__ == "__main__":
    sys.exit(main())
