#!/usr/bin/env bash
# Cross-builds Talvoran for 32-bit and 64-bit Windows with mingw-w64 and checks
# the 64-bit build under wine: perft counts, the bench signature against the
# native build, and GUI-like sessions through anonymous pipes. The 32-bit build
# is checked for its format only (this kernel cannot run 32-bit programs; its
# code runs as a 32-bit Linux build under qemu in tests/scripts/emulated.sh).
# Installs the Debian packages it needs when they are missing (run as root).
#
# Usage: tests/scripts/windows.sh [NATIVE_BUILD_DIR]
#   NATIVE_BUILD_DIR holds a native talvoran-bench (default: build-windows-native,
#   built here when missing or out of date). TALVORAN_BENCH_DEPTH, when set,
#   compares the two bench runs at that depth instead of the bench's own.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
native=${1:-build-windows-native}
data="$root/tests/data"
# check WHAT COMMAND..., counted in passed and failed
source tests/scripts/check.sh
# cross_build DIR TOOLCHAIN TARGET...
source tests/scripts/cross-build.sh

# --- packages -----------------------------------------------------------------
bash tools/install-packages.sh cmake g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 wine wine64

# --- builds -------------------------------------------------------------------
targets=(talvoran talvoran-lf talvoran-perft talvoran-bench)

# True when the program is a PE file of the format and imports no DLL other
# than the system's own (a static link).
is_static_pe() {
  local objdump=$1 program=$2 format=$3
  "$objdump" -f "$program" | grep -q "file format $format" || return 1
  ! "$objdump" -p "$program" | grep 'DLL Name:' | grep -qiv -E 'DLL Name: (kernel32|user32|msvcrt|advapi32|ws2_32|winmm|api-ms-win-[a-z0-9-]*)\.dll'
}

start=$SECONDS
check "32-bit build without warnings" cross_build build-win32 mingw-i686.cmake "${targets[@]}"
check "64-bit build without warnings" cross_build build-win64 mingw-x86_64.cmake "${targets[@]}"
for target in "${targets[@]}"; do
  check "build-win32/$target.exe is a static 32-bit x86 program" \
    is_static_pe i686-w64-mingw32-objdump "build-win32/$target.exe" pei-i386
  check "build-win64/$target.exe is a static 64-bit x64 program" \
    is_static_pe x86_64-w64-mingw32-objdump "build-win64/$target.exe" pei-x86-64
done
check "the session driver builds without warnings" \
  x86_64-w64-mingw32-g++ -std=c++20 -O2 -Wall -Wextra -Werror -static \
  tests/windows/driver/*.cpp -lwinmm -o build-win64/talvoran-driver.exe
if [ ! -f "$native/CMakeCache.txt" ]; then
  cmake -S . -B "$native" -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF >/dev/null
fi
cmake --build "$native" -j 2 --target talvoran-bench >/dev/null
echo "builds: $((SECONDS - start)) s"

# --- wine -----------------------------------------------------------------------
start=$SECONDS
source tests/scripts/wine-prefix.sh
echo "wine prefix: $((SECONDS - start)) s"

# A fresh working directory with the engine's data files beside it.
session="$root/build-win64/session"
rm -rf "$session"
mkdir -p "$session"
cp -r Data "$session/"

# --- perft ----------------------------------------------------------------------
# The whole perft suite at every depth whose count stays within the limit, in
# one process, and the single-position form of the tool on the start position.
start=$SECONDS
perft_limit=1000000
# Runs the suite; its status is the tool's, its last lines are shown.
perft_suite() {
  local status=0
  (cd "$session" && timeout 300 wine ../talvoran-perft.exe --suite "$(windows_path "$data/perft.epd")" \
    "$perft_limit" >perft.log 2>&1) || status=$?
  tr -d '\r' <"$session/perft.log" | tail -3
  return $status
}
check "perft under wine: perft.epd at every count up to $perft_limit" perft_suite
startpos=$(cd "$session" && timeout 60 wine ../talvoran-perft.exe 4 startpos 2>&1 | tr -d '\r' | tail -1)
check "perft under wine: start position depth 4 gives 197281 ($startpos)" \
  test "${startpos%% time*}" = "nodes 197281"
echo "perft: $((SECONDS - start)) s"

# --- bench ----------------------------------------------------------------------
# The signature at the bench's own depth (or at TALVORAN_BENCH_DEPTH when set,
# for a quicker comparison); the native and the wine run go side by side, one
# core each.
start=$SECONDS
bench_depth=(${TALVORAN_BENCH_DEPTH:-})
bench_summary() { tr -d '\r' | grep '^bench nodes ' | tail -1; }
(cd "$root" && "$native/talvoran-bench" "${bench_depth[@]}" 2>&1 | bench_summary >"$session/native-bench.txt") &
native_bench=$!
wine_summary=$(cd "$session" && timeout 900 wine ../talvoran-bench.exe "${bench_depth[@]}" 2>&1 | bench_summary || true)
wait "$native_bench" || true
native_summary=$(cat "$session/native-bench.txt")
echo "native: ${native_summary:-no bench line}"
echo "wine:   ${wine_summary:-no bench line}"
native_nodes=$(echo "$native_summary" | awk '{print $3}')
wine_nodes=$(echo "$wine_summary" | awk '{print $3}')
check "the bench signature under wine equals the native one ($wine_nodes)" \
  test -n "$native_nodes" -a "$native_nodes" = "$wine_nodes"
echo "bench: $((SECONDS - start)) s"

# --- sessions -------------------------------------------------------------------
start=$SECONDS
check "GUI-like sessions through anonymous pipes" \
  timeout 300 wine build-win64/talvoran-driver.exe "$(windows_path build-win64/talvoran.exe)" \
  "$(windows_path build-win64/talvoran-lf.exe)" "$(windows_path "$session")"
printf 'uci\nisready\nquit\n' >"$session/input.txt"
redirected=$(cd "$session" && timeout 60 wine ../talvoran.exe <input.txt | tr '\r' '|')
check "standard input redirected from a file is read without blocking" \
  test "$redirected" = 'id name Talvoran 101 C null|id author Ornel Tavask|uciok|readyok|'
echo "sessions: $((SECONDS - start)) s"

echo "windows: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
