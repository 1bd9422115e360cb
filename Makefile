# The two commands: `make demo` builds and runs the demo host, `make test`
# builds and runs the whole suite. Both install what is missing first.
BUILD ?= build

.PHONY: all setup configure build demo gallery test bench fuzz format format-check clean

all: build

setup:
	@bash scripts/setup.sh

# The toolchain file is handed over only when the build folder is configured
# for the first time: CMake keeps it, and warns when it is given again.
configure: setup
	@cmake -S . -B $(BUILD) -G Ninja \
	  $(if $(wildcard $(BUILD)/CMakeCache.txt),,-DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake) >/dev/null

build: configure
	@cmake --build $(BUILD)

demo: build
	@cmake --build $(BUILD) --target demo

# A picture of every dialog and control in docs/gallery (the README shows
# them); then the prefix's wineserver is stopped.
gallery: build
	@cmake --build $(BUILD) --target gallery; rc=$$?; \
	  WINEPREFIX="$$(cd $(BUILD) && pwd)/wineprefix" wineserver -k >/dev/null 2>&1; exit $$rc

# The suite includes the format check (a CTest test of its own).
test: build
	@bash scripts/test.sh $(BUILD)

# Fails on a source that the checked-in .clang-format would change; `make
# format` applies it.
format-check: setup
	@bash scripts/format-check.sh

format: setup
	@bash scripts/format-check.sh --fix

# The configuration and string-pool benchmarks (not part of the suite), then
# the prefix's wineserver is stopped so that nothing outlives the run.
bench: build
	@cmake --build $(BUILD) --target bench; rc=$$?; \
	  WINEPREFIX="$$(cd $(BUILD) && pwd)/wineprefix" wineserver -k >/dev/null 2>&1; exit $$rc

# The fuzz targets of the natively built core (not part of the suite), each
# for FUZZ_SECONDS; new inputs, findings and the figures go to $(BUILD)/fuzz.
FUZZ_SECONDS ?= 60
fuzz: build
	@bash scripts/fuzz.sh $(BUILD)/native/bin $(FUZZ_SECONDS) $(BUILD)/fuzz

clean:
	rm -rf $(BUILD)
