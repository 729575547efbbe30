#!/usr/bin/env bash
# Makes the packages that users download, in dist/:
#   talvoran-VERSION-windows-x86.zip, talvoran-VERSION-windows-x64.zip,
#   talvoran-VERSION-linux-x86_64.tar.gz and talvoran-VERSION-linux-arm64.tar.gz,
# each one folder holding both line-end builds of the engine, Data/ and
# README.txt (docs/user-guide.md); the Linux ones also hold the launcher
# talvoran-uci. VERSION is `git describe --tags --always`. Builds what is
# missing or out of date in the four build directories, so the tests can hand
# over the builds they already made. Installs the Debian packages it needs
# when they are missing (run as root).
#
# Usage: tools/package.sh [LINUX_BUILD_DIR [WIN32_BUILD_DIR WIN64_BUILD_DIR [ARM64_BUILD_DIR]]]
#   (default: build, build-win32, build-win64, build-arm64)
set -euo pipefail
cd "$(dirname "$0")/.."
linux=${1:-build}
win32=${2:-build-win32}
win64=${3:-build-win64}
arm64=${4:-build-arm64}
bash tools/install-packages.sh cmake g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 g++-aarch64-linux-gnu
version=$(git describe --tags --always 2>/dev/null || echo unknown)

# Configures the directory when it has no cache yet, then builds the engines.
build() {
  local dir=$1
  shift
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=Release -DTALVORAN_TESTS=OFF "$@" >/dev/null
  fi
  cmake --build "$dir" -j 2 --target talvoran talvoran-lf >/dev/null
}
build "$linux"
build "$win32" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake
build "$win64" -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake
build "$arm64" -DCMAKE_TOOLCHAIN_FILE=cmake/linux-arm64.cmake

stage=dist/stage
rm -rf "$stage"
mkdir -p "$stage"

# Fills stage/NAME with the stripped engines of the build, Data/ and the guide
# (with CR LF line ends for Windows, where Notepad may open it); on Linux also
# the launcher.
fill() {
  local name=$1 dir=$2 strip=$3 suffix=$4 folder="$stage/$1"
  mkdir -p "$folder"
  for engine in talvoran talvoran-lf; do
    "$strip" -o "$folder/$engine$suffix" "$dir/$engine$suffix"
  done
  cp -R Data "$folder/"
  if [ -n "$suffix" ]; then
    sed 's/$/\r/' docs/user-guide.md >"$folder/README.txt"
  else
    cp docs/user-guide.md "$folder/README.txt"
    cp tools/talvoran-uci.sh "$folder/talvoran-uci"
  fi
}

base=talvoran-$version
fill "$base-windows-x86" "$win32" i686-w64-mingw32-strip .exe
fill "$base-windows-x64" "$win64" x86_64-w64-mingw32-strip .exe
fill "$base-linux-x86_64" "$linux" strip ""
fill "$base-linux-arm64" "$arm64" aarch64-linux-gnu-strip ""
rm -f dist/"$base"-*
for arch in windows-x86 windows-x64; do
  (cd "$stage" && cmake -E tar cf "../$base-$arch.zip" --format=zip "$base-$arch")
done
for arch in linux-x86_64 linux-arm64; do
  tar -C "$stage" --sort=name --owner=0 --group=0 --numeric-owner -czf "dist/$base-$arch.tar.gz" "$base-$arch"
done
rm -rf "$stage"
ls -l dist/"$base"-*
