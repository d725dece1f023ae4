# Thin wrapper over CMake; the build lives in build/. Each target first makes
# sure the Debian packages it needs are there (tools/install-deps.sh).
BUILD ?= build
CMAKE_FLAGS ?=
ifdef CI
CMAKE_FLAGS += -DWARNINGS_AS_ERRORS=ON
endif
JOBS ?= 2

.PHONY: all build test demo bench fit-bench fuzz clean

all: build

build:
	bash tools/install-deps.sh test
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DREQUIRE_TESTS=ON $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS)

# The tests run twice: on the release build, then built with AddressSanitizer
# and UndefinedBehaviorSanitizer, where any report fails the run.
test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)
	cmake -S . -B $(BUILD)-sanitize -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSANITIZE=address,undefined $(CMAKE_FLAGS)
	cmake --build $(BUILD)-sanitize -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1:allocator_may_return_null=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(BUILD)-sanitize --output-on-failure -j $(JOBS)

# The demo builds the program alone, not the tests.
demo:
	bash tools/install-deps.sh demo
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target occasion-tallies
	bash examples/run-demo.sh $(BUILD)/occasion-tallies

# Fuzz targets (clang's libFuzzer), each run for FUZZ_SECONDS.
FUZZ_SECONDS ?= 60
fuzz:
	bash tools/install-deps.sh fuzz
	bash fuzz/run-fuzz.sh $(FUZZ_SECONDS)

clean:
	rm -rf $(BUILD) build-*

bench:
	bash tools/install-deps.sh bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target occasion-tallies survey-generator read-floor peak-rss
	bash bench/run-bench.sh $(BUILD)

# The model fits: recovery of known values and interval coverage on simulated surveys, then the
# time and memory of fitting 500 species, typical and all at every site (bench/fit_*.cpp).
fit-bench:
	bash tools/install-deps.sh bench
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)
	cmake --build $(BUILD) -j $(JOBS) --target fit-simulation fit-speed
	$(BUILD)/bench/fit-simulation --simulations 500
	$(BUILD)/bench/fit-speed
	$(BUILD)/bench/fit-speed --everywhere
