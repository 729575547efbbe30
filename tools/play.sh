#!/usr/bin/env bash
# Builds the engine and starts it from the repository root, where it finds Data/.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target talvoran talvoran-lf >&2
exec ./build/talvoran
