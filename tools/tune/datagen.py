#!/usr/bin/env python3
"""Plays chess games and writes labelled positions to learn from.

Two sources of games. By default Stockfish plays itself with a fixed node
budget. With --talvoran, Talvoran plays (against itself, or against a UCI
engine given by --opponent) on a clock, and Stockfish only scores: every
position of the game is searched by Stockfish with the node budget. Either
way every position is written with the game's result and Stockfish's score
of it and best move there, one line per position:

    FEN; result R; score S; ply P; best M; game G

R is 1, 0.5 or 0 from white's view, S centipawns from white's view ("mate N"
when Stockfish sees a mate, N plies with a sign for the side that mates), P
the ply since the opening position, M Stockfish's move. Every game starts
from a position of the openings file followed by a few random legal plies,
all chosen from the seed and the game's number (against an opponent, games
2n and 2n+1 share a start with colours reversed), so a game of Stockfish's
is the same game in every run; Talvoran's games on a clock vary with the
machine's speed. A game's lines are appended together when it ends, so a
stopped run leaves whole games only; run it again with the same arguments
and it plays only the games not yet written.

    tools/tune/datagen.py --games 20000 -j 2 --seed 1 --out positions.txt
    tools/tune/datagen.py --talvoran build/talvoran-lf --tc 2+0.02 --games 2000 \
        --first-game 1000000 --seed 2 --out talvoran.txt

With --random-moves P, Stockfish's games are shaken: at every ply, with
probability P (chosen from the seed and the game's number, so the games
stay the same in every run), a random legal move that neither captures nor
promotes is played instead of Stockfish's. The position before it is still
written with Stockfish's move; the positions after it show a piece or a king
where a strong player would not put it, as a search meets them all the
time and strong players' games hardly ever do.

A game ends by the rules (judged by python/movejudge.py), or when Stockfish
has seen one side ahead by ADJUDICATE_WIN centipawns for four plies in a
row, or, after ply 80, when its score stayed within ADJUDICATE_DRAW of zero
for ten plies, or at ply 400 as a draw. Nobody loses on time: the clock only
sets the pace.
"""

import argparse
import multiprocessing
import os
import random
import shlex
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402
from enginepipe import Engine, EngineError, scratch_folder  # noqa: E402

ADJUDICATE_WIN = 1000
ADJUDICATE_DRAW = 10
MAX_PLIES = 400

_engine = None  # the worker process's Stockfish
_players = None  # with --talvoran, the worker's two players
_settings = None


class UciEngine(Engine):
    """A UCI engine with its options set; its faults raise EngineError."""

    def __init__(self, command, folder=None, options=()):
        super().__init__(command, folder=folder)
        self.send("uci")
        self.wait_until("uciok")
        self.send(*("setoption name %s value %s" % tuple(option.split("=", 1)) for option in options))

    def new_game(self):
        self.send("ucinewgame", "isready")
        self.wait_until("readyok")

    def move(self, fen, moves, clocks, increment):
        """(move, seconds taken) on a clock: clocks = (white's, black's) in seconds."""
        wtime, btime = (max(10, int(1000 * clock)) for clock in clocks)
        inc = int(1000 * increment)
        lines, seconds = self.ask(["position fen %s%s" % (fen, " moves " + " ".join(moves) if moves else ""),
                                   "go wtime %d btime %d winc %d binc %d" % (wtime, btime, inc, inc)],
                                  "bestmove", 30 + max(clocks))
        return lines[-1].split()[1], seconds


class Stockfish(UciEngine):
    """One Stockfish process on one thread, searching by node budget."""

    def __init__(self, path, hash_mib):
        super().__init__([path], options=("Threads=1", "Hash=%d" % hash_mib))

    def best_move(self, fen, moves, nodes):
        """(move, score) for the side to move; score is ("cp", n) or ("mate", n)."""
        self.send("position fen %s%s" % (fen, " moves " + " ".join(moves) if moves else ""), "go nodes %d" % nodes)
        lines = self.wait_until("bestmove", 30 + nodes / 50000)  # it searches far faster than 50k nodes a second
        score = None
        for words in (line.split() for line in lines if line.startswith("info")):
            if "score" in words and "upperbound" not in words and "lowerbound" not in words:
                at = words.index("score")
                score = (words[at + 1], int(words[at + 2]))
        return lines[-1].split()[1], score


