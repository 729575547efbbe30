#!/usr/bin/env bash
# The packages of tools/package.sh as a user gets them: each is unpacked into
# an empty folder, its contents listed, and the engines played in that folder.
# Linux: both line-end builds through a pipe. Windows x64: the session driver
# under wine (a Unix pipe does not reach a wine program). Windows x86: format
# only, as in windows.sh. Run after tests/scripts/windows.sh, whose builds and
# session driver it reuses, so nothing is compiled again.
#
# Usage: tests/scripts/packages.sh [LINUX_BUILD_DIR]   (default: build)
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
# check WHAT COMMAND..., counted in passed and failed
source tests/scripts/check.sh

bash tools/package.sh "${1:-build}" build-win32 build-win64 | sed 's/^/packaged: /'
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

# True when the folder holds exactly the two engines, Data/ and README.txt.
holds() {
  local folder=$1 suffix=$2 expected
  expected=$(printf '%s\n' Data README.txt "talvoran$suffix" "talvoran-lf$suffix" \
    $(cd Data && ls | sed 's|^|Data/|') | sort)
  [ "$(cd "$folder" && find . -mindepth 1 | sed 's|^\./||' | sort)" = "$expected" ]
}

# A short session of the program in its folder, whose input then ends: the
# data loads without a notice, a legal-looking best move comes, the log is there.
linux_session() {
  local folder=$1 program=$2 output
  output=$(cd "$folder" && printf 'uci\nisready\nposition startpos moves e2e4\ngo wtime 1000 btime 1000\n' \
    | timeout 30 "./$program" 2>errors.txt | tr '\r' '\n')
  grep -qx readyok <<<"$output" && grep -qE '^bestmove [a-h][1-8][a-h][1-8]$' <<<"$output" &&
    [ ! -s "$folder/errors.txt" ] && grep -q 'IN:      go wtime 1000' "$folder/spynull.txt"
}

linux=$(unpack "$base-linux-x86_64.tar.gz")
check "the Linux package holds talvoran, talvoran-lf, Data/ and README.txt" holds "$linux" ""
check "talvoran plays in the unpacked Linux folder" linux_session "$linux" talvoran
check "talvoran-lf plays in the unpacked Linux folder" linux_session "$linux" talvoran-lf

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
