# Thin wrapper over CMake; the build lives in build/.
BUILD ?= build
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DWARNINGS_AS_ERRORS=ON
endif
JOBS ?= 2

.PHONY: all build test demo clean

all: build

build:
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

demo: build
	bash examples/run-demo.sh $(BUILD)/occasion-tallies

clean:
	rm -rf $(BUILD) build-*
