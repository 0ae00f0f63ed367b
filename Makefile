# Quasaril: build, play and test. Each command first checks (as root,
# installs) the packages it needs with scripts/setup, and builds only what
# it uses.
#   make                build both programs into build/run/
#   make run            build the check program, run it in build/check/
#   make play           build the game, play it in a window
#   make test           build, then the whole test suite under a virtual X server,
#                       with a shortened soak
#   make soak           build, then the full soak of random play alone
#   make test-sanitize  the same with AddressSanitizer and UBSan, in build-sanitize/
#   make test-windows   make windows, then the shared tests built for Windows and the
#                       unpacked zip played, under Wine on a virtual X server
#   make format         format the C++ sources with the committed .clang-format
#   make package        the Debian package build/quasaril_<version>_<arch>.deb and the
#                       RPM build/quasaril-<version>-1.<arch>.rpm, the same bytes from
#                       every build of a commit
#   make windows        the Windows zip build-windows/quasaril-<version>-win64.zip,
#                       cross-built with mingw-w64, the same bytes from every
#                       build of a commit

BUILD_DIR    := build
SANITIZE_DIR := build-sanitize
WINDOWS_DIR  := build-windows
JOBS         ?= $(shell nproc)
CTEST_FLAGS  ?= --output-on-failure -j $(JOBS)
# -noreset: the server must not restart between two test processes, when a
# new client could find it gone.
XVFB         := xvfb-run -a -s "-screen 0 1024x1024x24 -noreset"
# cmake --build's own make would name every directory it enters and leaves.
MAKEFLAGS    += --no-print-directory

# Configures build/ where there is none yet, or where packages came or went
# (Google Test, say, and with it the check program) or a CMakeLists.txt or a
# file of cmake/ changed since. The build notices such a change itself, but only
# after make has looked for its targets by name, and a new one is not found.
# Installing or removing packages writes dpkg's database.
CMAKE_INPUTS := /var/lib/dpkg/status \
                $(wildcard CMakeLists.txt */CMakeLists.txt */*/CMakeLists.txt cmake/*.cmake)
# $(call configure,DIRECTORY,CMAKE-OPTIONS)
configure    = [ -f $(1)/Makefile ] && \
               [ -z "$$(find $(CMAKE_INPUTS) -newer $(1)/Makefile)" ] || \
               cmake -S . -B $(1) $(2)
CONFIGURE    = $(call configure,$(BUILD_DIR))

# $(call build-for,SETUP-TARGET,BUILD-OPTIONS): the packages, a configured
# build/, then the build.
define build-for
	@scripts/setup $(1)
	@$(CONFIGURE)
	cmake --build $(BUILD_DIR) -j $(JOBS) $(2)
endef

# make test plays a twentieth of the soak's hundred thousand frames, so the
# whole suite answers sooner; make soak plays them all.
TEST_SOAK_FRAMES := 5000

.PHONY: all setup build build-all run play usable-tmpdir test soak test-sanitize sanitize-build \
        package format windows windows-tests test-windows clean

all: build

setup:
	@scripts/setup test

build:
	$(call build-for,build,--target quasaril_programs)

# Everything: the programs, the tests, the benchmarks.
build-all:
	$(call build-for,test)

# The check suite rewrites "HighScore.txt" in its working directory: it runs
# in a directory of its own, away from the player's score in build/run/.
run:
	$(call build-for,run,--target quasaril-check)
	cd $(BUILD_DIR)/check && ../run/quasaril-check

play:
	$(call build-for,play,--target quasaril)
	cd $(BUILD_DIR)/run && ./quasaril

# The suite's working directories are made in TMPDIR, and programs run from
# them: one the suite cannot use is refused in one line, before any build.
usable-tmpdir:
	@scripts/usable-tmpdir

test: usable-tmpdir build-all
	cd $(BUILD_DIR) && QUASARIL_SOAK_FRAMES=$(TEST_SOAK_FRAMES) $(XVFB) ctest $(CTEST_FLAGS)

# The soak program itself, not through ctest: it reports its frames per
# second and its memory, and it can play beside make test, whose ctest lists
# the test programs' cases into the build tree as it starts. Without DISPLAY
# it plays on a private virtual X server, whose number the server picks
# itself, never one xvfb-run is taking.
soak: build-all
	cd $(BUILD_DIR)/tests && env -u DISPLAY ./soak_test

sanitize-build: setup
	cmake -S . -B $(SANITIZE_DIR) -DQUASARIL_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
	cmake --build $(SANITIZE_DIR) -j $(JOBS)

# Any sanitizer report aborts the process, which fails its test. A smaller
# quarantine of freed memory lets resident memory settle within the soak's
# first thousand frames, so its growth check measures the game, not ASan.
# intercept_tls_get_addr=0: this toolchain's leak checker guesses the size of
# each thread-local block of a library loaded at run time (Mesa's, when the
# window opens) from a header it expects 16 bytes before it. When ASan's
# malloc puts the block 16 bytes into a page, the guess reads ASan's own
# chunk header, and the check at exit scans a wild range and crashes with
# signal 11, now and then, depending on how earlier
# allocations fell. Untracked, those blocks are simply not scanned.
test-sanitize: usable-tmpdir sanitize-build
	cd $(SANITIZE_DIR) && \
	ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:quarantine_size_mb=32:intercept_tls_get_addr=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	QUASARIL_SOAK_FRAMES=$(TEST_SOAK_FRAMES) $(XVFB) ctest $(CTEST_FLAGS)

package:
	$(call build-for,package,--target package)

format:
	@scripts/setup format
	scripts/format

# The libraries the Windows programs link are cross-built once, into
# build-windows/deps/ (scripts/windows-deps); the programs with the toolchain
# file cmake/mingw-w64.cmake, the pictures by a host build of the picture
# tool in build-windows/host/. The toolchain file counts only when the build
# directory is first configured: cmake would call it unused afterwards.
WINDOWS_DEPS := $(WINDOWS_DIR)/deps
windows:
	@scripts/setup windows
	@scripts/windows-deps $(WINDOWS_DEPS)
	@$(call configure,$(WINDOWS_DIR),--no-warn-unused-cli \
	  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_PREFIX_PATH=$(CURDIR)/$(WINDOWS_DEPS)/prefix)
	cmake --build $(WINDOWS_DIR) -j $(JOBS)

# The shared test programs built for Windows run under Wine, through the
# emulator tests/CMakeLists.txt names, in a private Wine prefix kept in
# build-windows/wine/ (made on first use: about 12 s and 700 MB) and on a
# private virtual X server (tests/wine/session). The zip's end-to-end case
# runs on the Linux side, built in build/, and plays the zip under Wine.
WINE_PREFIX := $(WINDOWS_DIR)/wine
windows-tests: windows
	cmake --build $(WINDOWS_DIR) -j $(JOBS) --target quasaril_tests

test-windows: windows-tests
	@scripts/setup test-windows
	$(call build-for,build,--target windows_zip_test)
	QUASARIL_SOAK_FRAMES=$(TEST_SOAK_FRAMES) \
	QUASARIL_WINDOWS_ZIP=$$(ls $(CURDIR)/$(WINDOWS_DIR)/quasaril-*-win64.zip) \
	  tests/wine/session $(WINE_PREFIX) sh -c \
	  'ctest --test-dir $(WINDOWS_DIR) $(CTEST_FLAGS) && $(BUILD_DIR)/tests/windows_zip_test'

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR) $(WINDOWS_DIR)
