# Two commands do all the set-up: `make run` and `make test`.
BUILD      ?= build
JOBS       ?= 2
BUILD_TYPE ?= RelWithDebInfo
PREFIX     ?= /usr/local

.PHONY: all deps configure build run test screenshots bench fuzz sanitize install format clean

all: build

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) -DCMAKE_BUILD_TYPE=$(BUILD_TYPE) -DCMAKE_INSTALL_PREFIX=$(PREFIX) >/dev/null

build: configure
	@cmake --build $(BUILD) -j$(JOBS)

run: build
	./$(BUILD)/tavelin

test: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j$(JOBS)

screenshots: build
	cd $(BUILD) && QT_QPA_PLATFORM=offscreen ./tools/screenshots/take_screenshots
	@echo "Pictures are in $(BUILD)/screenshots/"

bench: deps
	@cmake -S . -B build-bench -DCMAKE_BUILD_TYPE=Release -DTAVELIN_BENCH=ON >/dev/null
	@cmake --build build-bench -j$(JOBS) --target store_bench list_bench calendar_bench search_bench found_list_bench start_bench tavelin
	./build-bench/bench/store_bench
	QT_QPA_PLATFORM=offscreen ./build-bench/bench/list_bench
	./build-bench/bench/calendar_bench
	./build-bench/bench/search_bench
	QT_QPA_PLATFORM=offscreen ./build-bench/bench/found_list_bench
	./build-bench/bench/start_bench

fuzz: deps
	@cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DTAVELIN_FUZZ=ON \
	    -DCMAKE_CXX_COMPILER=clang++ >/dev/null
	@cmake --build build-fuzz -j$(JOBS)
	@cmake --build build-fuzz --target run_fuzzers

# The whole suite under AddressSanitizer and UndefinedBehaviorSanitizer, in a build of its own.
# Unoptimised: it builds in about half the time, and the sanitizers see as much. No strict string
# checks: they make each strchr of libical's line reader scan the rest of the file, which turns a
# large calendar's parse quadratic under the sanitizer alone.
sanitize: deps
	@cmake -S . -B build-sanitize -DCMAKE_BUILD_TYPE=Debug -DTAVELIN_SANITIZE=ON >/dev/null
	@cmake --build build-sanitize -j$(JOBS)
	cd build-sanitize && QT_QPA_PLATFORM=offscreen \
	    ASAN_OPTIONS=detect_stack_use_after_return=1 \
	    UBSAN_OPTIONS=print_stacktrace=1 \
	    ctest --output-on-failure -j$(JOBS)

install: build
	cmake --install $(BUILD)

format:
	clang-format -i $$(git ls-files '*.cpp' '*.h')

clean:
	rm -rf $(BUILD) build-bench build-fuzz build-sanitize
