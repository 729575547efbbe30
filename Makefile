# The OpenBench build: one binary, named by EXE, in this folder.
#   make [-j] [EXE=talvoran-ob] [CXX=g++ | CC=gcc] [JOBS=2]
# It drives the CMake build, without the tests, in a folder of build-ob/ for
# each compiler, and copies the engine out of it (see docs/openbench.md).
# CMake's own builds are unchanged.

EXE ?= talvoran-ob
JOBS ?= 2

# A compiler named by CC (OpenBench does so for a name without "++") is
# taken as its C++ driver: gcc -> g++, clang-15 -> clang++-15, cc -> c++.
ifeq ($(origin CXX),default)
  ifneq ($(origin CC),default)
    CXX := $(if $(filter cc %/cc,$(CC)),$(patsubst %cc,%c++,$(CC)),$(subst clang,clang++,$(subst gcc,g++,$(CC))))
  endif
endif

# One build folder per compiler: CMake drops the whole cache of a build
# whose compiler changes, and the options given here with it.
BUILD := build-ob/$(subst /,_,$(CXX))

.PHONY: all clean

# CMake's generated build runs its own make: the flags and variables of this
# one (MAKEFLAGS) are kept from it, and JOBS sets its parallel jobs.
all:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DCMAKE_CXX_COMPILER=$(CXX) -DTALVORAN_TESTS=OFF
	MAKEFLAGS= MFLAGS= cmake --build $(BUILD) --target talvoran-ob --parallel $(JOBS)
	cp -f $(BUILD)/talvoran-ob $(EXE)

clean:
	rm -rf build-ob $(EXE)
