#!/usr/bin/env python3
"""The engine through its pipes: a whole game against itself on a clock,
every move judged legal and every go answered by exactly one bestmove; then
stop, ponderhit, isready and quit while it thinks.

    search_e2e.py ENGINE      (the CR build; run from the repository root)
"""

import os
import re
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402  (the independent judge of legal moves)
from enginepipe import Engine, EngineError, fail, run_check, scratch_folder  # noqa: E402

CLOCK_MS, INCREMENT_MS, MAX_PLIES = 2000, 20, 300
MOVE = r"[a-h][1-8][a-h][1-8][nbrq]?"
INFO_LINES = [re.compile(pattern) for pattern in (
    r"info depth \d+ seldepth \d+",
    r"info depth \d+ seldepth \d+ score cp -?\d+ nodes \d+ time [1-9]\d* nps \d+ pv %s( %s)*" % (MOVE, MOVE),
    r"info( depth \d+ seldepth \d+)? currmove  %s currmovenumber \d+ nodes \d+ time [1-9]\d* nps \d+" % MOVE,
    r"info depth \d+ seldepth \d+ nodes \d+ time [1-9]\d* nps \d+",
)]


def check_engine_lines(lines):
    """Every info line is one of the four forms, and no line holds a line
    feed (the engine ends lines with a lone CR)."""
    for line in lines:
        if "\n" in line:
            fail("a line feed in %r" % line)
        if line.startswith("info") and not any(p.fullmatch(line) for p in INFO_LINES):
            fail("malformed info line %r" % line)


def start(engine):
    child = Engine([engine], scratch_folder(), b"\r")
    child.send("uci")
    child.wait_until("uciok")
    child.send("isready")
    child.wait_until("readyok")
    return child


def play_game(engine):
    """Self-play to mate, stalemate, fifty moves, threefold repetition or
    MAX_PLIES; returns the number of plies and how the game ended."""
    child = start(engine)
    game, clocks, ending = movejudge.Game(), [CLOCK_MS, CLOCK_MS], "ply limit"
    moves = game.moves
    while len(moves) < MAX_PLIES:
        side = len(moves) % 2
        position = "position startpos" + (" moves " + " ".join(moves) if moves else "")
        go = "go wtime %d btime %d winc %d binc %d" % (clocks[0], clocks[1], INCREMENT_MS, INCREMENT_MS)
        lines, took = child.ask([position, go], "bestmove")
        clocks[side] = max(1, clocks[side] - int(took * 1000)) + INCREMENT_MS
        check_engine_lines(lines)
        move = lines[-1][len("bestmove "):]
        if lines[-1] != "bestmove " + move or move not in game.board.legal_moves():
            fail("illegal answer %r after %s" % (lines[-1], " ".join(moves)))
        game.play(move)
        moves = game.moves
        outcome = game.outcome()
        if outcome:
            ending = outcome[1]
            break
    child.send("isready")
    extra = [line for line in child.wait_until("readyok") if line.startswith("bestmove")]
    if extra:
        fail("a go was answered more than once: %r" % extra)
    child.quit()
    return len(moves), ending


def check_commands_while_thinking(engine):
    """stop ends an infinite search, ponderhit lets a ponder search end on
    time, isready is answered at once, quit ends the process silently."""
    child = start(engine)
    child.send("position fen 8/8/8/4k3/8/8/8/3QK3 w - - 0 1", "go infinite")
    lines, deadline = [], time.monotonic() + 30
    # A root move begun after the first second is announced; how soon one
    # begins depends on the machine, since an iteration here can take seconds.
    while not any(" currmove " in line for line in lines):
        try:
            lines += child.wait_until("info", timeout=max(0.0, deadline - time.monotonic()))
        except EngineError:
            fail("no currmove line within 30 s of go infinite")
    child.send("stop")
    lines += child.wait_until("bestmove")
    check_engine_lines(lines)
    first = next(line for line in lines if " currmove " in line)
    if int(re.search(r" time (\d+)", first).group(1)) < 1000:
        fail("a currmove line within the first second: %r" % first)
    if lines[-1][9:] not in movejudge.Board.from_fen("8/8/8/4k3/8/8/8/3QK3 w - - 0 1").legal_moves():
        fail("illegal answer to stop: %r" % lines[-1])

    child.send("position startpos moves e2e4", "go ponder wtime 1000 btime 1000")
    time.sleep(0.3)
    child.send("isready")
    lines = child.wait_until("readyok")
    if any(line.startswith("bestmove") for line in lines):
        fail("a ponder search ended by itself: %r" % lines[-3:])
    child.send("ponderhit")
    lines = child.wait_until("bestmove", timeout=60)
    check_engine_lines(lines)

    child.send("go infinite")
    time.sleep(0.3)
    try:
        child.quit()
    except EngineError:
        fail("quit during a search did not end the process")
    if any(line.startswith("bestmove") for line in child.drain()):
        fail("bestmove after quit")
    with open(os.path.join(child.folder, "spynull.txt"), "rb") as log:
        last = log.read().rstrip(b"\r\n").split(b"\r\n")[-1]
    if b"   END:     " not in last:
        fail("the log does not end with END: %r" % last)


def check_closed_input(engine):
    """An infinite search whose input closes can never be stopped: it answers
    and the engine ends."""
    child = start(engine)
    child.send("position startpos", "go infinite")
    time.sleep(0.3)
    child.close_input()
    lines = child.wait_until("bestmove")
    check_engine_lines(lines)
    child.wait()


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    engine = os.path.abspath(sys.argv[1])
    plies, ending = play_game(engine)
    print("self-play: %d plies, %s" % (plies, ending))
    check_commands_while_thinking(engine)
    print("stop, ponderhit, isready and quit during a search: ok")
    check_closed_input(engine)
    print("closed input during an infinite search: ok")
    print("3 passed, 0 failed")
    return 0


if __name__ == "__main__":
    run_check(main)
