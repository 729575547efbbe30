#!/usr/bin/env python3
"""The engine programs as an interface starts them: pipes on standard input
and output, a fresh working directory (with or without Data/), the C locale.
Checks the exact output, the log's bytes, the line rules and the ending.

Usage: engine_session.py ENGINE ENGINE_LF SOURCE_DIR
"""

import os
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import unittest

ENGINE = ENGINE_LF = SOURCE = ""
LOG_LINE = re.compile(rb"\d\d:\d\d:\d\d(   START:   |   IN:      |   OUT:     |   END:     )(.*)", re.S)
DATE = re.compile(rb"\d\d/\d\d/\d\d")


class Engine:
    """One run of an engine program in its own temporary directory."""

    def __init__(self, program=None, data=True):
        self.folder = os.path.realpath(tempfile.mkdtemp(prefix="talvoran-engine-"))
        if data:
            os.symlink(os.path.join(SOURCE, "Data"), os.path.join(self.folder, "Data"))
        with open(os.path.join(self.folder, "errors.txt"), "wb") as errors:
            self.process = subprocess.Popen([program or ENGINE], cwd=self.folder, env={"LC_ALL": "C"},
                                            stdin=subprocess.PIPE, stdout=subprocess.PIPE, stderr=errors)
        self.output = b""
        self.guard = threading.Timer(60, self.process.kill)  # a hung engine fails instead of hanging
        self.guard.start()

    def send(self, text):
        self.process.stdin.write(text)
        self.process.stdin.flush()

    def wait_for(self, text):
        while text not in self.output:
            chunk = os.read(self.process.stdout.fileno(), 4096)
            assert chunk, "output ended before %r" % text
            self.output += chunk

    def finish(self, close=True):
        """Reads the rest of the output and returns the exit status."""
        if close:
            self.process.stdin.close()
        self.output += self.process.stdout.read()
        status = self.process.wait()
        self.guard.cancel()
        self.errors = self.file("errors.txt")
        self.log = self.file("spynull.txt")
        shutil.rmtree(self.folder)
        return status

    def file(self, name):
        with open(os.path.join(self.folder, name), "rb") as f:
            return f.read()

    def log_entries(self):
        """The log as (label, payload); times, dates and CR LF line ends checked."""
        lines = self.log.split(b"\r\n")
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
            engine = Engine(program)
            engine.send(b"uci\nisready\nquit\n")
            self.assertEqual(engine.finish(), 0)
            replies = [b"id name Talvoran 101 C null", b"id author Ornel Tavask", b"uciok", b"readyok"]
            self.assertEqual(engine.output, b"".join(r + end for r in replies))
            self.assertEqual(engine.log_entries(), [
                ("START", b"<date>"), ("IN", b"uci"), ("OUT", replies[0] + end), ("OUT", replies[1] + end),
                ("OUT", replies[2] + end), ("IN", b"isready"), ("OUT", replies[3] + end), ("IN", b"quit"),
                ("END", b"<date>")])
            self.assertEqual(engine.errors, b"")

    def test_cr_lf_gives_an_empty_line_and_quit_needs_no_terminator(self):
        engine = Engine()
        engine.send(b"isready\r\n")
        engine.wait_for(b"readyok\r")
        engine.send(b"quit")  # no line end, and the input stays open
        self.assertEqual(engine.finish(close=False), 0)
        self.assertEqual(engine.log_entries()[1:], [
            ("IN", b"isready"), ("OUT", b"readyok\r"), ("IN", b""), ("IN", b"quit"), ("END", b"<date>")])

    def test_a_long_line_is_one_command_and_the_end_of_input_ends_the_engine(self):
        engine = Engine()
        line = b"x " * 5000 + b"isready"
        engine.send(line + b"\n")
        self.assertEqual(engine.finish(), 0)
        self.assertEqual(engine.output, b"readyok\r")
        self.assertEqual(engine.log_entries(), [
            ("START", b"<date>"), ("IN", line), ("OUT", b"readyok\r"), ("END", b"<date>")])

    # A search meets a quit that already waits at once (it polls at the start
    # of every iteration), so each go is answered before quit is sent.
    def test_go_and_position_load_what_they_need(self):
        engine = Engine()
        engine.send(b"go\nposition startpos moves e2e4\ngo depth 1\n")
        engine.wait_for(b"\rbestmove ")
        engine.send(b"quit\n")
        self.assertEqual(engine.finish(), 0)
        self.assertTrue(engine.output.startswith(b"bestmove 0000\r"), "nothing to search before a position")
        self.assertNotIn(b"Error", engine.output)
        self.assertEqual(engine.errors, b"")

    def test_missing_data_files_are_reported_on_the_error_output(self):
        engine = Engine(data=False)
        folder = engine.folder.encode()
        engine.send(b"isready\nposition startpos\ngo\n")
        engine.wait_for(b"bestmove ")
        engine.send(b"quit\n")
        self.assertEqual(engine.finish(), 0)
        self.assertTrue(engine.output.startswith(b"readyok\r"))
        names = [b"Hashtable.ini", b"Random.bin", b"Pawn.txt", b"Knight.txt", b"Bishop.txt", b"Rook.txt",
                 b"Queen.txt", b"King.txt"]
        self.assertEqual(engine.errors, b"".join(b"Error: " + folder + b"/Data/" + n + b" not found\n" for n in names))


if __name__ == "__main__":
    ENGINE, ENGINE_LF, SOURCE = sys.argv[1:4]
    unittest.main(argv=sys.argv[:1])
