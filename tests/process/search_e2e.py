#!/usr/bin/env python3
"""The engine through its pipes: a whole game against itself on a clock,
every move judged legal and every go answered by exactly one bestmove; then
stop, ponderhit, isready and quit while it thinks, whole or in two pieces,
and the end of its input in the middle of a long iteration.

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
# Its iterations grow from a tenth of a second to many seconds.
MIDDLE_GAME = "r1bq1rk1/pp2bppp/2n1pn2/3p4/2PP4/2N1PN2/PP1B1PPP/R2QKB1R w KQ - 0 1"
SPLIT_PAUSE = 0.3  # seconds between the two pieces of a command: many polls
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


def write_in_two_pieces(child, command, cut):
    """Writes the command's first cut characters, then after SPLIT_PAUSE the
    rest and a line feed; returns the lines that came in between."""
    child.write(command[:cut].encode("ascii"))
    time.sleep(SPLIT_PAUSE)
    early = child.drain()
    if child.process.poll() is not None:
        fail("the engine ended on the piece %r" % command[:cut])
    child.write(command[cut:].encode("ascii") + b"\n")
    return early


def check_split_commands(engine):
    """isready, stop, ponderhit and quit written in two pieces during a search
    act once their line is whole, and not on the first piece."""
    child = start(engine)
    child.send("position fen " + MIDDLE_GAME, "go infinite")
    child.wait_until("info depth")
    for command, cut, reply in (("isready", 3, "readyok"), ("stop", 2, "bestmove")):
        early = write_in_two_pieces(child, command, cut)
        if any(line.startswith(("readyok", "bestmove")) for line in early):
            fail("%r acted on before its line was whole: %r" % (command, early[-3:]))
        check_engine_lines(child.wait_until(reply, timeout=10))

    child.send("position startpos moves e2e4", "go ponder wtime 1000 btime 1000")
    child.wait_until("info depth")
    if any(line.startswith("bestmove") for line in write_in_two_pieces(child, "ponderhit", 6)):
        fail("a ponder search ended before its ponderhit was whole")
    check_engine_lines(child.wait_until("bestmove", timeout=30))

    child.send("go infinite")
    child.wait_until("info depth")
    write_in_two_pieces(child, "quit", 2)
    child.wait(timeout=10)
    if any(line.startswith("bestmove") for line in child.drain()):
        fail("bestmove after a quit in two pieces")


def check_closed_input(engine):
    """An infinite search whose input closes can never be stopped: it answers
    and the engine ends, within a couple of seconds even when the input closes
    at the start of an iteration that runs for seconds."""
    child = start(engine)
    child.send("position fen " + MIDDLE_GAME, "go infinite")
    began = None
    while True:
        # the start of an iteration that follows one of 0.6 s or more, and so
        # runs for seconds (its branching factor is 2 to 9)
        lines = child.wait_until("info depth", timeout=60)
        if INFO_LINES[0].fullmatch(lines[-1]):
            if began is not None and child.arrived - began >= 0.6:
                break
            began = child.arrived
    child.close_input()
    closed = time.monotonic()
    check_engine_lines(child.wait_until("bestmove", timeout=60))
    child.wait(timeout=60)
    if time.monotonic() - closed > 2.0:
        fail("the engine ended %.1f s after its input closed" % (time.monotonic() - closed))


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    engine = os.path.abspath(sys.argv[1])
    plies, ending = play_game(engine)
    print("self-play: %d plies, %s" % (plies, ending))
    check_commands_while_thinking(engine)
    print("stop, ponderhit, isready and quit during a search: ok")
    check_split_commands(engine)
    print("isready, stop, ponderhit and quit in two pieces during a search: ok")
    check_closed_input(engine)
    print("closed input during a long iteration: ok")
    print("4 passed, 0 failed")
    return 0


if __name__ == "__main__":
    run_check(main)
