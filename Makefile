BUILD ?= build
JOBS ?= 2
CMAKE_FLAGS ?= -DCMAKE_BUILD_TYPE=RelWithDebInfo

.PHONY: deps configure build test test-faults run bench clean test-asan test-tsan fuzz install paquet

deps:
	@scripts/install-deps

configure: deps
	@cmake -S . -B $(BUILD) $(CMAKE_FLAGS) > /dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) -LE slow

# Every fault test of vellumor-cli, the long ones (kill -9 at random moments) included.
test-faults: build
	@cd $(BUILD) && ctest --output-on-failure -L test_faults

run: build
	@if [ -x $(BUILD)/src/app/vellumor ] && [ -n "$$DISPLAY$$WAYLAND_DISPLAY" ]; then \
	    $(BUILD)/src/app/vellumor; \
	else echo "Pas d'affichage graphique : voici la ligne de commande ($(BUILD)/src/cli/vellumor-cli)."; \
	    $(BUILD)/src/cli/vellumor-cli --aide; fi

# Installs the two programs, the desktop entry, the icons and the manual page under PREFIX
# (DESTDIR is honoured for staged installs).
PREFIX ?= /usr/local
install: build
	@cmake --install $(BUILD) --prefix $(PREFIX)

# The Debian package, with its dependencies computed from the programs' libraries, in $(BUILD)/.
paquet: build
	@cd $(BUILD) && cpack -G DEB > /dev/null
	@ls $(BUILD)/vellumor_*.deb

bench: build
	@scripts/install-deps --bench
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
	    ctest --output-on-failure -j $(JOBS) -LE slow

test-tsan: deps
	@cmake -S . -B build-tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMOR_SANITIZE=thread \
	    -DVELLUMOR_GUI=OFF -DVELLUMOR_BENCH=OFF > /dev/null
	@cmake --build build-tsan -j $(JOBS)
	@cd build-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) -L 'test_(batch|ops|cli|faults)' -LE slow

# Fuzz targets (libFuzzer, clang, ASan + UBSan), each run for FUZZ_SECONDS from the seeds that
# fuzz_seeds writes plus the kept inputs of tests/data/fuzz; findings go to build-fuzz/artifacts.
FUZZ_SECONDS ?= 60
FUZZ_FLAGS ?=
FUZZ_NICE ?= 0
fuzz:
	@scripts/install-deps --fuzz
	@CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELLUMOR_FUZZ=ON \
	    -DVELLUMOR_TESTS=OFF -DVELLUMOR_BENCH=OFF -DVELLUMOR_GUI=OFF > /dev/null
	@cmake --build build-fuzz -j $(JOBS)
	@build-fuzz/tests/fuzz/fuzz_seeds build-fuzz/corpus
	@for target in build-fuzz/tests/fuzz/fuzz_*; do \
	    name=$$(basename $$target); [ $$name = fuzz_seeds ] && continue; \
	    mkdir -p build-fuzz/artifacts/$$name; \
	    kept=tests/data/fuzz/$$name; [ -d $$kept ] || kept=; \
	    dict=tests/fuzz/$$name.dict; [ -f $$dict ] && dict_flag=-dict=$$dict || dict_flag=; \
	    echo "== $$name ($(FUZZ_SECONDS) s)"; \
	    log=build-fuzz/logs/$$name.log; mkdir -p build-fuzz/logs; \
	    if nice -n $(FUZZ_NICE) $$target -max_total_time=$(FUZZ_SECONDS) -timeout=10 -rss_limit_mb=3072 \
	        $$dict_flag -artifact_prefix=build-fuzz/artifacts/$$name/ -print_final_stats=1 \
	        $(FUZZ_FLAGS) build-fuzz/corpus/$$name $$kept > $$log 2>&1; then \
	        grep -E 'stat::number_of_executed_units|Done [0-9]+ runs' $$log; \
	    else tail -n 40 $$log; echo "Échec de $$name : voir $$log et build-fuzz/artifacts/$$name"; exit 1; fi; \
	done
