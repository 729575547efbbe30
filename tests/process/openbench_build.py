#!/usr/bin/env python3
"""The OpenBench build as a worker meets it: built by `make EXE=... CXX=g++`
from the committed tree (git archive, no .git), only the binary kept; its
bench read by the worker's two patterns, two copies at once, equal to the
native bench signature; a UCI session with line-feed lines and a legal
bestmove; two fast games against itself. Every engine runs in an empty folder.

    openbench_build.py BENCH_PROGRAM     (from the repository root; 77 = skipped)
"""

import io
import os
import re
import shutil
import subprocess
import sys
import tarfile

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402  (the independent judge of legal moves)
from enginepipe import Engine, fail, run_check, scratch_folder  # noqa: E402

EXE = "talvoran-ob-test"
NODES = re.compile(r"(\d+\s+nodes)|(nodes\s+\d+)|(nodes searched\s+\d+)", re.I)
NPS = re.compile(r"(\d+\s+nps)|(nps\s+\d+)|(nodes second\s+\d+)", re.I)
CLOCK_MS, INCREMENT_MS, MAX_PLIES = 1000, 10, 200


def build(client):
    """Unpacks HEAD into a new folder, runs make there and keeps only the
    binary, in client/Engines as a worker does; returns its path."""
    archive = subprocess.run(["git", "archive", "--format=tar", "HEAD"], capture_output=True, check=True).stdout
    tree = scratch_folder(data=None)
    with tarfile.open(fileobj=io.BytesIO(archive)) as tar:
        tar.extractall(tree)
    made = subprocess.run(["make", "EXE=" + EXE, "CXX=g++"], cwd=tree, capture_output=True, text=True)
    if made.returncode != 0 or not os.path.isfile(os.path.join(tree, EXE)):
        fail("make failed:\n" + made.stdout[-2000:] + made.stderr[-2000:])
    os.mkdir(os.path.join(client, "Engines"))
    shutil.move(os.path.join(tree, EXE), os.path.join(client, "Engines"))
    shutil.rmtree(tree)
    return os.path.join(client, "Engines", EXE)


def reading(output):
    """The node count and speed as the worker reads them: lines split at line
    feeds, searched from the last up, the first match of each pattern."""
    nodes = nps = None
    for line in reversed(output.split("\n")):
        nodes = nodes or NODES.search(line)
        nps = nps or NPS.search(line)
    if not nodes or not nps:
        fail("bench output unreadable: %r" % output)
    return int(re.search(r"\d+", nodes.group()).group()), int(re.search(r"\d+", nps.group()).group())


def check_bench(client, signature):
    """Two copies of ./Engines/EXE bench at once, from the client's folder."""
    command = ["./Engines/" + EXE, "bench"]
    copies = [subprocess.Popen(command, cwd=client, stdout=subprocess.PIPE, text=True) for _ in range(2)]
    for copy in copies:
        output = copy.communicate(timeout=60)[0]
        nodes, nps = reading(output)
        if copy.returncode != 0 or nodes != signature or nps <= 0:
            fail("bench gave %r (status %d); the signature is %d" % (output, copy.returncode, signature))
    print("ok: two benches at once read %d nodes, e.g. %r" % (signature, output.strip()))


def start(binary):
    """The engine in a new empty folder, past uciok and readyok."""
    engine = Engine([binary], scratch_folder(data=None), keep_output=True)
    engine.ask(["uci"], "uciok")
    engine.ask(["isready"], "readyok")
    return engine


def check_session(binary):
    engine = start(binary)
    lines, _ = engine.ask(["position startpos moves e2e4 e7e5", "go wtime 1000 btime 1000"], "bestmove")
    game = movejudge.Game()
    game.play("e2e4")
    game.play("e7e5")
    engine.quit()
    if b"\r" in engine.output or lines[-1][len("bestmove "):] not in game.board.legal_moves():
        fail("session gave %r" % lines[-3:])
    print("ok: LF-only lines, legal %s" % lines[-1])


def play_game(engines, fen):
    """One game on 1 s + 10 ms; fails on an illegal move or a move that came
    after the mover's clock had run out. Returns its plies and how it ended."""
    game, clocks = movejudge.Game(fen), [CLOCK_MS, CLOCK_MS]
    while not game.outcome() and len(game.moves) < MAX_PLIES:
        side = len(game.moves) % 2
        position = "position fen %s%s" % (fen, " moves " + " ".join(game.moves) if game.moves else "")
        go = "go wtime %d btime %d winc %d binc %d" % (clocks[0], clocks[1], INCREMENT_MS, INCREMENT_MS)
        lines, took = engines[side].ask([position, go], "bestmove", timeout=CLOCK_MS / 1000 + 5)
        clocks[side] -= int(took * 1000)
        if clocks[side] < 0:
            fail("lost on time at ply %d of %s" % (len(game.moves), fen))
        clocks[side] += INCREMENT_MS
        move = lines[-1][len("bestmove "):]
        if move not in game.board.legal_moves():
            fail("illegal %r after %s" % (lines[-1], " ".join(game.moves)))
        game.play(move)
    return len(game.moves), (game.outcome() or ("*", "ply limit"))[1]


def main():
    if subprocess.run(["git", "rev-parse", "HEAD"], capture_output=True).returncode != 0:
        print("skipped: not in a git checkout")
        return 77
    native = subprocess.run([sys.argv[1]], capture_output=True, text=True).stdout
    signature = int(re.search(r"bench nodes (\d+)", native).group(1))
    client = scratch_folder(data=None)
    binary = build(client)
    check_bench(client, signature)
    check_session(binary)
    with open("tests/data/openings.epd") as epd:
        fens = [line.split(";")[0].strip() for line in epd][:2]
    engines = [start(binary), start(binary)]
    for number, fen in enumerate(fens):
        print("ok: game %d, %d plies, %s" % (number + 1, *play_game(engines[number:] + engines[:number], fen)))
    for engine in engines:
        engine.quit()
    return 0


if __name__ == "__main__":
    run_check(main)
