# Two builds: the native host build (packaging tool, tests) and the 32-bit
# Windows build (installer pieces), both driven from here.
BUILD      := build
HOST_DIR   := $(BUILD)/host
WIN_DIR    := $(BUILD)/win32
FUZZ_DIR   := $(BUILD)/fuzz
JOBS       := $(shell nproc)
PACK       := $(HOST_DIR)/tools/pack/parvane-pack
FUZZ_TIME  ?= 60

# Every PE file the build links carries this time stamp, so that two builds
# of one commit are byte for byte the same: by default the commit's time.
SOURCE_DATE_EPOCH ?= $(shell git log -1 --format=%ct 2>/dev/null || echo 0)
export SOURCE_DATE_EPOCH

.PHONY: all deps host windows package release-package release-check sign test run fuzz mutants bench clean

all: package

deps:
	@scripts/install-deps.sh

host: deps
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release \
	  -DPARVANE_WIN32_BUILD=$(abspath $(WIN_DIR)) >/dev/null
	@cmake --build $(HOST_DIR) -j$(JOBS)

windows: deps
	@cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN_DIR) -j$(JOBS)

# The installer: the Windows image with the product's files packed behind it.
package: host windows
	@scripts/pack-installer.sh $(HOST_DIR) $(WIN_DIR) $(BUILD)/ParvaneSetup.exe

# Only what a release is made of, without the tests: the packing tool, the
# button bitmaps, the installer image and the product's programs, packed.
RELEASE_HOST_TARGETS := parvane-pack button_bitmaps
RELEASE_WIN_TARGETS  := ParvaneSetup standin_parvane standin_guard standin_skinctl \
                        standin_guard_driver
release-package: deps
	@cmake -S . -B $(HOST_DIR) -DCMAKE_BUILD_TYPE=Release \
	  -DPARVANE_WIN32_BUILD=$(abspath $(WIN_DIR)) >/dev/null
	@cmake --build $(HOST_DIR) -j$(JOBS) --target $(RELEASE_HOST_TARGETS)
	@cmake -S . -B $(WIN_DIR) -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-i686.cmake \
	  -DCMAKE_BUILD_TYPE=MinSizeRel >/dev/null
	@cmake --build $(WIN_DIR) -j$(JOBS) --target $(RELEASE_WIN_TARGETS)
	@scripts/pack-installer.sh $(HOST_DIR) $(WIN_DIR) $(BUILD)/ParvaneSetup.exe

# Two clean builds of the commit in two folders must be byte for byte the
# same, with the commit's time and correct PE checksums (70 to 95 s).
release-check:
	@scripts/release-check.sh

# A signed release: SIGN_CERT and SIGN_KEY name the certificate and key
# (PEM); SIGN_PASS is the key's pass phrase, if any.
sign: host windows
	@scripts/sign-installer.sh $(HOST_DIR) $(WIN_DIR) $(BUILD)/ParvaneSetup.exe \
	  "$(SIGN_CERT)" "$(SIGN_KEY)"

test: package
	@cd $(HOST_DIR) && ctest --output-on-failure -j$(JOBS)

# Builds, packs and starts the installer under Wine: on the user's display
# when there is one, otherwise inside Xvfb with a scripted walk through
# every window that saves screenshots under build/screenshots/.
run: package
	@scripts/run-installer.sh $(BUILD)/ParvaneSetup.exe

# Coverage-guided fuzzing with libFuzzer (clang): the payload reader, then
# the command-line rules, FUZZ_TIME seconds each (FUZZ_TARGETS picks). Inputs
# that break a rule are saved under build/fuzz/findings/.
FUZZ_TARGETS ?= payload command_line
fuzz: host
	@CC=clang CXX=clang++ cmake -S . -B $(FUZZ_DIR) -DCMAKE_BUILD_TYPE=RelWithDebInfo \
	  -DPARVANE_LIBFUZZER=ON >/dev/null
	@cmake --build $(FUZZ_DIR) -j$(JOBS) --target payload_fuzzer command_line_fuzzer make_fuzz_seeds
	@mkdir -p $(FUZZ_DIR)/corpus $(FUZZ_DIR)/command_line_corpus $(FUZZ_DIR)/findings
	@$(FUZZ_DIR)/tests/fuzz/make_fuzz_seeds $(FUZZ_DIR)/corpus
	@cp tests/fuzz/command_line_seeds/* $(FUZZ_DIR)/command_line_corpus/
	@for target in $(FUZZ_TARGETS); do \
	  case $$target in \
	    payload) corpus=corpus; max=65536;; \
	    command_line) corpus=command_line_corpus; max=4096;; \
	    *) echo "unknown fuzz target $$target"; exit 2;; \
	  esac; \
	  echo "== $$target: $(FUZZ_TIME) s"; \
	  $(FUZZ_DIR)/tests/fuzz/$${target}_fuzzer -max_total_time=$(FUZZ_TIME) -max_len=$$max \
	    -print_final_stats=1 -artifact_prefix=$(FUZZ_DIR)/findings/$$target- \
	    $(FUZZ_DIR)/$$corpus || exit 1; \
	done

# Faults planted one at a time in the portable code (tests/mutants/faults.txt),
# each rebuilt in a scratch copy under build/mutants and run against the
# host tests: prints the faults no test caught and the share caught.
# Never part of make test.
mutants: deps
	@python3 tests/mutants/run_mutants.py

# Native extraction and packing throughput, then the comparison with the
# peer installer under Wine; results in build/bench/results.json and
# build/bench/summary.png. Never part of make test.
bench: host windows
	@scripts/install-deps.sh --bench
	@$(HOST_DIR)/bench/payload_bench $(BUILD)/bench/native --json $(BUILD)/bench/native.json
	@bench/peer/run.sh $(HOST_DIR) $(WIN_DIR) $(BUILD)/bench

clean:
	rm -rf $(BUILD)
