# Sourced by the check scripts that cross-build: cross_build DIR TOOLCHAIN
# TARGET... configures DIR with cmake/TOOLCHAIN (once, Release, no unit
# tests), builds the targets with two jobs and fails on any warning, showing
# the build's output.
cross_build() {
  local dir=$1 toolchain=$2
  shift 2
  if [ ! -f "$dir/CMakeCache.txt" ]; then
    cmake -S . -B "$dir" -DCMAKE_TOOLCHAIN_FILE="cmake/$toolchain" -DCMAKE_BUILD_TYPE=Release \
      -DTALVORAN_TESTS=OFF >/dev/null || return 1
  fi
  cmake --build "$dir" -j 2 --target "$@" >"$dir/build.log" 2>&1 || {
    cat "$dir/build.log"
    return 1
  }
  if grep -q 'warning:' "$dir/build.log"; then
    grep -A3 'warning:' "$dir/build.log"
    return 1
  fi
}
