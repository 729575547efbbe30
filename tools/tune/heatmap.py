#!/usr/bin/env python3
"""Draws the six piece-square files as twelve 8 x 8 heat maps into a PNG.

One kind to a row, its middle-game table on the left and its endgame
table on the right, each board seen from white (rank 8 at the top) with the
value of every square written in it, large enough to read at page width.
Colours run from the table's lowest value to its highest, so each map shows
where that piece wants to stand.

    python3 tools/tune/heatmap.py [--data Data] [--out docs/piece-square.png]

Needs matplotlib (Debian: python3-matplotlib).
"""

import argparse
import pathlib
import re
import sys

KINDS = ["Pawn", "Knight", "Bishop", "Rook", "Queen", "King"]


def read_table(path):
    """The file's first 128 numbers as the engine reads them: runs of digits,
    modulo 65536, signed 16-bit. Returns (middle game, endgame) as 8 x 8 lists."""
    numbers = [int(run) % 65536 for run in re.findall(rb"[0-9]+", path.read_bytes())[:128]]
    numbers = [n - 65536 if n >= 32768 else n for n in numbers] + [0] * (128 - len(numbers))
    rows = [numbers[16 * row:16 * row + 16] for row in range(8)]
    return [r[:8] for r in rows], [r[8:] for r in rows]


def main(argv):
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--data", default="Data")
    parser.add_argument("--out", default="docs/piece-square.png")
    args = parser.parse_args(argv)

    import matplotlib
    matplotlib.use("Agg")
    import matplotlib.pyplot as plt

    figure, axes = plt.subplots(6, 2, figsize=(10, 29))
    for number, kind in enumerate(KINDS):
        halves = read_table(pathlib.Path(args.data) / (kind + ".txt"))
        for column, (half, values) in enumerate(zip(("middle game", "endgame"), halves)):
            shown = [list(r) for r in values]
            if kind == "Pawn":  # no pawn stands on rank 8 or rank 1: leave them blank
                shown = [[float("nan")] * 8] + shown[1:7] + [[float("nan")] * 8]
            ax = axes[number][column]
            ax.imshow(shown, cmap="RdYlGn")
            for r in range(8):
                for f in range(8):
                    if not (kind == "Pawn" and r in (0, 7)):
                        ax.text(f, r, str(values[r][f]), ha="center", va="center", fontsize=12)
            ax.set_xticks(range(8), list("abcdefgh"))
            ax.set_yticks(range(8), [str(8 - r) for r in range(8)])
            ax.set_title("%s, %s" % (kind, half), fontsize=14)
    figure.tight_layout()
    pathlib.Path(args.out).parent.mkdir(parents=True, exist_ok=True)
    figure.savefig(args.out, dpi=80)
    print("wrote", args.out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
