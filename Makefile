# Quasaril: build, play and test.
#   make                build into build/ (installs missing packages first)
#   make run            run the check suite in build/check/
#   make play           play the game in a window
#   make test           build, then the whole test suite under a virtual X server
#   make test-sanitize  the same with AddressSanitizer and UBSan, in build-sanitize/
#   make package        the Debian package build/quasaril_<version>_<arch>.deb and the
#                       RPM build/quasaril-<version>-1.<arch>.rpm, the same bytes from
#                       every build of a commit

BUILD_DIR    := build
SANITIZE_DIR := build-sanitize
JOBS         ?= $(shell nproc)
CTEST_FLAGS  ?= --output-on-failure -j $(JOBS)
# -noreset: the server must not restart between two test processes, when a
# new client could find it gone.
XVFB         := xvfb-run -a -s "-screen 0 1024x1024x24 -noreset"

.PHONY: all setup build run play test test-sanitize sanitize-build package clean

all: build

setup:
	@scripts/setup

build: setup
	cmake -S . -B $(BUILD_DIR)
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The check suite rewrites "HighScore.txt" in its working directory: it runs
# in a directory of its own, away from the player's score in build/run/.
run: build
	cd $(BUILD_DIR)/check && ../run/quasaril

play: build
	cd $(BUILD_DIR)/run && ./quasaril-play

test: build
	cd $(BUILD_DIR) && $(XVFB) ctest $(CTEST_FLAGS)

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
test-sanitize: sanitize-build
	cd $(SANITIZE_DIR) && \
	ASAN_OPTIONS=abort_on_error=1:detect_leaks=1:quarantine_size_mb=32:intercept_tls_get_addr=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/tests/lsan.supp:print_suppressions=0 \
	$(XVFB) ctest $(CTEST_FLAGS)

package: build
	cmake --build $(BUILD_DIR) --target package

clean:
	rm -rf $(BUILD_DIR) $(SANITIZE_DIR)
