#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (build-fuzz) and runs each for a
# bounded time, starting from the seed corpora in tests/fuzz/corpus and the
# inputs that earlier runs kept in build-fuzz/corpus. Exits non-zero when a
# target crashes, leaks, runs a minute on one input or breaks one of its
# checks; the input that did it is left in build-fuzz/artifacts (slow-unit
# files there are only a notice).
#   tests/scripts/fuzz.sh [SECONDS] [TARGET...]    default 60 s; input position datafiles
set -euo pipefail
cd "$(dirname "$0")/../.."

seconds=${1:-60}
shift || true
targets=("$@")
[ ${#targets[@]} -gt 0 ] || targets=(input position datafiles)
build=build-fuzz

command -v clang++ >/dev/null || { echo "fuzz.sh: clang++ is needed" >&2; exit 2; }
generator=()
if command -v ninja >/dev/null 2>&1 && [ ! -f "$build/Makefile" ]; then
  generator=(-G Ninja)
fi
cmake -S tests/fuzz -B "$build" "${generator[@]}" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j 2

# The data-file target asks for hash tables of up to 2^31 entries: sizes
# above 64 MiB are refused, so that the engine's fallback to a smaller table
# is what gets tested, quickly.
export ASAN_OPTIONS=max_allocation_size_mb=64:allocator_may_return_null=1:detect_leaks=1
mkdir -p "$build/artifacts"
status=0
# Longest input tried: beyond one 4095-byte read for the input, a whole
# Random.bin for the data files.
declare -A max_len=([input]=8192 [position]=2048 [datafiles]=8192)
declare -A dictionary=([input]=tests/fuzz/uci.dict [position]=tests/fuzz/uci.dict)
for target in "${targets[@]}"; do
  corpus="$build/corpus/$target"
  log="$build/$target.log"
  mkdir -p "$corpus"
  options=()
  [ -z "${dictionary[$target]:-}" ] || options=(-dict="${dictionary[$target]}")
  if nice -n 10 "$build/talvoran-fuzz-$target" "$corpus" "tests/fuzz/corpus/$target" \
      -max_total_time="$seconds" -max_len="${max_len[$target]:-4096}" -timeout=60 \
      -rss_limit_mb=4096 -malloc_limit_mb=2048 -artifact_prefix="$build/artifacts/$target-" -print_final_stats=1 "${options[@]}" >"$log" 2>&1; then
    result="ok"
  else
    result="FAILED (see $log)"
    status=1
  fi
  runs=$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$' || echo "?")
  coverage=$(grep -o 'cov: [0-9]*' "$log" | tail -1 | grep -o '[0-9]*' || echo "?")
  echo "fuzz $target: $runs runs in $seconds s, coverage $coverage, corpus $(ls "$corpus" | wc -l): $result"
done
exit $status
