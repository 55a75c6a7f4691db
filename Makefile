# Two entry points on a fresh Debian 12 machine:
#   make test   installs what is missing, builds host, Windows x64 and x86, runs every test
#   make demo   installs, builds, and runs the main job against the simulated modem
# Other targets: make deps | build | host | x64 | x86 | fuzz | screenshots | dist | bench | soak | clean

SHELL := /bin/bash
ROOT  := $(CURDIR)
BUILD := $(ROOT)/build
DIST  := $(ROOT)/dist
CTEST_JOBS ?= 2
CMAKE_GEN := -G Ninja -DCMAKE_BUILD_TYPE=Release

FUZZ_SECONDS ?= 20

.PHONY: all deps build host x64 x86 fuzz test demo screenshots dist bench soak clean

all: build

deps:
	@tools/deps.sh

host: deps
	@cmake -S . -B $(BUILD)/host $(CMAKE_GEN) -DSANITIZE=ON >/dev/null
	@cmake --build $(BUILD)/host

x64: deps host
	@cmake -S . -B $(BUILD)/x64 $(CMAKE_GEN) \
	    -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-mingw-x86_64.cmake \
	    -DDIST_DIR=$(DIST)/x64 -DHOST_BUILD_DIR=$(BUILD)/host >/dev/null
	@cmake --build $(BUILD)/x64

x86: deps host
	@cmake -S . -B $(BUILD)/x86 $(CMAKE_GEN) \
	    -DCMAKE_TOOLCHAIN_FILE=$(ROOT)/cmake/toolchain-mingw-i686.cmake \
	    -DDIST_DIR=$(DIST)/x86 -DHOST_BUILD_DIR=$(BUILD)/host >/dev/null
	@cmake --build $(BUILD)/x86

# Host build with clang and libFuzzer: the fuzz targets, each run for
# FUZZ_SECONDS by the test suite.
fuzz: deps
	@cmake -S . -B $(BUILD)/fuzz $(CMAKE_GEN) -DFUZZING=ON -DBUILD_TESTING=OFF \
	    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DFUZZ_SECONDS=$(FUZZ_SECONDS) >/dev/null
	@cmake --build $(BUILD)/fuzz

build: host x64 x86 fuzz
	@printf 'subdirs("host" "x64" "x86" "fuzz")\n' > $(BUILD)/CTestTestfile.cmake

# Fails on any failure and on any skip but those the machine itself forces
# (tools/run-tests.sh lists every skip with its reason at the end).
test: build
	@tools/run-tests.sh $(BUILD) $(CTEST_JOBS)

demo: build
	@tools/demo.sh

# The installation media of dist/x64 and dist/x86, each packed into a zip.
MEDIUM_FILES := setup.exe setup.inf mdmprobe.cab
dist: x64 x86
	@for arch in x64 x86; do \
	    rm -f $(DIST)/vantor-modem-tools-$$arch.zip; \
	    (cd $(DIST)/$$arch && zip -q -X ../vantor-modem-tools-$$arch.zip $(MEDIUM_FILES)) || exit 1; \
	    echo "$(DIST)/vantor-modem-tools-$$arch.zip"; \
	done

# Our setup.exe against an NSIS installer under Wine (not part of make test).
bench: x64
	@tools/bench/bench.sh

# Both programs against drawn faults, SOAK_RUNS (1000) runs each, SOAK_JOBS
# at once (not part of make test; see tools/soak/README.md).
soak: host x64
	@tools/soak/soak.sh

# Pictures of every wizard page under Xvfb: build/screenshots/index.html.
# DOCS=1 also refreshes the README's pictures in docs/images/.
screenshots: host x64
	@tools/screenshots/make-screenshots.sh $(if $(DOCS),--docs)

clean:
	rm -rf $(BUILD) $(DIST)
