"""Shared pieces of the end-to-end scripts: the engine (or an adapter) as a
child process in a scratch folder that holds a link to Data/, its output cut
into lines by a reader thread, and the project's move judge (python/movejudge.py)."""

import atexit
import os
import queue
import re
import shutil
import subprocess
import sys
import tempfile
import threading
import time

REPO = os.path.abspath(os.path.join(os.path.dirname(__file__), ".."))
import movejudge  # noqa: E402  (the independent judge of legal moves)

MOVE = r"[a-h][1-8][a-h][1-8][nbrq]?"
INFO_LINES = [re.compile(pattern) for pattern in (
    r"info depth \d+ seldepth \d+",
    r"info depth \d+ seldepth \d+ pv  %s( %s)* score cp -?\d+ nodes \d+ time [1-9]\d* nps \d+" % (MOVE, MOVE),
    r"info( depth \d+ seldepth \d+)? currmove  %s currmovenumber \d+ nodes \d+ time [1-9]\d* nps \d+" % MOVE,
    r"info depth \d+ seldepth \d+ nodes \d+ time [1-9]\d* nps \d+",
)]


def fail(message):
    print("FAILED: " + message)
    sys.exit(1)


def scratch_folder():
    """A new folder with Data/ linked in, where the engine runs and logs;
    removed when the script ends."""
    folder = tempfile.mkdtemp(prefix="talvoran-e2e-")
    atexit.register(shutil.rmtree, folder, True)
    os.symlink(os.path.join(REPO, "Data"), os.path.join(folder, "Data"))
    return folder


class Child:
    """A process whose output is split at `separator` into a queue of lines."""

    def __init__(self, command, folder, separator):
        self.folder = folder
        self.process = subprocess.Popen(command, cwd=folder, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
        self.separator = separator
        self.lines = queue.Queue()
        threading.Thread(target=self._read, daemon=True).start()

    def _read(self):
        pending = b""
        while True:
            chunk = os.read(self.process.stdout.fileno(), 4096)
            if not chunk:
                self.lines.put(None)
                return
            pending += chunk
            *complete, pending = pending.split(self.separator)
            for line in complete:
                self.lines.put(line.decode("ascii"))

    def send(self, text):
        self.process.stdin.write((text + "\n").encode("ascii"))
        self.process.stdin.flush()

    def read_until(self, prefix, timeout=30):
        """The lines up to and including the first that starts with prefix
        (a text or a tuple of texts)."""
        seen, deadline = [], time.monotonic() + timeout
        while True:
            try:
                line = self.lines.get(timeout=max(0.01, deadline - time.monotonic()))
            except queue.Empty:
                fail("no line starting %r within %d s; got %r" % (prefix, timeout, seen[-5:]))
            if line is None:
                fail("output ended while waiting for %r; got %r" % (prefix, seen[-5:]))
            seen.append(line)
            if line.startswith(prefix):
                return seen

    def stop(self):
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()


def check_engine_lines(lines):
    """Every line is one of the four info lines, readyok or bestmove, with no
    line feed left in it (the engine ends lines with a lone CR)."""
    for line in lines:
        if "\n" in line:
            fail("a line feed in %r" % line)
        if line.startswith("info") and not any(p.fullmatch(line) for p in INFO_LINES):
            fail("malformed info line %r" % line)

