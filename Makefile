# The README's commands. Each installs what it lacks, configures and builds.
CMAKE_FLAGS := -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
CTEST := ctest --output-on-failure --timeout 600 -j2

.PHONY: all deps build test demo package asan tsan fuzz fuzz-run clang-check windows test-windows clean

all: build

deps:
	@bash scripts/install-deps.sh

build: deps
	cmake -S . -B build $(CMAKE_FLAGS)
	cmake --build build

test: build
	cd build && $(CTEST)

demo: build
	bash demo/run-demo.sh build/bin

package: build
	cmake --build build --target deb

asan: deps
	cmake -S . -B build-asan $(CMAKE_FLAGS) -DKOR_SANITIZE=address
	cmake --build build-asan
	cd build-asan && ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 $(CTEST)

# Built by clang, so that the same build also checks the lock rules (see
# clang-check).
tsan: deps
	CC=clang CXX=clang++ cmake -S . -B build-tsan $(CMAKE_FLAGS) -DKOR_SANITIZE=thread
	cmake --build build-tsan
	cd build-tsan && TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 $(CTEST)

fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz $(CMAKE_FLAGS) -DKOR_FUZZ=ON
	cmake --build build-fuzz --target fuzzers

# Fuzzes every target for FUZZ_SECONDS (30 by default) from a copy of its seed
# corpus; fails on the first finding.
FUZZ_SECONDS ?= 30
fuzz-run: fuzz
	bash scripts/run-fuzzers.sh build-fuzz/bin tests/fuzz/corpus $(FUZZ_SECONDS)

# Every target built by clang, whose thread-safety analysis checks the lock
# rules the code declares; a broken rule fails the build. Not optimised: only
# the compiler's checks matter here.
clang-check: deps
	CC=clang CXX=clang++ cmake -S . -B build-clang -G Ninja -DCMAKE_BUILD_TYPE=
	cmake --build build-clang

# The Windows build (mingw-w64), into build-windows/, with
# build-windows/korevnts-windows.zip; its tests run under Wine.
WINDOWS_FLAGS := $(CMAKE_FLAGS) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
# net-snmp for mingw-w64 comes first (see scripts/build-netsnmp-mingw.sh);
# without it the build goes on, with the simulated fleet alone.
NETSNMP_MINGW := build-windows/netsnmp
windows:
	@bash scripts/install-deps.sh windows
	@bash scripts/build-netsnmp-mingw.sh $(NETSNMP_MINGW) || \
	  echo "make windows: net-snmp for mingw-w64 was not built; no network printers in this build" >&2
	cmake -S . -B build-windows $(WINDOWS_FLAGS) \
	  -DKOR_SNMP=$$(test -f $(NETSNMP_MINGW)/lib/libnetsnmp.a && echo ON || echo OFF)
	cmake --build build-windows

test-windows: windows
	bash scripts/test-windows.sh build-windows

clean:
	rm -rf build build-asan build-tsan build-fuzz build-clang build-windows
