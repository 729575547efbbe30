#!/usr/bin/env bash
# Builds everything from a fresh clone and runs every test: the Windows cross
# builds under wine; the 32-bit x86 and arm64 Linux builds under qemu; the
# download packages; the unit and perft tests in the sanitizer build; the fuzz
# targets for a bounded time each, with ten fast self-play games alongside;
# then the native unit, perft and process tests.
# Installs the Debian packages that the tests need when they are missing (run
# as root).
set -euo pipefail
cd "$(dirname "$0")/../.."

bash tools/install-packages.sh cmake g++ libgtest-dev python3 polyglot clang libclang-rt-14-dev \
  xvfb xboard fairymax

# Two tracked paths (files or folders) that differ only in case cannot both
# exist in a checkout on Windows or macOS, whose file systems ignore case.
if git rev-parse --is-inside-work-tree >/dev/null 2>&1; then
  clashes=$(git ls-files | awk -F/ '{ path = $1; print path; for (i = 2; i <= NF; i++) { path = path "/" $i; print path } }' \
    | sort -u | sort -f | uniq -di)
  if [ -n "$clashes" ]; then
    echo "FAILED: tracked paths that differ only in case: $clashes" >&2
    exit 1
  fi
  echo "ok: no two tracked paths differ only in case"
fi

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=ON >/dev/null
cmake --build build -j "$jobs"

# Windows: 32-bit and 64-bit cross builds, the 64-bit one run under wine; its
# bench signature is compared with the native build's.
bash tests/scripts/windows.sh build

# 32-bit x86 and arm64 Linux: cross builds run under qemu, their perft counts,
# bench signatures (against the native build's) and a UCI session each.
bash tests/scripts/emulated.sh build

# The download packages (tools/package.sh) from those builds, each unpacked
# into an empty folder and played there.
bash tests/scripts/packages.sh build

# AddressSanitizer and UndefinedBehaviorSanitizer, consistency checks on.
bash tests/scripts/sanitize.sh

# The fuzzers (and their build) run at a lower priority, so that the soak
# games beside them keep their clocks (tests/process/soak.py alone plays 500 games).
python3 tests/process/soak.py --games 10 >build/soak.log 2>&1 &
soak=$!
fuzz_status=0
nice -n 10 bash tests/scripts/fuzz.sh 45 || fuzz_status=$?
soak_status=0
wait "$soak" || soak_status=$?
cat build/soak.log
if [ "$fuzz_status" -ne 0 ] || [ "$soak_status" -ne 0 ]; then
  echo "test-all.sh: fuzzing or the soak games failed" >&2
  exit 1
fi

ctest --test-dir build --output-on-failure -j "$jobs"
