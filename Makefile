# Plenvo — the two commands a new machine needs: `make run` and `make test`.
BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
SAMPLE := samples/plenvo-sample-a0.pdf
JOBS ?= $(shell nproc)

.PHONY: all deps configure build run test sample bench clean

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

clean:
	rm -rf $(BUILD_DIR) $(SAMPLE)
