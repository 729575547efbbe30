"""An engine (Talvoran, Stockfish or PolyGlot) as a child process driven
through its pipes: a reader thread cuts its output into lines and stamps
their arrival, every wait has a time limit, and every fault of the engine
(a wait that runs out, output that ends, input that closes) raises EngineError."""

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


class EngineError(Exception):
    """The engine did not answer as awaited; lines holds what it said last."""

    def __init__(self, message, lines=()):
        super().__init__(message)
        self.lines = list(lines)


def fail(message):
    """Ends a check script with a failure: FAILED and the message, status 1."""
    print("FAILED: " + message)
    sys.exit(1)


def run_check(main):
    """Runs a check script's main and exits with its status; an engine that
    does not answer as awaited is a failure like any other."""
    try:
        sys.exit(main())
    except EngineError as error:
        fail(str(error))


def scratch_folder(data=os.path.join(REPO, "Data")):
    """A new folder (its real path) with `data` linked in as Data/, or nothing
    when data is None; removed when the script ends."""
    folder = os.path.realpath(tempfile.mkdtemp(prefix="talvoran-"))
    atexit.register(shutil.rmtree, folder, True)
    if data is not None:
        os.symlink(os.path.abspath(data), os.path.join(folder, "Data"))
    return folder


class Engine:
    """A program started in `folder` whose output lines end at `separator`
    (None: at CR or LF, empty lines dropped, for tools that take either build).
    With keep_output, `output` gathers every byte the program writes."""

    def __init__(self, command, folder=None, separator=b"\n", name=None, env=None,
                 stderr=subprocess.DEVNULL, keep_output=False):
        self.name = name or os.path.basename(command[0])
        self.folder = folder
        self.separator = separator
        self.output = b"" if keep_output else None
        self.ended = False  # the output has ended
        self.arrived = None
        self.process = subprocess.Popen(command, cwd=folder, env=env, stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=stderr, bufsize=0)
        self._lines = queue.Queue()  # (line, arrival time), then (None, time) at the end
        self._reader = threading.Thread(target=self._read, daemon=True)
        self._reader.start()

    def _read(self):
        pending = b""
        while True:
            chunk = os.read(self.process.stdout.fileno(), 65536)
            now = time.perf_counter()  # stamped here so that thread hand-over adds nothing to round trips
            if self.output is not None:
                self.output += chunk
            if not chunk:
                self._lines.put((None, now))
                return
            pending += chunk
            if self.separator is None:
                *complete, pending = re.split(rb"[\r\n]", pending)
            else:
                *complete, pending = pending.split(self.separator)
            for line in complete:
                if line or self.separator is not None:
                    self._lines.put((line.decode("latin-1"), now))

    def write(self, data):
        """Writes bytes to the program's input as they are."""
        try:
            self.process.stdin.write(data)
        except (OSError, ValueError):
            raise EngineError("%s: its input is closed (the engine ended)" % self.name) from None

    def send(self, *lines):
        """Writes the lines at once, each ended by a line feed."""
        self.write("".join(line + "\n" for line in lines).encode("ascii"))

    def close_input(self):
        """Closes the program's input: it reads the end of its input next."""
        self.process.stdin.close()

    def wait_until(self, prefix, timeout=30):
        """The lines read up to and including the first that starts with
        prefix (a text or a tuple of texts); the arrival time of that last
        line is kept in `arrived`."""
        seen, deadline = [], time.monotonic() + timeout
        while True:
            line = self._take(deadline)
            if line is None:
                why = "its output ended (status %s)" % self.process.poll() if self.ended else "%g s passed" % timeout
                raise EngineError("%s: no line starting %r: %s; last lines %r" %
                                  (self.name, prefix, why, seen[-5:]), seen)
            seen.append(line)
            if line.startswith(prefix):
                return seen

    def _take(self, deadline):
        """The next line, or None at the deadline or at the end of the output."""
        if self.ended:
            return None
        try:
            line, stamp = self._lines.get(timeout=max(0.0, deadline - time.monotonic()))
        except queue.Empty:
            return None
        if line is None:
            self.ended = True
        self.arrived = stamp
        return line

    def ask(self, lines, prefix, timeout=30):
        """Sends lines at once and waits for a line starting with prefix: the
        lines read and the seconds from the write to that line's arrival."""
        began = time.perf_counter()
        self.send(*lines)
        seen = self.wait_until(prefix, timeout)
        return seen, self.arrived - began

    def drain(self):
        """The lines already read and not yet taken."""
        lines = []
        while (line := self._take(time.monotonic())) is not None:
            lines.append(line)
        return lines

    def wait(self, timeout=10):
        """Waits for the program to end and its output to be read: the exit
        status. EngineError if it is still running after timeout (it is killed)."""
        try:
            status = self.process.wait(timeout=timeout)
        except subprocess.TimeoutExpired:
            self.kill()
            raise EngineError("%s: still running %g s later (killed)" % (self.name, timeout)) from None
        self._reader.join(timeout)
        if not self._reader.is_alive():
            self.process.stdout.close()
        self.process.stdin.close()
        return status

    def quit(self, timeout=10):
        """Sends quit (unless the input has closed) and waits as wait() does."""
        try:
            self.send("quit")
        except EngineError:
            pass
        return self.wait(timeout)

    def kill(self):
        """Ends the program at once, if it still runs."""
        if self.process.poll() is None:
            self.process.kill()
        self.process.wait()
