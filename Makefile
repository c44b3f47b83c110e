# Autovane: build, run and test under Wine.
#   make run          build, then start the program under Wine on an Xvfb display
#   make test         build, then run every test under Wine through ctest
#   make screenshots  PNG pictures of every window in build/screenshots/
#   make dist         the release archive build/Autovane-<version>-win32.zip and SHA256SUMS
#                     (with SIGN_CERT=cert.pem SIGN_KEY=key.pem its program is signed)
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

# Configures build tree $(1) with toolchain file $(2). CMake reads a toolchain file only
# when it first configures a tree, so a tree configured with another one starts afresh.
configure = cmp -s $(2) $(1)/toolchain.cmake || { rm -rf $(1)/CMakeCache.txt $(1)/CMakeFiles; \
	  mkdir -p $(1) && cp $(2) $(1)/toolchain.cmake; }; \
	cmake -S . -B $(1) -DCMAKE_TOOLCHAIN_FILE=$(2) -DAUTOVANE_TESTS=ON $(CMAKE_FLAGS) >/dev/null

# The shipped program alone, with the probe that tells whether this machine runs it.
shipped: setup
	@$(call configure,build,cmake/mingw-i686.cmake)
	@cmake --build build -j $(JOBS) --target Autovane probe32

# Everything of one build, tests included. The scripts below pick the one that runs here.
build32: shipped
	@cmake --build build -j $(JOBS)

build64: setup
	@$(call configure,build-x64,cmake/mingw-x86_64.cmake)
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

# The release archive build/Autovane-<version>-win32.zip and build/SHA256SUMS, written
# only when a second build of the program in another folder gives the same bytes. With
# SIGN_CERT and SIGN_KEY (PEM files) the program in the archive is signed with Authenticode.
dist: shipped
	@SIGN_CERT='$(SIGN_CERT)' SIGN_KEY='$(SIGN_KEY)' bash scripts/dist.sh

fuzz: shipped
	@bash scripts/test.sh -C Fuzz -R '^dib_heap_checking$$|^dib_mutations$$'

fuzz-native:
	@bash tools/fuzz/run-native.sh

bench-dib: shipped
	@bash scripts/bench-dib.sh

clean:
	rm -rf build build-x64 build-native
