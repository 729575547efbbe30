# Cross build for 64-bit ARM Linux (Raspberry Pi OS 64-bit and other arm64
# boards) with Debian's aarch64-linux-gnu compiler, linked statically.
# Use: cmake -S . -B build-arm64 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-arm64.cmake
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(TALVORAN_TRIPLET aarch64-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
