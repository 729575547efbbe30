#!/usr/bin/env python3
"""Tunes the shape of the piece-square files by games: SPSA over a few
numbers that reshape the tables, rather than over the 768 cells.

    tools/spsa/spsa.py FASTCHESS ENGINE STATE [--iterations N] [--tc 1+0.01]
    tools/spsa/spsa.py --write DIR STATE
    tools/spsa/spsa.py --report STATE

FASTCHESS is a fastchess binary, ENGINE a talvoran-lf; the files reshaped
are those of the repository's Data/ (Hashtable.ini and Random.bin are
copied as they are). The parameters, per kind and half of the tables:
  spread   the values' distance from their mean is multiplied by it (start 1),
  mean     centipawns added to every value (start 0; knight to queen only,
           since a constant on the kings cancels and the pawn is the unit).
An iteration draws a sign for every parameter, writes theta + c * sign and
theta - c * sign into two folders beside STATE and plays them against each
other from two openings of tests/data/openings.epd, colours reversed, two
games at once; then theta moves by r * c * sign * (plus's wins - losses).
STATE, a JSON file, keeps theta, the iterations done and the games' tally,
so a stopped run goes on where it stopped. --write writes theta's files.
--report prints theta and, from every iteration's signs and result, what
each parameter was worth in the games: the Elo of theta + c over theta - c
along that parameter alone, with its 95 % interval.
"""

import argparse
import json
import math
import os
import pathlib
import random
import re
import shutil
import subprocess
import sys
import tempfile

ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
sys.path.insert(0, os.path.join(ROOT, "tools", "tune"))
from heatmap import KINDS, read_table  # noqa: E402  the files as the engine reads them
HALVES = ["mg", "eg"]
SPREAD_C, MEAN_C = 0.3, 30.0  # the perturbations
RATE = 0.005                  # r: a step is r * c * (wins - losses)


def parameters():
    """The parameters' names with their start and perturbation."""
    table = []
    for kind in KINDS:
        for half in HALVES:
            table.append((f"{kind}.{half}.spread", 1.0, SPREAD_C))
    for kind in KINDS[1:5]:
        for half in HALVES:
            table.append((f"{kind}.{half}.mean", 0.0, MEAN_C))
    return table


def read_tables(folder):
    """Each kind's file as 8 rows of 16 numbers, rank 8 first."""
    tables = {}
    for kind in KINDS:
        middle, end = read_table(pathlib.Path(folder, kind + ".txt"))
        tables[kind] = [m + e for m, e in zip(middle, end)]
    return tables


def cells(kind, half):
    """The (row, column) cells of a kind's half that the evaluation reads:
    a pawn never stands on the first or last rank."""
    rows = range(1, 7) if kind == "Pawn" else range(8)
    first = 0 if half == "mg" else 8
    return [(r, c) for r in rows for c in range(first, first + 8)]


def reshape(tables, theta):
    """The tables with theta's spreads and means applied, rounded; the kings
    lifted by one constant if any value would fall below 0."""
    out = {kind: [row[:] for row in rows] for kind, rows in tables.items()}
    for kind in KINDS:
        for half in HALVES:
            used = cells(kind, half)
            mean = sum(tables[kind][r][c] for r, c in used) / len(used)
            spread = theta.get(f"{kind}.{half}.spread", 1.0)
            shift = theta.get(f"{kind}.{half}.mean", 0.0)
            values = [mean + spread * (tables[kind][r][c] - mean) + shift for r, c in used]
            lift = max(0.0, -min(values)) if kind == "King" else 0.0
            for (r, c), value in zip(used, values):
                out[kind][r][c] = max(0, min(32767, round(value + lift)))
    return out


def write_data(tables, folder):
    os.makedirs(folder, exist_ok=True)
    for kind in KINDS:
        with open(os.path.join(folder, kind + ".txt"), "w") as f:
            for row in tables[kind]:
                f.write(" ".join(f"{v:4d}" for v in row) + "\n")
    for name in ("Hashtable.ini", "Random.bin"):
        shutil.copy(os.path.join(ROOT, "Data", name), folder)


def tally(pgn):
    """plus's wins, losses, draws and the games lost on time in a PGN."""
    wins = losses = draws = forfeits = 0
    for game in pgn.split("[Event ")[1:]:
        white = re.search(r'\[White "(.*?)"\]', game).group(1)
        result = re.search(r'\[Result "(.*?)"\]', game).group(1)
        if "time forfeit" in game:
            forfeits += 1
        if result == "1/2-1/2":
            draws += 1
        elif result in ("1-0", "0-1"):
            if (result == "1-0") == (white == "plus"):
                wins += 1
            else:
                losses += 1
    return wins, losses, draws, forfeits


