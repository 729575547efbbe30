#!/usr/bin/env bash
# Builds the engine, tools and tests with AddressSanitizer and
# UndefinedBehaviorSanitizer and with the consistency checks on (build-asan),
# then runs the unit tests there and the perft suite up to a leaf budget.
# The perft suite test, which counts millions of leaves, is left to the release
# build; the suite run below covers the same positions at smaller depths. So is
# the xboard match, a minute and a half of games on the clock.
#   tests/scripts/sanitize.sh [PERFT_LEAF_BUDGET]     default 200000
set -euo pipefail
cd "$(dirname "$0")/../.."

budget=${1:-200000}
build=build-asan
jobs=2
generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$build/Makefile" ]; then
  generator=(-G Ninja)
fi

# Sanitizer reports end the program with a failure; leaks are reported too.
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=0:strict_string_checks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

# The asan preset holds the build's settings and the one test left out.
cmake --preset asan "${generator[@]}" >/dev/null
cmake --build --preset asan -j "$jobs"
ctest --preset asan -j "$jobs" --timeout 300

echo "perft suite, every depth up to $budget leaves, in the sanitizer build:"
"$build/talvoran-perft" --suite tests/data/perft.epd "$budget"
