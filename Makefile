BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build test run bench clean test-asan test-tsan

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS)

run: build
	@if [ -x $(BUILD)/src/app/vellumor ]; then $(BUILD)/src/app/vellumor; \
	else $(BUILD)/src/cli/vellumor-cli --aide; fi

bench: build
	@for b in $(BUILD)/bench/bench_*; do [ -x "$$b" ] && "$$b" || exit 1; done

clean:
	@rm -rf $(BUILD)

# Sanitizer builds, each in its own folder. ThreadSanitizer runs over the core's tests (workers and
# operations); the GUI is left out because Qt's own threads are not instrumented.
test-asan: deps
	@cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DVELLUMOR_SANITIZE=address,undefined \
	    -DVELLUMOR_BENCH=OFF > /dev/null
	@cmake --build build-asan -j $(JOBS)
	@cd build-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1 \
	    ctest --output-on-failure -j $(JOBS)

test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMOR_SANITIZE=thread \
	    -DVELLUMOR_GUI=OFF -DVELLUMOR_BENCH=OFF > /dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L 'test_(batch|ops|cli)'
