# Cross build for 32-bit x86 Linux with Debian's i686-linux-gnu compiler,
# linked statically. It runs under qemu-i386 on machines that execute no
# 32-bit code, so that the engine is checked with 4-byte pointers and long
# and with 64-bit keys and square sets split over two registers.
# Use: cmake -S . -B build-linux32 -DCMAKE_TOOLCHAIN_FILE=cmake/linux-i686.cmake
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TALVORAN_TRIPLET i686-linux-gnu)
include(${CMAKE_CURRENT_LIST_DIR}/linux-cross.cmake)
