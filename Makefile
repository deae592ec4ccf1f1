# OrvexViewer for Linux: the two set-up commands are `make test` and `make demo`.
BUILD      ?= build
JOBS       ?= 2
BUILD_TYPE ?= RelWithDebInfo
# Where `make install` puts the tool (PREFIX/bin), the docs and examples (PREFIX/share/doc/OrvexViewer).
PREFIX     ?= /usr/local

# Debian packages the build, the tests and the tools need.
PACKAGES := build-essential cmake pkg-config libfreetype-dev libfontconfig-dev fonts-liberation \
            libpng-dev libcairo2-dev liblua5.4-dev nlohmann-json3-dev libgtest-dev libgmock-dev \
            libbenchmark-dev
# Animated GIFs (orvex animate).
PACKAGES += libgif-dev
# The printing tests render PDF and SVG files with pdftoppm and rsvg-convert.
PACKAGES += poppler-utils librsvg2-bin
# The desktop application (`orvex open`) is built with Qt 6; its screenshot test runs under Xvfb.
PACKAGES += qt6-base-dev xvfb xauth
# The fuzz harnesses need clang and its libFuzzer/sanitizer runtimes.
PACKAGES += clang libclang-rt-dev

# Sanitizer runs fail on the first report of any kind: UBSan is built without recovery and halts,
# LeakSanitizer runs at exit. The suppression file is for system libraries only.
SANITIZER_ENV := ASAN_OPTIONS=detect_leaks=1:halt_on_error=1:abort_on_error=0:check_initialization_order=1:strict_init_order=1:detect_stack_use_after_return=1 \
                 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
                 LSAN_OPTIONS=suppressions=$(CURDIR)/fuzz/lsan.supp:print_suppressions=0

# Seconds each fuzz harness runs in `make fuzz-smoke` (six harnesses: about four minutes in all),
# or in `make fuzz-long FUZZ_SECONDS=N`.
FUZZ_SECONDS ?= 40

.PHONY: all deps build test test-asan fuzz fuzz-smoke fuzz-long demo bench install clean

all: build

# Installs what is missing (as root); does nothing when everything is there.
deps:
	@missing=""; for p in $(PACKAGES); do \
	  dpkg-query -W -f='$${Status}' $$p 2>/dev/null | grep -q "install ok installed" || missing="$$missing $$p"; \
	done; \
	if [ -n "$$missing" ]; then \
	  echo "Installing:$$missing"; \
	  SUDO=""; [ "$$(id -u)" -eq 0 ] || SUDO=sudo; \
	  $$SUDO apt-get update -qq && DEBIAN_FRONTEND=noninteractive $$SUDO apt-get install -y -qq $$missing; \
	fi

$(BUILD)/CMakeCache.txt:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

build: $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS)

test: deps
	$(MAKE) build
	ctest --test-dir $(BUILD) --output-on-failure -j$(JOBS)

# The whole test suite under AddressSanitizer and UndefinedBehaviorSanitizer, in its own folder
# (without the benchmarks: sanitized timings mean nothing, and CI time is short). gcc's
# maybe-uninitialized analysis gives false positives under ASan (std::regex's std::function in the
# command-line tests), which CI's -Werror would turn into a failed build; gcc honours this -Wno
# ahead of the project's -Wall.
test-asan: deps
	cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DORVEX_SANITIZE=ON -DCMAKE_DISABLE_FIND_PACKAGE_benchmark=ON \
	  -DCMAKE_CXX_FLAGS=-Wno-maybe-uninitialized
	cmake --build build-asan -j$(JOBS)
	$(SANITIZER_ENV) ctest --test-dir build-asan --output-on-failure -j$(JOBS)

# libFuzzer harnesses (fuzz/), built with clang, ASan and UBSan in build-fuzz/. fuzz/Fuzzers.cmake
# is injected into the project so the libraries get coverage instrumentation.
fuzz: deps
	CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DORVEX_SANITIZE=ON \
	  -DCMAKE_PROJECT_OrvexViewer_INCLUDE=$(CURDIR)/fuzz/Fuzzers.cmake
	cmake --build build-fuzz -j$(JOBS) --target fuzzers

# Each harness for FUZZ_SECONDS from its seed corpus (fuzz/run-smoke); fails on any finding.
fuzz-smoke: fuzz
	$(SANITIZER_ENV) fuzz/run-smoke build-fuzz $(FUZZ_SECONDS)

# Longer runs outside CI, one harness at a time: each for FUZZ_SECONDS, and the grown corpus is
# minimised into fuzz/corpus/<harness> (commit it), so the next run starts where this one ended.
fuzz-long: fuzz
	$(SANITIZER_ENV) fuzz/run-smoke build-fuzz $(FUZZ_SECONDS) --keep

# The main job on built-in data: simulates, draws every picture and runs the demo document's
# Tour macro, writing under $(BUILD)/demo (orvex demo prints each file).
demo: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target orvex
	$(BUILD)/orvex demo -o $(BUILD)/demo

# Benchmarks are always built optimised, in their own build folder, and all of them run, one after
# another (built with -j$(JOBS), run with -j1: two at once on 2 cores would measure each other).
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target benchmark_programs
	cmake --build build-bench -j1 --target run_benchmarks

# The tool, the docs and the examples under PREFIX (as root for /usr/local), so `orvex` is on the PATH.
install: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j$(JOBS) --target orvex
	cmake --install $(BUILD) --prefix $(PREFIX)

clean:
	rm -rf $(BUILD)
