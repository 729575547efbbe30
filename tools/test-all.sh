#!/usr/bin/env bash
# Builds everything from a fresh clone and runs every test: the Windows cross
# builds under wine, then the native unit, perft and process tests. Installs
# the Debian packages that the tests need when they are missing (run as root).
set -euo pipefail
cd "$(dirname "$0")/.."

bash tools/install-packages.sh cmake g++ libgtest-dev python3 polyglot

jobs=$(nproc 2>/dev/null || echo 2)
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=ON >/dev/null
cmake --build build -j "$jobs"

# Windows: 32-bit and 64-bit cross builds, the 64-bit one run under wine; its
# bench signature is compared with the native build's.
bash tools/test-windows.sh build

ctest --test-dir build --output-on-failure -j "$jobs"
