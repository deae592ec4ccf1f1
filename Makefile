# OrvexViewer for Linux: the two set-up commands are `make test` and `make demo`.
BUILD      ?= build
JOBS       ?= 2
BUILD_TYPE ?= RelWithDebInfo

# Debian packages the build, the tests and the tools need.
PACKAGES := build-essential cmake pkg-config libfreetype-dev libfontconfig-dev fonts-liberation \
            libpng-dev libcairo2-dev liblua5.4-dev nlohmann-json3-dev libgtest-dev libgmock-dev \
            libbenchmark-dev

.PHONY: all deps build test demo bench clean

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

# Benchmarks are always built optimised, in their own build folder, and all of them run.
bench: deps
	cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release
	cmake --build build-bench -j$(JOBS) --target run_benchmarks

clean:
	rm -rf $(BUILD)
