# Autovane: build, run and test under Wine.
#   make run          build, then start the program under Wine on an Xvfb display
#   make test         build, then run every test under Wine through ctest
#   make screenshots  PNG pictures of every window in build/screenshots/
#   make dist         the release archive build/Autovane-<version>-win32.zip
#   make bench        the silent run at logon against a plain Win32 program doing the same
#   make bench-dib    CDib's BMP reading and writing against plain file calls
#   make fuzz         100000 damaged BMP files under Wine's heap checking
#   make fuzz-native  the BMP header checks natively under AddressSanitizer and libFuzzer
#
# build/      the 32-bit program (build/Autovane.exe), the one that is shipped, with the
#             tests; this is what runs and is tested wherever the machine runs 32-bit code
# build-x64/  the same sources as a 64-bit program, with the tests: built and run only on a
#             machine that refuses 32-bit code (the scripts say so loudly)

JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=MinSizeRel

.PHONY: all setup shipped build build32 build64 run test bench screenshots dist fuzz fuzz-native bench-dib clean

all: build

setup:
	@bash scripts/setup.sh

# The shipped program alone, with the probe that tells whether this machine runs it.
shipped: setup
	@cmake -S . -B build -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-i686.cmake -DAUTOVANE_TESTS=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build -j $(JOBS) --target Autovane probe32

# Everything of one build, tests included. The scripts below pick the one that runs here.
build32: shipped
	@cmake --build build -j $(JOBS)

build64: setup
	@cmake -S . -B build-x64 -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-x86_64.cmake -DAUTOVANE_TESTS=ON $(CMAKE_FLAGS) >/dev/null
	@cmake --build build-x64 -j $(JOBS)

build: shipped

run: shipped
	@bash scripts/run.sh

test: shipped
	@bash scripts/test.sh

# The silent run at logon against its floor (a plain Win32 program doing the same work).
bench: shipped
	@bash scripts/bench-silent.sh

# PNG pictures of every window in build/screenshots/.
screenshots: shipped
	@bash scripts/screenshots.sh

# The release archive build/Autovane-<version>-win32.zip.
dist: shipped
	@bash scripts/dist.sh

fuzz: shipped
	@bash scripts/test.sh -C Fuzz -R '^dib_heap_checking$$|^dib_mutations$$'

fuzz-native:
	@bash tools/fuzz/run-native.sh

bench-dib: shipped
	@bash scripts/bench-dib.sh

clean:
	rm -rf build build-x64 build-native
