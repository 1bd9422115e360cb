# The two commands: `make demo` builds and runs the demo host, `make test`
# builds and runs the whole suite. Both install what is missing first.
BUILD ?= build

.PHONY: all setup configure build demo test clean

all: build

setup:
	@bash scripts/setup.sh

configure: setup
	@cmake -S . -B $(BUILD) -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake >/dev/null

build: configure
	@cmake --build $(BUILD)

demo: build
	@cmake --build $(BUILD) --target demo

test: build
	@bash scripts/test.sh $(BUILD)

clean:
	rm -rf $(BUILD)
