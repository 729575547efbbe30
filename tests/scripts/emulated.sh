#!/usr/bin/env bash
# Cross-builds Talvoran for 32-bit x86 Linux and for arm64 Linux, both linked
# statically, and runs each under qemu's user emulation: the perft suite, the
# bench signature against the native build's, and a short UCI session of
# talvoran-lf through pipes. The 32-bit build runs the engine's code with
# 4-byte pointers here, where no 32-bit program can run natively
# (docs/windows.md). Installs the Debian packages it needs when they are
# missing (run as root).
#
# Usage: tests/scripts/emulated.sh [NATIVE_BUILD_DIR]
#   NATIVE_BUILD_DIR holds a native talvoran-bench (default: build, built here
#   when missing or out of date).
set -euo pipefail
cd "$(dirname "$0")/../.."
native=${1:-build}
# check WHAT COMMAND..., counted in passed and failed
source tests/scripts/check.sh
# cross_build DIR TOOLCHAIN TARGET...
source tests/scripts/cross-build.sh

bash tools/install-packages.sh cmake g++ python3 g++-i686-linux-gnu g++-aarch64-linux-gnu qemu-user

# One entry per build: its name (build-NAME), toolchain file, emulator and the
# machine that readelf names.
names=(linux32 arm64)
toolchains=(linux-i686.cmake linux-arm64.cmake)
emulators=(qemu-i386 qemu-aarch64)
machines=("Intel 80386" AArch64)
targets=(talvoran talvoran-lf talvoran-perft talvoran-bench)

# True when the program is an ELF executable for the machine with no program
# interpreter (a static link: it needs no library of its processor here).
is_static_elf() {
  local program=$1 machine=$2
  readelf -h "$program" | grep -qE "Machine: +$machine\$" && ! readelf -l "$program" | grep -q INTERP
}

# --- builds -------------------------------------------------------------------
start=$SECONDS
for i in "${!names[@]}"; do
  dir=build-${names[i]}
  check "$dir builds without warnings" cross_build "$dir" "${toolchains[i]}" "${targets[@]}"
  for target in "${targets[@]}"; do
    check "$dir/$target is a static ${machines[i]} program" is_static_elf "$dir/$target" "${machines[i]}"
  done
done
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j 2 --target talvoran-bench >/dev/null
echo "builds: $((SECONDS - start)) s"

# --- perft ----------------------------------------------------------------------
# The whole suite at every depth whose count stays within the limit, and the
# single-position form on the start position.
start=$SECONDS
for i in "${!names[@]}"; do
  emulated=("${emulators[i]}" "build-${names[i]}/talvoran-perft")
  suite=$(timeout 300 "${emulated[@]}" --suite tests/data/perft.epd 1000000 2>&1) && status=0 || status=$?
  echo "$suite" | tail -2
  check "perft under ${emulators[i]}: perft.epd at every count up to 1000000" test "$status" -eq 0
  startpos=$(timeout 60 "${emulated[@]}" 4 startpos 2>&1 | tail -1)
  check "perft under ${emulators[i]}: start position depth 4 gives 197281 ($startpos)" \
    test "${startpos%% time*}" = "nodes 197281"
done
echo "perft: $((SECONDS - start)) s"

# --- bench ----------------------------------------------------------------------
# The signature of the whole bench, native first, then both emulated runs side
# by side, one core each.
start=$SECONDS
bench_nodes() { grep '^bench nodes ' | tail -1; }
native_summary=$("$native/talvoran-bench" 2>&1 | bench_nodes)
echo "native:       ${native_summary:-no bench line}"
for i in "${!names[@]}"; do
  timeout 900 "${emulators[i]}" "build-${names[i]}/talvoran-bench" 2>&1 | bench_nodes >"build-${names[i]}/bench.txt" &
done
wait
for i in "${!names[@]}"; do
  summary=$(cat "build-${names[i]}/bench.txt")
  printf '%-13s %s\n' "${emulators[i]}:" "${summary:-no bench line}"
  nodes=$(awk '{print $3}' <<<"$summary")
  check "the bench signature under ${emulators[i]} equals the native one ($nodes)" \
    test -n "$nodes" -a "$nodes" = "$(awk '{print $3}' <<<"$native_summary")"
done
echo "bench: $((SECONDS - start)) s"

# --- sessions -------------------------------------------------------------------
start=$SECONDS
for i in "${!names[@]}"; do
  check "a UCI session of ${emulators[i]} build-${names[i]}/talvoran-lf gives a legal best move" \
    python3 tests/process/short_session.py "${emulators[i]}" "build-${names[i]}/talvoran-lf"
done
echo "sessions: $((SECONDS - start)) s"

echo "emulated: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
