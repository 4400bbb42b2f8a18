# Plenvo — the two commands a new machine needs: `make run` and `make test`.
BUILD_DIR ?= build
ASAN_DIR ?= build-asan
TSAN_DIR ?= build-tsan
BUILD_TYPE ?= RelWithDebInfo
SAMPLE := samples/plenvo-sample-a0.pdf
LIGHT_SAMPLE := samples/plenvo-sample-light.pdf
CHINESE_SAMPLE := samples/plenvo-sample-chinese.pdf
# A two-character word that occurs many times on every page of the Chinese document.
CHINESE_QUERY := 工程
JOBS ?= $(shell nproc)
# WERROR=1 turns compiler warnings into errors (CI does).
WERROR ?=
COMMON_OPTIONS := -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DPLENVO_WERROR=$(if $(WERROR),ON,OFF)
# The benchmark runs no test, so the sanitizer builds leave it out.
ASAN_CMAKE_OPTIONS := $(COMMON_OPTIONS) -DPLENVO_SANITIZE=ON -DPLENVO_BUILD_BENCH=OFF
TSAN_CMAKE_OPTIONS := $(COMMON_OPTIONS) -DPLENVO_TSAN=ON -DPLENVO_BUILD_BENCH=OFF
# The suites whose code runs on worker threads: the hand-over itself, render queue and tile
# cache, canvas, thumbnails, rendering and search.
TSAN_SUITES := tst_PlenvoThreadHandOver tst_PDFRenderQueue tst_BlueprintPDFView tst_PDFThumbnailView \
               tst_PDFDocument
empty :=
space := $(empty) $(empty)

# `make install`: the program and its desktop files, stripped, from build/ into PREFIX
# (DESTDIR is honoured). `make deb`: build-deb/plenvo_<version>_amd64.deb, from a Release build
# of the program alone.
PREFIX ?= /usr/local
DEB_DIR ?= build-deb
DEB_CMAKE_OPTIONS := -DCMAKE_BUILD_TYPE=Release -DPLENVO_WERROR=$(if $(WERROR),ON,OFF) \
	-DPLENVO_BUILD_BENCH=OFF -DPLENVO_BUILD_TESTS=OFF -DCMAKE_INSTALL_PREFIX=/usr

# `make fuzz`: every fuzz target for FUZZ_SECONDS each, in a build of its own.
FUZZ_BUILD_DIR ?= build-fuzz
FUZZ_SECONDS ?= 60
FUZZ_SCRATCH ?= /tmp/plenvo-fuzz
FUZZ_TARGETS := pdf_document recent_documents reading_positions shortcut_configuration \
	recently_used_xbel single_instance_message

.PHONY: all deps configure build run test test-asan test-tsan sample bench clean fuzz format install deb FORCE

all: build sample

deps:
	@scripts/install-deps.sh

# $(call configure_rule,DIR,OPTIONS): DIR is configured with OPTIONS, and again whenever
# they differ from the last time (DIR/.options records them).
define configure_rule
$(1)/build.ninja: CMakeLists.txt $(1)/.options | deps
	cmake -S . -B $(1) -G Ninja $(2)
$(1)/.options: FORCE
	@mkdir -p $(1) && echo '$(2)' | cmp -s - $$@ || echo '$(2)' >$$@
endef
$(eval $(call configure_rule,$(BUILD_DIR),$(COMMON_OPTIONS)))
$(eval $(call configure_rule,$(ASAN_DIR),$(ASAN_CMAKE_OPTIONS)))
$(eval $(call configure_rule,$(TSAN_DIR),$(TSAN_CMAKE_OPTIONS)))
$(eval $(call configure_rule,$(DEB_DIR),$(DEB_CMAKE_OPTIONS)))

configure: deps $(BUILD_DIR)/build.ninja

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

$(SAMPLE): | build
	$(BUILD_DIR)/bin/plenvo-make-sample $(SAMPLE)

$(LIGHT_SAMPLE): | build
	$(BUILD_DIR)/bin/plenvo-make-sample $(LIGHT_SAMPLE) --light

$(CHINESE_SAMPLE): | build
	$(BUILD_DIR)/bin/plenvo-make-sample $(CHINESE_SAMPLE) --chinese

sample: build $(SAMPLE) $(LIGHT_SAMPLE) $(CHINESE_SAMPLE)

run: build sample
	$(BUILD_DIR)/bin/plenvo $(SAMPLE)

test: build sample
	scripts/run-tests.sh $(BUILD_DIR)

install: configure
	cmake --build $(BUILD_DIR) -j $(JOBS) --target plenvo plenvo_data
	cmake --install $(BUILD_DIR) --prefix $(PREFIX) --strip

# The package's files are what the install rules put under /usr, stripped; its Depends line
# is dpkg-shlibdeps' reading of the binary plus cmake/PlenvoPackage.cmake's list.
deb: deps $(DEB_DIR)/build.ninja
	cmake --build $(DEB_DIR) -j $(JOBS)
	cd $(DEB_DIR) && cpack -G DEB
	@ls -l $(DEB_DIR)/plenvo_*_amd64.deb

# Every suite, end-to-end tests included, under AddressSanitizer (with leak checks) and
# UndefinedBehaviorSanitizer; any report fails the run.
test-asan: deps $(ASAN_DIR)/build.ninja
	cmake --build $(ASAN_DIR) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:detect_stack_use_after_return=1:check_initialization_order=1:strict_init_order=1 \
	LSAN_OPTIONS=suppressions=$(CURDIR)/scripts/lsan.supp:print_suppressions=0 \
	UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	scripts/run-tests.sh $(ASAN_DIR)

# The threaded suites under ThreadSanitizer; any report fails the run.
test-tsan: deps $(TSAN_DIR)/build.ninja
	cmake --build $(TSAN_DIR) -j $(JOBS) --target $(TSAN_SUITES)
	TSAN_OPTIONS=halt_on_error=0:second_deadlock_stack=1:suppressions=$(CURDIR)/scripts/tsan.supp \
	scripts/run-tests.sh $(TSAN_DIR) -R '^($(subst $(space),|,$(TSAN_SUITES)))$$'

# Formats every C++ file in place; `make test` fails on one that is not.
format:
	@scripts/check-format.sh --fix

# The heavy and the light drawing, then search alone on the Chinese document.
bench: build sample
	$(BUILD_DIR)/bin/plenvo-bench $(SAMPLE)
	$(BUILD_DIR)/bin/plenvo-bench $(LIGHT_SAMPLE)
	$(BUILD_DIR)/bin/plenvo-bench $(CHINESE_SAMPLE) --only search --query $(CHINESE_QUERY)

fuzz:
	@scripts/install-deps.sh --fuzz
	cmake -S . -B $(FUZZ_BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DPLENVO_FUZZ=ON \
		-DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14
	cmake --build $(FUZZ_BUILD_DIR) -j $(JOBS)
	scripts/run-fuzz.sh $(FUZZ_BUILD_DIR) $(FUZZ_SECONDS) $(FUZZ_SCRATCH) $(FUZZ_TARGETS)

clean:
	rm -rf $(BUILD_DIR) $(ASAN_DIR) $(TSAN_DIR) $(DEB_DIR) $(SAMPLE) $(LIGHT_SAMPLE) $(CHINESE_SAMPLE)
