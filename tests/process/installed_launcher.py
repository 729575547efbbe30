#!/usr/bin/env python3
"""The installed engine as a GUI starts it: cmake --install into a scratch
prefix, which is then moved, and the launcher talvoran-uci started from / and
from a read-only folder, with HOME pointed at a scratch folder. The first start
copies Data/ into the per-user folder and logs there; an edited data file is
kept at the next start.

    installed_launcher.py CMAKE BUILD_DIR     (run from the repository root)
"""

import filecmp
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "python"))
from enginepipe import REPO, fail, run_check, scratch_folder  # noqa: E402
from short_session import play  # noqa: E402


def main():
    if len(sys.argv) != 3:
        print(__doc__)
        return 2
    cmake, build = sys.argv[1:]
    scratch = scratch_folder(data=None)
    staged, prefix = os.path.join(scratch, "staged"), os.path.join(scratch, "prefix")
    subprocess.run([cmake, "--install", build, "--prefix", staged], check=True, stdout=subprocess.DEVNULL)
    os.rename(staged, prefix)  # the launcher must not depend on where it was installed
    for program in ("talvoran", "talvoran-lf", "talvoran-perft", "talvoran-bench", "talvoran-makerandom",
                    "talvoran-tune", "talvoran-uci"):
        if not os.access(os.path.join(prefix, "bin", program), os.X_OK):
            fail("bin/%s is not installed" % program)
    installed = os.path.join(prefix, "share", "talvoran", "Data")
    launcher = os.path.join(prefix, "bin", "talvoran-uci")

    # First start from /, per-user folder by default under HOME.
    home = os.path.join(scratch, "home")
    os.mkdir(home)
    os.environ["HOME"] = home
    os.environ.pop("XDG_DATA_HOME", None)
    user = os.path.join(home, ".local", "share", "talvoran")
    play([launcher], "/")
    names = sorted(os.listdir(os.path.join(REPO, "Data")))
    match, mismatch, errors = filecmp.cmpfiles(os.path.join(REPO, "Data"), os.path.join(user, "Data"), names,
                                               shallow=False)
    if mismatch or errors:
        fail("the per-user Data/ is not a copy of the installed one: %r %r" % (mismatch, errors))
    with open(os.path.join(user, "spynull.txt")) as log:
        if "IN:      position startpos moves e2e4" not in log.read():
            fail("the log in the per-user folder lacks the session")

    # Second start from a read-only folder, the same per-user folder named by
    # XDG_DATA_HOME: the edited file stays, the log is written anew.
    with open(os.path.join(user, "Data", "Hashtable.ini"), "w") as edited:
        edited.write("16")
    os.remove(os.path.join(user, "spynull.txt"))
    os.environ["XDG_DATA_HOME"] = os.path.join(home, ".local", "share")
    locked = os.path.join(scratch, "locked")
    os.mkdir(locked, 0o555)
    play([launcher], locked)
    with open(os.path.join(user, "Data", "Hashtable.ini")) as kept:
        if kept.read() != "16":
            fail("the edited Hashtable.ini was replaced")
    if not os.path.exists(os.path.join(user, "spynull.txt")) or os.listdir(locked):
        fail("the log was not written into the per-user folder")
    if not filecmp.cmp(os.path.join(installed, "Hashtable.ini"), os.path.join(REPO, "Data", "Hashtable.ini")):
        fail("the installed Hashtable.ini changed")
    print("installed launcher: two sessions, data copied once and kept")
    print("1 passed, 0 failed")
    return 0


if __name__ == "__main__":
    run_check(main)