def play(fastchess, engine, work, opening, tc):
    """Two openings from the opening-th, both colours each: plus's tally."""
    pgn = os.path.join(work, "games.pgn")
    if os.path.exists(pgn):
        os.remove(pgn)
    command = [fastchess]
    for name in ("plus", "minus"):
        command += ["-engine", f"cmd={engine}", f"dir={os.path.join(work, name)}", f"name={name}"]
    command += ["-each", "proto=uci", f"tc={tc}", "-rounds", "2", "-games", "2", "-repeat",
                "-concurrency", "2", "-recover",
                "-openings", f"file={os.path.join(ROOT, 'tests', 'data', 'openings.epd')}",
                "format=epd", "order=sequential", f"start={opening}",
                "-pgnout", f"file={pgn}"]
    # in work, where fastchess leaves its config.json when it is stopped
    subprocess.run(command, cwd=work, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=True)
    with open(pgn) as f:
        return tally(f.read())


def signs_of(seed, iteration):
    """The iteration's sign for every parameter, the same on every run."""
    chooser = random.Random(seed * 1000003 + iteration)
    return {name: chooser.choice((-1, 1)) for name, _, _ in parameters()}


def report(state):
    """theta, and each parameter's worth: the mean of sign * (wins - losses)
    over the iterations is the expected result of plus against minus had only
    that parameter differed (the other signs average out); near 50 % an Elo
    is 1/695 of a game's score, and an iteration is 4 games."""
    history = state["history"]
    n = len(history)
    print(f"{state['iteration']} iterations: +{state['wins']} -{state['losses']} ={state['draws']}, "
          f"{state['forfeits']} lost on time")
    if n < 2:
        return
    mean_result = sum(history) / n
    spread = math.sqrt(sum((r - mean_result) ** 2 for r in history) / (n - 1))
    to_elo = 695 / (2 * 4)
    signs = [signs_of(state["seed"], k) for k in range(n)]
    for name, _, c in parameters():
        effect = sum(sign[name] * r for sign, r in zip(signs, history)) / n
        print(f"{name:18} {state['theta'][name]:8.3f}   2c = {2 * c:5.1f}: "
              f"{to_elo * effect:+6.1f} +/- {to_elo * 1.96 * spread / math.sqrt(n):5.1f} Elo")


def load_state(path):
    if os.path.exists(path):
        with open(path) as f:
            return json.load(f)
    return {"theta": {name: start for name, start, _ in parameters()},
            "iteration": 0, "wins": 0, "losses": 0, "draws": 0, "forfeits": 0,
            "history": []}


def save_state(state, path):
    with tempfile.NamedTemporaryFile("w", dir=os.path.dirname(path) or ".", delete=False) as f:
        json.dump(state, f, indent=1)
    os.replace(f.name, path)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("args", nargs="+", help="FASTCHESS ENGINE STATE, or STATE with --write or --report")
    parser.add_argument("--iterations", type=int, default=100)
    parser.add_argument("--tc", default="1+0.01")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--write", metavar="DIR")
    parser.add_argument("--report", action="store_true")
    options = parser.parse_args()
    state_path = os.path.abspath(options.args[-1])
    state = load_state(state_path)
    state.setdefault("seed", options.seed)
    if options.report:
        report(state)
        return 0
    tables = read_tables(os.path.join(ROOT, "Data"))
    if options.write:
        write_data(reshape(tables, state["theta"]), options.write)
        return 0
    if len(options.args) != 3:
        parser.error("FASTCHESS ENGINE STATE expected")
    fastchess, engine = (os.path.abspath(a) for a in options.args[:2])
    work = os.path.splitext(state_path)[0] + "-games"
    with open(os.path.join(ROOT, "tests", "data", "openings.epd")) as f:
        openings = sum(1 for line in f if line.strip())
    for _ in range(options.iterations):
        k = state["iteration"]
        signs = signs_of(state["seed"], k)
        for side, direction in (("plus", 1), ("minus", -1)):
            theta = {name: state["theta"][name] + direction * c * signs[name]
                     for name, _, c in parameters()}
            write_data(reshape(tables, theta), os.path.join(work, side, "Data"))
        wins, losses, draws, forfeits = play(fastchess, engine, work, 1 + (2 * k) % openings, options.tc)
        for name, _, c in parameters():
            state["theta"][name] += RATE * c * signs[name] * (wins - losses)
        state["iteration"] = k + 1
        state["history"].append(wins - losses)
        for key, value in (("wins", wins), ("losses", losses), ("draws", draws), ("forfeits", forfeits)):
            state[key] += value
        save_state(state, state_path)
        shown = " ".join(f"{value:.3f}" if name.endswith("spread") else f"{value:.1f}"
                         for name, value in state["theta"].items())
        print(f"{k + 1} +{wins} -{losses} ={draws} t{forfeits}  {shown}", flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
