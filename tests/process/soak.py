#!/usr/bin/env python3
"""Soak run: many fast games of the engine against itself through pipes.

Two engine processes, each in its own scratch folder, play every game (they
swap colours every two games and are never restarted). The games start
from the opening positions of tests/data/openings.epd; each side's clock is
drawn between --min-clock and --max-clock seconds, evenly on a log scale (as many games
of 1 to 8 s as of 8 to 60 s: short clocks test the time rule hardest, and a
game lasts about twice its clock). Every move is judged by the independent
move judge of python/movejudge.py; the run fails on

  - an illegal or unreadable move, or "0000" while a legal move exists;
  - a go answered by no bestmove within the clock and 5 s (a hang), or by
    more than one bestmove (an extra one shows before the next go or at the
    isready after each game);
  - a move that arrives after the mover's clock ran out (time forfeit);
  - an output line that is neither id, uciok, readyok, info nor bestmove;
  - an engine that exits;
  - resident memory of an engine that, at the end, differs by more than
    1 MiB from what it was after the first game.

Every second game is a fast one instead, in turn 1 s + 10 ms, 0.5 s + 5 ms
and sudden death at 2 s a side: there the cost of each move beyond the
engine's own thinking (reading, set-up, table clear, the pipes) is larger
than the increment unless it stays near a millisecond, and the game is lost
on time (--no-fast leaves them out).

A sanitizer build keeps freed memory aside for a while: run it with
ASAN_OPTIONS=quarantine_size_mb=0 for the memory check to mean anything.

    tests/process/soak.py [--games 500] [--engine build/talvoran] [--min-clock 1]
                  [--max-clock 60] [--increment 0.1] [--max-plies 400]
                  [--data Data] [--seed 1] [--no-fast]   (from the repository root)
"""

import argparse
import math
import os
import random
import re
import sys
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), "..", ".."))
sys.path.insert(0, os.path.join(REPO, "python"))
import movejudge  # noqa: E402  (standard rules, written apart from the engine)
from enginepipe import Engine, EngineError, scratch_folder  # noqa: E402

MOVE = re.compile(r"^bestmove ([a-h][1-8][a-h][1-8][nbrq]?|0000)$")
ALLOWED = re.compile(r"^(info( .*)?|id name .*|id author .*|uciok|readyok|bestmove .*)$")
FAST_CONTROLS = ((1.0, 0.01), (0.5, 0.005), (2.0, 0.0))  # clock and increment, seconds
HANG_GRACE = 5.0      # seconds past the clock before a silent engine counts as hung
RSS_TOLERANCE = 1024  # KiB


class SoakFailure(Exception):
    pass


def checked(engine, lines):
    """The lines, once each is one that the engine may write."""
    for line in lines:
        if not ALLOWED.match(line):
            raise SoakFailure("%s: unexpected output line %r" % (engine.name, line))
    return lines


def no_answer(engine, lines, wanted):
    """A bestmove among lines answers no go (one go, two answers)."""
    for line in checked(engine, lines):
        if line.startswith("bestmove"):
            raise SoakFailure("%s: %r answers no go, before %r (one go, two answers)" % (engine.name, line, wanted))


def resident_kib(engine):
    with open("/proc/%d/status" % engine.process.pid) as status:
        for line in status:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    raise SoakFailure("%s: no resident size" % engine.name)


def opening_fens(path):
    with open(path) as epd:
        return [line.split(";")[0].strip() for line in epd if line.strip()]


def play_move(engine, start_fen, moves, clocks, white, increment):
    """Asks the engine for a move; returns its text and the seconds it took."""
    line = "position fen %s" % start_fen
    if moves:
        line += " moves " + " ".join(moves)
    mover = 0 if white else 1
    wtime, btime = (max(1, int(clock * 1000)) for clock in clocks)
    inc = int(increment * 1000)
    no_answer(engine, engine.drain(), "position")
    go = "go wtime %d btime %d winc %d binc %d" % (wtime, btime, inc, inc)
    try:
        lines, took = engine.ask([line, go], "bestmove", clocks[mover] + HANG_GRACE)
    except EngineError as error:
        checked(engine, error.lines)
        if engine.ended:
            raise
        engine.send("stop")
        try:
            late = engine.wait_until("bestmove", HANG_GRACE)[-1]
        except EngineError:
            late = None
        raise SoakFailure("%s: no bestmove within its clock and %.0f s (hang; after stop: %r) at: %s" %
                          (engine.name, HANG_GRACE, late, line))
    match = MOVE.match(checked(engine, lines)[-1])
    if not match:
        raise SoakFailure("%s: unreadable %r" % (engine.name, lines[-1]))
    return match.group(1), took