class Players:
    """Talvoran against itself (one process plays both sides) or against an
    opponent, each with its own clock of base seconds plus the increment."""

    def __init__(self, settings):
        self.base, self.increment = settings["clock"]
        self.talvoran = UciEngine([settings["talvoran"]], settings["folder"])
        self.opponent = None
        if settings["opponent"]:
            self.opponent = UciEngine(shlex.split(settings["opponent"]), options=settings["options"])

    def kill(self):
        for player in (self.talvoran, self.opponent):
            if player:
                player.kill()

    def new_game(self, number):
        """Sets up game number: against an opponent, the opponent is white in the even ones."""
        self.clocks = [self.base, self.base]
        self.sides = [self.talvoran, self.talvoran]
        if self.opponent:
            self.sides[number % 2] = self.opponent
            self.opponent.new_game()
        self.talvoran.new_game()

    def move(self, fen, moves, white_to_move):
        """The move of the side to move, whose clock runs meanwhile."""
        side = 0 if white_to_move else 1
        move, seconds = self.sides[side].move(fen, moves, self.clocks, self.increment)
        self.clocks[side] += self.increment - seconds
        return move


def start_worker(settings):
    global _engine, _players, _settings
    _settings = settings
    _engine = Stockfish(settings["stockfish"], settings["hash"])
    if settings["talvoran"]:
        _players = Players(settings)


def random_start(chooser, openings):
    """An opening position with 1 to 5 random legal plies played after it,
    again when those plies end the game."""
    while True:
        game = movejudge.Game(chooser.choice(openings))
        for _ in range(chooser.randint(1, 5)):
            if game.outcome() is not None:
                break
            game.play(chooser.choice(game.board.legal_moves()))
        if game.outcome() is None:
            return game.board.fen()


def white_view(score, white_to_move):
    kind, value = score
    return (kind, value if white_to_move else -value)


def play_game(number):
    """Plays game number; returns (number, lines), no lines when a player failed."""
    try:
        return number, game_lines(number)
    except EngineError as error:
        if not _players:
            raise
        print("game %d: %s" % (number, error), file=sys.stderr, flush=True)
        _engine.kill()
        _players.kill()
        start_worker(_settings)  # fresh engines for the next game
        return number, []


