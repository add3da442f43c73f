# Front door of the build. Every target installs the Debian packages it
# needs first (scripts/install-deps.sh does nothing when all are present).

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run sanitize fuzz clean

all: build

deps:
	./scripts/install-deps.sh

configure: deps
	cmake -S . -B $(BUILD_DIR) -G Ninja -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) $(CMAKE_FLAGS)

build: configure
	cmake --build $(BUILD_DIR) -j $(JOBS)

# The whole suite, display tests included; fails on any failure.
test: build
	cd $(BUILD_DIR) && ctest --output-on-failure -j $(JOBS)

# The main job: the demo on a sample recording.
run: build
	./scripts/run-main-job.sh $(BUILD_DIR)

# The whole suite again with AddressSanitizer and UndefinedBehaviorSanitizer.
sanitize:
	$(MAKE) test BUILD_DIR=build-asan BUILD_TYPE=Debug CMAKE_FLAGS=-DKESTRA_SANITIZE=ON

# The GPS readers under libFuzzer with AddressSanitizer and UBSan (clang),
# for FUZZ_SECONDS, seeded with tiny generated recordings and hand-made
# malformed files. Inputs that find new paths collect in $(FUZZ_DIR)/corpus;
# a crash leaves its input in $(FUZZ_DIR) and fails the target.
FUZZ_DIR ?= build-fuzz
FUZZ_SECONDS ?= 300
fuzz: configure
	cmake --build $(BUILD_DIR) --target kestra-samplegen
	cmake -S tests/fuzz -B $(FUZZ_DIR) -G Ninja -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
	cmake --build $(FUZZ_DIR)
	./tests/fuzz/make-seeds.sh $(BUILD_DIR)/tools/kestra-samplegen $(FUZZ_DIR)/seeds
	mkdir -p $(FUZZ_DIR)/corpus
	$(FUZZ_DIR)/gps_fuzzer -max_total_time=$(FUZZ_SECONDS) -print_final_stats=1 \
	  -artifact_prefix=$(FUZZ_DIR)/ $(FUZZ_DIR)/corpus $(FUZZ_DIR)/seeds

clean:
	rm -rf $(BUILD_DIR) build-asan $(FUZZ_DIR)
