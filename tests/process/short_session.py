#!/usr/bin/env python3
"""A short session of a line-feed engine as a GUI holds it: uci, isready,
one search on a clock after 1. e4, the best move judged legal, then quit,
which must end the engine with status 0. The engine runs in a new folder with
the repository's Data/; its command may start with an emulator. Prints the
lines exchanged.

    short_session.py COMMAND...   e.g. short_session.py qemu-aarch64 build-arm64/talvoran-lf
"""

import os
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
import movejudge  # noqa: E402  (the independent judge of legal moves)
from enginepipe import Engine, fail, run_check, scratch_folder  # noqa: E402

COMMANDS = (["uci"], "uciok"), (["isready"], "readyok"), \
    (["position startpos moves e2e4", "go wtime 1000 btime 1000"], "bestmove")


def play(command, folder):
    """Plays the session with the command started in folder; returns the
    lines sent and read, those sent marked with "> "."""
    engine = Engine(command, folder)
    transcript = []
    for lines, prefix in COMMANDS:
        seen, _ = engine.ask(lines, prefix, timeout=60)
        transcript += ["> " + line for line in lines] + seen
    move = transcript[-1].split()[1]
    if move not in movejudge.Board.start().play("e2e4").legal_moves():
        fail("illegal best move %r" % move)
    if engine.quit(30) != 0:
        fail("quit did not end the engine with status 0")
    return transcript + ["> quit"]


def main():
    if len(sys.argv) < 2:
        print(__doc__)
        return 2
    command = [os.path.abspath(word) if os.sep in word else word for word in sys.argv[1:]]
    for line in play(command, scratch_folder()):
        print("  " + line)
    return 0


if __name__ == "__main__":
    run_check(main)