def game_lines(number):
    """Plays game number: Stockfish scores every position, and its move is
    played unless Talvoran's players play. Returns the game's lines."""
    settings = _settings
    chooser = random.Random(settings["seed"] * 1000003 + (number // 2 if settings["opponent"] else number))
    start = random_start(chooser, settings["openings"])
    game = movejudge.Game(start)
    _engine.new_game()
    if _players:
        _players.new_game(number)
    records = []
    ahead, quiet = 0, 0
    result = None
    while result is None:
        board = game.board
        ending = game.outcome()
        if ending is not None:
            result = {"1-0": "1", "0-1": "0"}.get(ending[0], "0.5")
            break
        if len(game.moves) >= MAX_PLIES:
            result = "0.5"
            break
        move, score = _engine.best_move(start, game.moves, settings["nodes"])
        if score is None or move not in board.legal_moves():
            raise RuntimeError("game %d: stockfish gave %s in %s" % (number, move, board.fen()))
        kind, value = white_view(score, board.white_to_move)
        records.append((board.fen(), kind, value, len(game.moves), move))
        winning = kind == "mate" or abs(value) >= ADJUDICATE_WIN
        sign = (value > 0) - (value < 0)
        ahead = ahead + sign if winning and ahead * sign >= 0 else (sign if winning else 0)
        quiet = quiet + 1 if kind == "cp" and abs(value) <= ADJUDICATE_DRAW and len(game.moves) >= 80 else 0
        if abs(ahead) >= 4:
            result = "1" if ahead > 0 else "0"
        elif quiet >= 10:
            result = "0.5"
        else:
            if settings["random"] and chooser.random() < settings["random"]:
                quiet_moves = [m for m in board.legal_moves() if not board.is_capture(m) and len(m) == 4]
                move = chooser.choice(quiet_moves) if quiet_moves else move
            elif _players:
                move = _players.move(start, game.moves, board.white_to_move)
                if move not in board.legal_moves():
                    raise EngineError("game %d: illegal move %s in %s" % (number, move, board.fen()))
            game.play(move)
    lines = []
    for fen, kind, value, ply, move in records:
        score = "mate %d" % value if kind == "mate" else "%d" % value
        lines.append("%s; result %s; score %s; ply %d; best %s; game %d\n" % (fen, result, score, ply, move, number))
    return lines


def games_written(path):
    done = set()
    if os.path.exists(path):
        with open(path) as source:
            for line in source:
                at = line.rfind("; game ")
                if at >= 0 and line.endswith("\n"):
                    done.add(int(line[at + 7:]))
    return done


def read_openings(path):
    fens = []
    with open(path) as source:
        for line in source:
            fields = line.split()
            if len(fields) >= 4:
                fens.append(" ".join(fields[:4]) + " 0 1")
    return fens


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--games", type=int, default=1000, help="games numbered from the first on (default 1000)")
    parser.add_argument("--first-game", type=int, default=0, help="the first game's number (default 0)")
    parser.add_argument("-j", "--jobs", type=int, default=os.cpu_count() or 1, help="games played at once")
    parser.add_argument("--seed", type=int, default=1)
    parser.add_argument("--nodes", type=int, default=4000, help="Stockfish's node budget per move")
    parser.add_argument("--hash", type=int, default=16, help="Stockfish's hash in MiB")
    parser.add_argument("--openings", default=os.path.join(here, "..", "..", "tests", "data", "openings.epd"))
    parser.add_argument("--stockfish", default="/usr/games/stockfish")
    parser.add_argument("--talvoran", metavar="BINARY", help="Talvoran plays (talvoran-lf), Stockfish scores")
    parser.add_argument("--data", default=os.path.join(here, "..", "..", "Data"), help="Talvoran's Data/ folder")
    parser.add_argument("--opponent", metavar="COMMAND", help="a UCI engine Talvoran plays (default: itself)")
    parser.add_argument("--option", action="append", default=[], metavar="NAME=VALUE",
                        help="a setoption for the opponent, repeatable")
    parser.add_argument("--tc", default="2+0.02", help="with --talvoran, seconds a game plus seconds a move")
    parser.add_argument("--random-moves", type=float, default=0, metavar="P",
                        help="Stockfish's games: the share of plies that play a random quiet move instead")
    parser.add_argument("--out", default="positions.txt")
    args = parser.parse_args()

    done = games_written(args.out)
    todo = [n for n in range(args.first_game, args.first_game + args.games) if n not in done]
    base, _, increment = args.tc.partition("+")
    settings = {"seed": args.seed, "nodes": args.nodes, "hash": args.hash, "stockfish": args.stockfish,
                "openings": read_openings(args.openings), "talvoran": args.talvoran and os.path.abspath(args.talvoran),
                "folder": args.talvoran and scratch_folder(args.data), "opponent": args.opponent,
                "options": args.option, "clock": (float(base), float(increment or 0)),
                "random": 0 if args.talvoran else args.random_moves}
    if args.talvoran:
        Players(settings).kill()  # a player that does not start fails here, not in every worker
    print("%d of %d games already written to %s; playing %d with %d jobs" %
          (args.games - len(todo), args.games, args.out, len(todo), args.jobs), flush=True)
    started = time.monotonic()
    positions = 0
    with open(args.out, "a") as out, multiprocessing.Pool(args.jobs, start_worker, (settings,)) as pool:
        for count, (number, lines) in enumerate(pool.imap_unordered(play_game, todo), 1):
            out.writelines(lines)
            out.flush()
            positions += len(lines)
            elapsed = time.monotonic() - started
            if count % 20 == 0 or count == len(todo):
                left = elapsed / count * (len(todo) - count)
                print("games %d/%d  positions %d  %.1f games/s  %.0f positions/s  %d:%02d left" %
                      (count, len(todo), positions, count / elapsed, positions / elapsed, left // 60, left % 60),
                      flush=True)
    return 0


if __name__ == "__main__":
    sys.exit(main())
