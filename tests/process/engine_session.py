#!/usr/bin/env python3
"""The engine programs as an interface starts them: pipes on standard input
and output, a fresh working directory (with or without Data/), the C locale.
Checks the exact output, the log's bytes, the line rules and the ending.

Usage: engine_session.py ENGINE ENGINE_LF SOURCE_DIR
"""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
from enginepipe import Engine, scratch_folder  # noqa: E402

ENGINE = ENGINE_LF = SOURCE = ""
LOG_LINE = re.compile(rb"\d\d:\d\d:\d\d(   START:   |   IN:      |   OUT:     |   END:     )(.*)", re.S)
DATE = re.compile(rb"\d\d/\d\d/\d\d")


def start(program=None, data=True):
    """The CR engine (or program) in a new folder, with or without Data/, its
    error output in errors.txt there and every output byte kept; the tests
    write raw bytes, since line ends and unended lines are what they check."""
    folder = scratch_folder(os.path.join(SOURCE, "Data") if data else None)
    with open(os.path.join(folder, "errors.txt"), "wb") as errors:
        return Engine([program or ENGINE], folder, b"\r", env={"LC_ALL": "C"}, stderr=errors, keep_output=True)


def finish(engine, close=True):
    """Waits for the end of the engine and its output: the exit status; its
    error output and log are then in engine.errors and engine.log."""
    if close:
        engine.close_input()
    status = engine.wait(60)
    engine.errors, engine.log = (read(os.path.join(engine.folder, name)) for name in ("errors.txt", "spynull.txt"))
    return status


def read(path):
    with open(path, "rb") as f:
        return f.read()


def log_entries(log):
    """The log as (label, payload); times, dates and CR LF line ends checked."""
    lines = log.split(b"\r\n")
    assert lines.pop() == b"", "the log ends with a whole line"
    entries = []
    for line in lines:
        match = LOG_LINE.fullmatch(line)
        assert match, line
        label, payload = match.group(1).strip(b" :"), match.group(2)
        if label in (b"START", b"END"):
            assert DATE.fullmatch(payload), line
            payload = b"<date>"
        entries.append((label.decode(), payload))
    return entries


class EngineSession(unittest.TestCase):
    def test_handshake_output_and_log(self):
        for program, end in ((ENGINE, b"\r"), (ENGINE_LF, b"\n")):
            engine = start(program)
            engine.write(b"uci\nisready\nquit\n")
            self.assertEqual(finish(engine), 0)
            replies = [b"id name Talvoran 101 C null", b"id author Ornel Tavask", b"uciok", b"readyok"]
            self.assertEqual(engine.output, b"".join(r + end for r in replies))
            self.assertEqual(log_entries(engine.log), [
                ("START", b"<date>"), ("IN", b"uci"), ("OUT", replies[0] + end), ("OUT", replies[1] + end),
                ("OUT", replies[2] + end), ("IN", b"isready"), ("OUT", replies[3] + end), ("IN", b"quit"),
                ("END", b"<date>")])
            self.assertEqual(engine.errors, b"")

    def test_cr_lf_gives_an_empty_line_and_quit_needs_no_terminator(self):
        engine = start()
        engine.write(b"isready\r\n")
        engine.wait_until("readyok")
        engine.write(b"quit")  # no line end, and the input stays open
        self.assertEqual(finish(engine, close=False), 0)
        self.assertEqual(log_entries(engine.log)[1:], [
            ("IN", b"isready"), ("OUT", b"readyok\r"), ("IN", b""), ("IN", b"quit"), ("END", b"<date>")])

    def test_a_long_line_is_one_command_and_the_end_of_input_ends_the_engine(self):
        engine = start()
        line = b"x " * 5000 + b"isready"
        engine.write(line + b"\n")
        self.assertEqual(finish(engine), 0)
        self.assertEqual(engine.output, b"readyok\r")
        self.assertEqual(log_entries(engine.log), [
            ("START", b"<date>"), ("IN", line), ("OUT", b"readyok\r"), ("END", b"<date>")])

    # A search meets a quit that already waits at once (it polls at the start
    # of every iteration), so each go is answered before quit is sent.
    def test_go_and_position_load_what_they_need(self):
        engine = start()
        engine.write(b"go\nposition startpos moves e2e4\ngo depth 1\n")
        engine.wait_until("bestmove ")
        engine.wait_until("bestmove ")
        engine.write(b"quit\n")
        self.assertEqual(finish(engine), 0)
        self.assertTrue(engine.output.startswith(b"bestmove 0000\r"), "nothing to search before a position")
        self.assertNotIn(b"Error", engine.output)
        self.assertEqual(engine.errors, b"")

    def test_missing_data_files_are_reported_on_the_error_output(self):
        engine = start(data=False)
        folder = engine.folder.encode()
        engine.write(b"isready\nposition startpos\ngo\n")
        engine.wait_until("bestmove ")
        engine.write(b"quit\n")
        self.assertEqual(finish(engine), 0)
        self.assertTrue(engine.output.startswith(b"readyok\r"))
        names = [b"Hashtable.ini", b"Random.bin", b"Pawn.txt", b"Knight.txt", b"Bishop.txt", b"Rook.txt",
                 b"Queen.txt", b"King.txt"]
        self.assertEqual(engine.errors, b"".join(b"Error: " + folder + b"/Data/" + n + b" not found\n" for n in names))


if __name__ == "__main__":
    ENGINE, ENGINE_LF, SOURCE = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1])
