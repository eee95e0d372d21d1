# Orvane+ — the commands of the README. Each target first installs missing system packages.
BUILD      ?= build
BUILD_ASAN ?= build-asan
BUILD_TSAN ?= build-tsan
JOBS       ?= $(shell nproc)
DEMO       := samples/demo_iq.wav
CMAKE_FLAGS ?=

.PHONY: all deps build run test test-asan test-tsan bench format clean

all: build

deps:
	@./scripts/install-deps.sh

$(BUILD)/CMakeCache.txt: | deps
	cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=Release $(CMAKE_FLAGS)

build: deps $(BUILD)/CMakeCache.txt
	cmake --build $(BUILD) -j $(JOBS)

# Starts the window on the demo recording; a build without the GUI prints what the reader makes of it.
run: build
	@if [ -x $(BUILD)/orvane ]; then $(BUILD)/orvane $(DEMO); else $(BUILD)/orvane-cli info $(DEMO); fi

test: build
	ctest --test-dir $(BUILD) --output-on-failure -j $(JOBS)

test-asan: deps
	cmake -S . -B $(BUILD_ASAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_SANITIZE=ON -DORVANE_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_ASAN) -j $(JOBS)
	ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
	  ctest --test-dir $(BUILD_ASAN) --output-on-failure -j $(JOBS)

test-tsan: deps
	cmake -S . -B $(BUILD_TSAN) -DCMAKE_BUILD_TYPE=RelWithDebInfo -DORVANE_TSAN=ON -DORVANE_BENCH=OFF $(CMAKE_FLAGS)
	cmake --build $(BUILD_TSAN) -j $(JOBS)
	ctest --test-dir $(BUILD_TSAN) --output-on-failure -j $(JOBS)

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] || continue; echo "== $$b"; "$$b" || exit 1; done

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) $(BUILD_ASAN) $(BUILD_TSAN)
