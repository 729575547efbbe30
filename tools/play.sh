#!/usr/bin/env bash
# Builds the engine and starts it from the repository root, where it finds Data/.
# At a terminal it starts talvoran-lf, whose replies end in a line feed and so
# stay on lines of their own; through a pipe or file, talvoran, whose lines end
# in a lone carriage return as the protocol has always had them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash tools/install-packages.sh cmake g++ >&2
cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
cmake --build build -j "$(nproc 2>/dev/null || echo 2)" --target talvoran talvoran-lf >&2
if [ -t 1 ]; then
  echo "play.sh: standard output is a terminal, starting talvoran-lf (lines end in LF)" >&2
  exec ./build/talvoran-lf
fi
exec ./build/talvoran
