# SPDX-License-Identifier: GPL-3.0-or-later
# Wraps CMake: `make run` and `make test` set up everything on a fresh
# Debian 12 machine (packages, configure, build) and then run.
BUILD ?= build
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test bench mutants fuzz install package format clean

all: build

deps:
	@scripts/install-deps.sh

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	@scripts/record-browser-choice.sh
	./$(BUILD)/pagewheel

test: build
	@scripts/run-tests.sh $(BUILD)

# Honours DESTDIR and PREFIX (default /usr/local).
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# A Debian package of the installed layout, in $(BUILD)/.
package: build
	@cd $(BUILD) && cpack -G DEB

bench: build
	@scripts/run-bench.sh $(BUILD)

# Plants small faults in the program's logic one at a time and prints the
# ones no test catches, then "caught K of N". A developer's tool: it builds
# a coverage build of its own in build-mutants/ and takes about an hour.
# MUTANTS_ARGS="--fraction 0.02" plants fewer; "--list" only lists them.
mutants: deps
	@scripts/run-mutants.sh $(MUTANTS_ARGS)

# The fuzzers, built with clang in a folder of their own.
fuzz:
	@scripts/install-deps.sh fuzz
	@scripts/run-fuzz.sh $(BUILD)-fuzz

format:
	@git ls-files '*.cpp' '*.h' | xargs clang-format -i

clean:
	rm -rf $(BUILD)
