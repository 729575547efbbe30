# The common part of the Linux cross builds, included by their toolchain files
# after they set TALVORAN_TRIPLET (Debian's prefix of the cross compiler, e.g.
# aarch64-linux-gnu) and CMAKE_SYSTEM_PROCESSOR. Everything is linked
# statically: a program needs no library of its processor on the machine that
# runs it, whatever that machine's C library.
set(CMAKE_SYSTEM_NAME Linux)

set(CMAKE_C_COMPILER ${TALVORAN_TRIPLET}-gcc)
set(CMAKE_CXX_COMPILER ${TALVORAN_TRIPLET}-g++)

# Headers and libraries come from the cross sysroot only; programs run here.
set(CMAKE_FIND_ROOT_PATH /usr/${TALVORAN_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