def play_game(engines, fen, clock, increment, max_plies):
    """Plays one game; returns its result text, its number of plies and the
    longest time a move took."""
    game = movejudge.Game(fen)
    clocks = [clock, clock]
    longest = 0.0
    while True:
        outcome = game.outcome()
        if outcome or len(game.moves) >= max_plies:
            return outcome[1] if outcome else "ply limit", len(game.moves), longest
        white = game.board.white_to_move
        mover = 0 if white else 1
        engine = engines[mover]
        move, took = play_move(engine, fen, game.moves, clocks, white, increment)
        longest = max(longest, took)
        clocks[mover] -= took
        if clocks[mover] < 0:
            raise SoakFailure("%s: move %d (%s) came %.0f ms after its clock ran out" %
                              (engine.name, len(game.moves) + 1, move, -clocks[mover] * 1000))
        clocks[mover] += increment
        try:
            game.play(move)
        except ValueError:
            raise SoakFailure("%s: illegal move %s after %s moves %s" %
                              (engine.name, move, fen, " ".join(game.moves)))

def sync(engines):
    """isready on both engines: an extra bestmove shows up before readyok."""
    for engine in engines:
        engine.send("isready")
        no_answer(engine, engine.wait_until("readyok", 30), "readyok")


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--games", type=int, default=500)
    parser.add_argument("--engine", default=os.path.join(REPO, "build", "talvoran"))
    parser.add_argument("--min-clock", type=float, default=1.0, help="seconds per side, least")
    parser.add_argument("--max-clock", type=float, default=60.0, help="seconds per side, most")
    parser.add_argument("--increment", type=float, default=0.1,
                        help="seconds added after each move in the games that are not fast")
    parser.add_argument("--no-fast", action="store_true", help="no fast games (see above)")
    parser.add_argument("--max-plies", type=int, default=400, help="a game this long is a draw")
    parser.add_argument("--openings", default=os.path.join(REPO, "tests", "data", "openings.epd"))
    parser.add_argument("--data", default=os.path.join(REPO, "Data"), help="the engines' data folder")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--first-game", type=int, default=1, help="number of the first game to play")
    args = parser.parse_args()

    fens = opening_fens(args.openings)
    first = args.first_game
    engines = [Engine([os.path.abspath(args.engine)], scratch_folder(args.data), None, name) for name in "AB"]
    started = time.monotonic()
    results = {}
    plies = 0
    rss_start = None
    try:
        for engine in engines:
            engine.send("uci")
            checked(engine, engine.wait_until("uciok", 30))
        sync(engines)
        for game in range(first - 1, first - 1 + args.games):
            chooser = random.Random(args.seed * 100003 + game)  # game n is the same in every run
            fen = chooser.choice(fens)
            clock = round(math.exp(chooser.uniform(math.log(args.min_clock), math.log(args.max_clock))), 3)
            increment = args.increment
            if game % 2 == 1 and not args.no_fast:
                clock, increment = FAST_CONTROLS[game // 2 % len(FAST_CONTROLS)]
            pair = engines if game // 2 % 2 == 0 else engines[::-1]
            result, count, longest = play_game(pair, fen, clock, increment, args.max_plies)
            sync(engines)
            results[result] = results.get(result, 0) + 1
            plies += count
            print("%s game %d: %s, %d plies, clock %.3f s + %.3f s, longest move %.3f s, %s white" %
                  (time.strftime("%H:%M:%S"), game + 1, result, count, clock, increment, longest, pair[0].name),
                  flush=True)
            if rss_start is None:
                rss_start = [resident_kib(engine) for engine in engines]
        rss_end = [resident_kib(engine) for engine in engines]
        for engine, first, last in zip(engines, rss_start or rss_end, rss_end):
            print("%s resident: %d KiB after the first game, %d KiB at the end" % (engine.name, first, last))
            if abs(last - first) > RSS_TOLERANCE:
                raise SoakFailure("%s: resident size moved by %d KiB" % (engine.name, last - first))
    except (SoakFailure, EngineError) as failure:
        print("FAILED: %s" % failure)
        print("soak: 0 passed, 1 failed")
        return 1
    finally:
        for engine in engines:
            try:
                engine.quit()
            except EngineError:
                pass  # killed
    print("soak: %d games, %d plies in %.0f s; %s" % (args.games, plies, time.monotonic() - started,
          ", ".join("%s %d" % item for item in sorted(results.items()))))
    print("%d passed, 0 failed" % args.games)
    return 0


if __name__ == "__main__":
    sys.exit(main())
