#!/usr/bin/env python3
"""The SPSA tuner's reshaping reaches the cells it names and no others, and
its tally counts the games from plus's side.

    spsa_test.py        (run from the repository root)
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(__file__), "..", "..", "..", "tools", "spsa"))
import spsa  # noqa: E402


def check(condition, message):
    if not condition:
        print("FAILED:", message)
        sys.exit(1)


tables = spsa.read_tables("Data")
check(spsa.reshape(tables, {}) == tables, "the start reshapes nothing")

# Doubling the knight's middle-game spread: its deviations double about an
# unchanged mean; its endgame columns and the other kinds stay.
out = spsa.reshape(tables, {"Knight.mg.spread": 2.0, "Queen.eg.mean": 25.0})
knight_mg = spsa.cells("Knight", "mg")
mean = sum(tables["Knight"][r][c] for r, c in knight_mg) / 64
for r, c in knight_mg:
    check(abs(out["Knight"][r][c] - (2 * tables["Knight"][r][c] - mean)) <= 0.5, f"knight {r},{c}")
check(all(out["Knight"][r][8:] == tables["Knight"][r][8:] for r in range(8)), "knight endgame moved")
check(all(out["Queen"][r][8:] == [v + 25 for v in tables["Queen"][r][8:]] for r in range(8)), "queen endgame mean")
check(all(out["Queen"][r][:8] == tables["Queen"][r][:8] for r in range(8)), "queen middle game moved")
check(all(out[kind] == tables[kind] for kind in ("Pawn", "Bishop", "Rook", "King")), "other kinds moved")

# Pawns never stand on the first or last rank, whatever the shift; a spread
# that would take a king below 0 lifts the whole half instead.
out = spsa.reshape(tables, {"Pawn.mg.spread": 3.0, "King.mg.spread": 40.0})
check(out["Pawn"][0] == tables["Pawn"][0] and out["Pawn"][7] == tables["Pawn"][7], "pawn on a back rank")
king = [out["King"][r][c] - out["King"][0][0] for r, c in spsa.cells("King", "mg")]
expected = [40 * (tables["King"][r][c] - tables["King"][0][0]) for r, c in spsa.cells("King", "mg")]
check(min(out["King"][r][c] for r, c in spsa.cells("King", "mg")) == 0, "king half not lifted to 0")
check(all(abs(a - b) <= 1 for a, b in zip(king, expected)), "king differences not kept")

pgn = """[Event "?"]\n[White "plus"]\n[Black "minus"]\n[Result "1-0"]\n\n1. e4 1-0
[Event "?"]\n[White "minus"]\n[Black "plus"]\n[Result "1-0"]\n[Termination "time forfeit"]\n\n1. e4 1-0
[Event "?"]\n[White "minus"]\n[Black "plus"]\n[Result "0-1"]\n\n1. e4 0-1
[Event "?"]\n[White "plus"]\n[Black "minus"]\n[Result "1/2-1/2"]\n\n1. e4 1/2-1/2
"""
check(spsa.tally(pgn) == (2, 1, 1, 1), f"tally {spsa.tally(pgn)}")
print("spsa: ok")
