#!/usr/bin/env python3
"""Writes the six piece-square files of Data/ (Pawn.txt ... King.txt).

Each file is 8 lines of 16 non-negative numbers, rank 8 first, from white's
view: columns 0-7 are the middle-game values of files a-h, columns 8-15 the
endgame values. Material is folded in (pawn 100, knight 320, bishop 330,
rook 500, queen 900); the king gets one constant added everywhere so that no
value is negative (both sides have one king, so it cancels out).

Usage: makepiecesquare.py [--check] [data directory, default Data]
With --check nothing is written; the exit status tells whether the files
hold exactly what this script makes.
"""

import pathlib
import sys

KING_CONSTANT = 80

# Middle-game king shelter by rank (rank 1 first), files a-h: behind the
# castled pawns is safe, the centre and every step forward are not.
KING_SHELTER = [
    [20, 30, 10, 0, 0, 10, 30, 20],
    [10, 10, -5, -10, -10, -5, 10, 10],
]


def centrality(row, column):
    """0 in a corner, 6 on the four centre squares."""
    return min(column, 7 - column) + min(row, 7 - row)


def pawn(row, column, endgame):
    if row in (0, 7):
        return 0  # no pawn ever stands on the first or last rank
    advance = 6 - row  # 0 on rank 2 ... 5 on rank 7
    if endgame:
        return 100 + [0, 10, 20, 35, 60, 90][advance]
    centre = [0, 2, 5, 10][min(column, 7 - column)]
    return 100 + [0, 5, 10, 20, 35, 60][advance] + centre * [-1, 1, 2, 2, 1, 0][advance]


def knight(row, column, endgame):
    if endgame:
        return 320 + 8 * centrality(row, column) - 24
    return 320 + 10 * centrality(row, column) - 30 - (10 if row == 7 else 0)


def bishop(row, column, endgame):
    value = 330 + 5 * centrality(row, column) - 15
    return value - (10 if row == 7 and not endgame else 0)


def rook(row, column, endgame):
    seventh = row == 1
    if endgame:
        return 500 + (10 if seventh else 0)
    centre_file = 5 if min(column, 7 - column) == 3 else 0
    return 500 + (20 if seventh else 0) + centre_file


def queen(row, column, endgame):
    if endgame:
        return 900 + 6 * centrality(row, column) - 18
    return 900 + 3 * centrality(row, column) - 9


def king(row, column, endgame):
    if endgame:
        value = 10 * centrality(row, column) - 30  # an active king in the centre
    else:
        rank = 7 - row  # 0 for rank 1
        if rank < 2:
            value = KING_SHELTER[rank][column]
        else:
            value = -20 - 10 * (rank - 2) - [0, 0, 5, 10][min(column, 7 - column)]
    return value + KING_CONSTANT


PIECES = [("Pawn.txt", pawn), ("Knight.txt", knight), ("Bishop.txt", bishop),
          ("Rook.txt", rook), ("Queen.txt", queen), ("King.txt", king)]


def table_text(value_of):
    lines = []
    for row in range(8):
        values = [value_of(row, column, False) for column in range(8)]
        values += [value_of(row, column, True) for column in range(8)]
        assert all(0 <= v < 32768 for v in values)
        lines.append(" ".join("%4d" % v for v in values))
    return "\n".join(lines) + "\n"


def main(arguments):
    check = "--check" in arguments
    rest = [a for a in arguments if a != "--check"]
    directory = pathlib.Path(rest[0] if rest else "Data")
    differing = []
    for name, value_of in PIECES:
        text = table_text(value_of)
        path = directory / name
        if check:
            if not path.exists() or path.read_bytes() != text.encode("ascii"):
                differing.append(name)
        else:
            path.write_bytes(text.encode("ascii"))
    if differing:
        print("differ from the generator: " + ", ".join(differing), file=sys.stderr)
    return 1 if differing else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
