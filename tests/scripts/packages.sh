#!/usr/bin/env bash
# The packages of tools/package.sh as a user gets them: each is unpacked into
# an empty folder, its contents listed, and the engines played in that folder.
# Linux: both line-end builds and the launcher through a pipe, the arm64 ones
# under qemu-aarch64. Windows x64: the session driver under wine (a Unix pipe
# does not reach a wine program). Windows x86: format only, as in windows.sh.
# Run after tests/scripts/windows.sh and tests/scripts/emulated.sh, whose
# builds and session driver it reuses, so nothing is compiled again.
#
# Usage: tests/scripts/packages.sh [LINUX_BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
# check WHAT COMMAND..., counted in passed and failed
source tests/scripts/check.sh

bash tools/package.sh "${1:-build}" build-win32 build-win64 build-arm64 | sed 's/^/packaged: /'
base=talvoran-$(git describe --tags --always 2>/dev/null || echo unknown)
unpacked="$root/build/packages"
rm -rf "$unpacked"

# Unpacks the package into an empty folder of its own; prints that folder.
unpack() {
  local name=$1 folder="$unpacked/$1"
  mkdir -p "$folder"
  (cd "$folder" && cmake -E tar xf "$root/dist/$name")
  echo "$folder/${name%%.zip}" | sed 's/\.tar\.gz$//'
}

# True when the folder holds exactly the two engines, Data/, README.txt and
# the other files named.
holds() {
  local folder=$1 suffix=$2 expected
  shift 2
  expected=$(printf '%s\n' Data README.txt "talvoran$suffix" "talvoran-lf$suffix" "$@" \
    $(cd Data && ls | sed 's|^|Data/|') | sort)
  [ "$(cd "$folder" && find . -mindepth 1 | sed 's|^\./||' | sort)" = "$expected" ]
}

# A short session of the command started in the folder, whose input then
# ends: the data loads without a notice, a legal-looking best move comes, and
# the log is in the engine's working folder (the folder, but for the launcher).
linux_session() {
  local folder=$1 engine_folder=$2 output
  shift 2
  output=$(cd "$folder" && printf 'uci\nisready\nposition startpos moves e2e4\ngo wtime 1000 btime 1000\n' \
    | timeout 60 "$@" 2>"$engine_folder/errors.txt" | tr '\r' '\n')
  grep -qx readyok <<<"$output" && grep -qE '^bestmove [a-h][1-8][a-h][1-8]$' <<<"$output" &&
    [ ! -s "$engine_folder/errors.txt" ] && grep -q 'IN:      go wtime 1000' "$engine_folder/spynull.txt"
}

# The package's launcher as a GUI starts it, from /, with a new per-user
# folder: the engine must play there on a copy of the package's Data/. Under
# an emulator, the launcher is run from a copy of the folder whose
# talvoran-lf is a stand-in that starts the packaged one through it.
launcher_session() {
  local folder=$1 emulator=${2:-} home="$1.home"
  rm -rf "$home" "$folder.launcher"
  mkdir -p "$home/talvoran"
  if [ -n "$emulator" ]; then
    cp -R "$folder" "$folder.launcher"
    printf '#!/bin/sh\nexec %s "%s" "$@"\n' "$emulator" "$folder/talvoran-lf" >"$folder.launcher/talvoran-lf"
    chmod +x "$folder.launcher/talvoran-lf"
    folder=$folder.launcher
  fi
  linux_session / "$home/talvoran" env XDG_DATA_HOME="$home" "$folder/talvoran-uci" &&
    diff -r "$folder/Data" "$home/talvoran/Data"
}

linux=$(unpack "$base-linux-x86_64.tar.gz")
check "the Linux package holds talvoran, talvoran-lf, talvoran-uci, Data/ and README.txt" \
  holds "$linux" "" talvoran-uci
check "talvoran plays in the unpacked Linux folder" linux_session "$linux" "$linux" ./talvoran
check "talvoran-lf plays in the unpacked Linux folder" linux_session "$linux" "$linux" ./talvoran-lf
check "talvoran-uci plays from / with a new per-user folder" launcher_session "$linux"

# qemu-aarch64 is given no library folder (-L): the engines run only if they
# are arm64 programs linked statically.
arm64=$(unpack "$base-linux-arm64.tar.gz")
check "the arm64 package holds talvoran, talvoran-lf, talvoran-uci, Data/ and README.txt" \
  holds "$arm64" "" talvoran-uci
check "talvoran plays under qemu-aarch64 in the unpacked arm64 folder" \
  linux_session "$arm64" "$arm64" qemu-aarch64 ./talvoran
check "talvoran-lf plays under qemu-aarch64 in the unpacked arm64 folder" \
  linux_session "$arm64" "$arm64" qemu-aarch64 ./talvoran-lf
check "talvoran-uci starts it under qemu-aarch64 from / with a new per-user folder" \
  launcher_session "$arm64" qemu-aarch64

x86=$(unpack "$base-windows-x86.zip")
check "the Windows x86 package holds the two .exe, Data/ and README.txt" holds "$x86" .exe
check "its talvoran.exe is a 32-bit x86 program" \
  bash -c "i686-w64-mingw32-objdump -f '$x86/talvoran.exe' | grep -q 'file format pei-i386'"

# The whole GUI session of the Windows check, with the unpacked engines in
# their own folder.
windows_session() {
  local folder=$1
  timeout 300 wine build-win64/talvoran-driver.exe "$(windows_path "$folder/talvoran.exe")" \
    "$(windows_path "$folder/talvoran-lf.exe")" "$(windows_path "$folder")" >"$folder/../driver.log" 2>&1 ||
    { tr -d '\r' <"$folder/../driver.log"; return 1; }
  tr -d '\r' <"$folder/../driver.log" | tail -1
}
x64=$(unpack "$base-windows-x64.zip")
check "the Windows x64 package holds the two .exe, Data/ and README.txt" holds "$x64" .exe
source tests/scripts/wine-prefix.sh
check "the unpacked x64 engines play the GUI-like sessions under wine" windows_session "$x64"

echo "packages: $passed passed, $failed failed"
[ "$failed" -eq 0 ]
