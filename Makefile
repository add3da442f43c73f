# Front door of the build. Every target installs the Debian packages it
# needs first (scripts/install-deps.sh does nothing when all are present).

BUILD_DIR ?= build
BUILD_TYPE ?= RelWithDebInfo
JOBS ?= $(shell nproc)
CMAKE_FLAGS ?=

.PHONY: all deps configure build test run sanitize clean

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

clean:
	rm -rf $(BUILD_DIR) build-asan
