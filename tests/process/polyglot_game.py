#!/usr/bin/env python3
"""A short game of the line-feed engine against itself through PolyGlot, the
xboard adapter, at a fast time control: every move must be legal. Exits 77
(skipped) when PolyGlot is not installed.

    polyglot_game.py ENGINE_LF      (run from the repository root)
"""

import os
import shutil
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402  (the independent judge of legal moves)
from enginepipe import Engine, fail, run_check, scratch_folder  # noqa: E402

PLIES = 40
CENTISECONDS = 300  # each side's clock before every move
RESULTS = ("1-0", "0-1", "1/2-1/2")


def find_polyglot():
    return shutil.which("polyglot") or shutil.which("polyglot", path="/usr/games:/usr/local/games")


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    polyglot = find_polyglot()
    if polyglot is None:
        print("polyglot is not installed: skipped")
        return 77
    folder = scratch_folder()
    os.environ["HOME"] = folder  # PolyGlot keeps a settings file under HOME
    adapter = Engine([polyglot, "-noini", "-ec", os.path.abspath(sys.argv[1]), "-ed", folder], folder, b"\n")
    adapter.send("xboard", "protover 2")
    adapter.wait_until("feature done=1")
    adapter.send("new", "level 0 1 0")
    position, played = movejudge.Board.start(), []
    while len(played) < PLIES and position.legal_moves():
        adapter.send("time %d" % CENTISECONDS, "otim %d" % CENTISECONDS, "go")
        line = adapter.wait_until(("move ",) + RESULTS)[-1]
        if line.startswith(RESULTS):
            break  # PolyGlot scored a draw by rule
        move = line[len("move "):].strip()
        if move not in position.legal_moves():
            fail("illegal move %r after %s" % (move, " ".join(played)))
        position = position.play(move)
        played.append(move)
    adapter.quit()
    print("polyglot game: %d legal moves" % len(played))
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    run_check(main)
