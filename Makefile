# Plenvo — the two commands a new machine needs: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
SAMPLE := samples/plenvo-sample-a0.pdf
JOBS ?= $(shell nproc)

# `make fuzz`: every fuzz target for FUZZ_SECONDS each, in a build of its own.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SCRATCH ?= /tmp/plenvo-fuzz
FUZZ_TARGETS := pdf_document recent_documents reading_positions shortcut_configuration \
	recently_used_xbel single_instance_message

.PHONY: all deps configure build run test sample bench clean fuzz

all: build sample

deps:
	@scripts/install-deps.sh

$(BUILD_DIR)/build.ninja: CMakeLists.txt | deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE)

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

$(SAMPLE): | build
	$(BUILD_DIR)/bin/plenvo-make-sample $(SAMPLE)

sample: build $(SAMPLE)

run: build sample
	$(BUILD_DIR)/bin/plenvo $(SAMPLE)

test: build sample
	scripts/run-tests.sh $(BUILD_DIR)

bench: build sample
	$(BUILD_DIR)/bin/plenvo-bench $(SAMPLE)

fuzz:
	@scripts/install-deps.sh --fuzz
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLENVO_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS)
	scripts/run-fuzz.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS) $(FUZZ_SCRATCH) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD_DIR) $(SAMPLE)
