#!/usr/bin/env python3
"""A short match in xboard, the Linux GUI, under a virtual display (Xvfb):
Talvoran's line-feed build through PolyGlot against Fairy-Max, two games of
20 moves in 8 s (repeating; a draw is scored after 40 moves). xboard writes
the games as PGN; every move of each is judged with the move judge, and so
are the check signs and the mates xboard scored; Talvoran must not lose on
time.
Exits 77 (skipped) when xvfb-run, xboard, polyglot or fairymax is missing.

    xboard_match.py ENGINE_LF      (run from the repository root)
"""

import os
import re
import shutil
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402  (the independent judge of legal moves)
from enginepipe import fail, run_check, scratch_folder  # noqa: E402

GAMES = 2
SEARCH_PATH = os.environ.get("PATH", "") + ":/usr/games"  # Debian puts the chess programs there
RESULTS = ("1-0", "0-1", "1/2-1/2")


def read_games(path):
    """(tags, moves in SAN, last comment) for each game of a PGN file."""
    with open(path) as source:
        text = source.read()
    games = []
    for block in re.split(r"\n(?=\[Event )", text.strip()):
        tags = dict(re.findall(r'^\[(\w+) "(.*)"\]$', block, re.M))
        body = re.sub(r"^\[.*\]$", "", block, flags=re.M)
        comments = re.findall(r"\{([^}]*)\}", body)
        tokens = re.sub(r"\{[^}]*\}|\$\d+|\d+\.(\.\.)?", " ", body).split()
        moves = [token for token in tokens if token not in RESULTS + ("*",)]
        games.append((tags, moves, comments[-1] if comments else ""))
    return games


def judge(number, tags, moves, last_comment):
    """Plays the game's moves on the judge's board; returns its plies."""
    game = movejudge.Game(tags.get("FEN"))
    for ply, san in enumerate(moves):
        board = game.board
        move = board.move_from_san(san)
        if move is None:
            fail("game %d, ply %d: %r is not a legal move in %s" % (number, ply + 1, san, board.fen()))
        if board.san(move) != san.rstrip("!?"):
            fail("game %d, ply %d: %r should read %r" % (number, ply + 1, san, board.san(move)))
        game.play(move)
    result = tags.get("Result")
    if result not in RESULTS:
        fail("game %d has no result (%r, %r)" % (number, result, last_comment))
    outcome = game.outcome()
    if outcome and outcome[1] == "checkmate" and outcome[0] != result:
        fail("game %d: mate on the board, but the result is %s" % (number, result))
    if "mate" in last_comment.lower() and not game.board.is_checkmate():
        fail("game %d ends %r without a mate on the board" % (number, last_comment))
    talvoran_white = tags.get("White", "").startswith("Talvoran")
    if "time" in last_comment.lower() and result == ("0-1" if talvoran_white else "1-0"):
        fail("game %d: Talvoran lost on time (%r)" % (number, last_comment))
    return len(moves)


def main():
    if len(sys.argv) != 2:
        print(__doc__)
        return 2
    programs = {name: shutil.which(name, path=SEARCH_PATH) for name in ("xvfb-run", "xboard", "polyglot", "fairymax")}
    if None in programs.values():
        print("skipped: not installed: %s" % " ".join(n for n, p in programs.items() if p is None))
        return 77
    folder = scratch_folder()
    pgn = os.path.join(folder, "games.pgn")
    environment = dict(os.environ, HOME=folder, PATH=SEARCH_PATH)  # xboard keeps settings under HOME
    command = [programs["xvfb-run"], "-a", programs["xboard"],
               "-fcp", os.path.abspath(sys.argv[1]), "-fd", folder, "-fUCI",
               "-scp", programs["fairymax"], "-sd", folder,
               "-mg", str(GAMES), "-mps", "20", "-tc", "0:08", "-adjudicateDrawMoves", "40", "-sgf", pgn,
               "-xexit", "-xponder", "-autoflag", "-soundProgram", "true"]
    try:
        finished = subprocess.run(command, cwd=folder, env=environment, capture_output=True, text=True, timeout=240)
    except subprocess.TimeoutExpired:
        fail("the match did not end within 240 s")
    score = [line for line in finished.stdout.splitlines() + finished.stderr.splitlines() if "final score" in line]
    if finished.returncode != 0 or not os.path.exists(pgn):
        fail("xboard ended with %d and no games: %s" % (finished.returncode, finished.stderr[-500:]))
    games = read_games(pgn)
    if len(games) != GAMES:
        fail("%d games in the PGN, %d wanted" % (len(games), GAMES))
    for number, (tags, moves, last_comment) in enumerate(games, 1):
        if "Talvoran" not in tags.get("White", "") + tags.get("Black", ""):
            fail("game %d was not played by Talvoran: %r" % (number, tags))
        plies = judge(number, tags, moves, last_comment)
        print("game %d: %s - %s %s, %d legal plies, %s" % (number, tags["White"], tags["Black"], tags["Result"],
                                                           plies, last_comment))
    if not os.path.exists(os.path.join(folder, "spynull.txt")):
        fail("the engine did not run in the folder given to xboard")
    print(score[-1].strip() if score else "no final score line")
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    run_check(main)
