# make run   - install missing packages, build, start the program (ARGS="paths...")
# make test  - install missing packages, build, run every test with CTest
# make sanitize - the engine's tests under ThreadSanitizer and ASan+UBSan
# make bench - Release build of the benchmarks, then run them
# make fuzz  - clang build of the fuzz targets, each run FUZZ_SECONDS on its corpus
# make windows - MinGW build of digest, engine and platform for 32-bit Windows, tests under Wine

BUILD   ?= build
JOBS    ?= $(shell nproc 2>/dev/null || echo 4)
ARGS    ?=
CMAKE_FLAGS ?=
ifeq ($(CI),true)
  CMAKE_FLAGS += -DSORVIK_WERROR=ON
endif

.PHONY: all bootstrap configure build test run sanitize bench fuzz windows clean

all: build

bootstrap:
	@bash scripts/bootstrap

configure: bootstrap
	@cmake -S . -B $(BUILD) -G Ninja $(CMAKE_FLAGS) >/dev/null

build: configure
	@cmake --build $(BUILD) -j $(JOBS)

test: build
	@cd $(BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 600

run: build
	@if [ -x $(BUILD)/src/sorvik ]; then $(BUILD)/src/sorvik $(ARGS); \
	 else echo "The desktop program is not built yet."; exit 1; fi

# The engine's tests only; Qt is left out so that its libraries are not
# reported by the sanitizers.
SAN_FLAGS = -DSORVIK_WITH_QT=OFF -DSORVIK_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS)
sanitize: bootstrap
	@cmake -S . -B $(BUILD)-tsan -G Ninja $(SAN_FLAGS) -DSORVIK_SANITIZE=thread >/dev/null
	@cmake --build $(BUILD)-tsan -j $(JOBS)
	@cd $(BUILD)-tsan && TSAN_OPTIONS=halt_on_error=1 ctest --output-on-failure -j $(JOBS) --timeout 900
	@cmake -S . -B $(BUILD)-asan -G Ninja $(SAN_FLAGS) -DSORVIK_SANITIZE=address,undefined >/dev/null
	@cmake --build $(BUILD)-asan -j $(JOBS)
	@cd $(BUILD)-asan && ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 ctest --output-on-failure -j $(JOBS) --timeout 900

bench: bootstrap
	@cmake -S . -B $(BUILD)-release -G Ninja -DCMAKE_BUILD_TYPE=Release -DSORVIK_WITH_QT=OFF >/dev/null
	@cmake --build $(BUILD)-release -j $(JOBS) --target sorvik_bench
	@$(BUILD)-release/bench/sorvik_bench $(BENCH_ARGS)

# libFuzzer with ASan and UBSan over the parsers and the calculators; Qt is
# linked as installed, not instrumented.
FUZZ_SECONDS ?= 20
fuzz: bootstrap
	@CC=clang CXX=clang++ cmake -S . -B $(BUILD)-fuzz -G Ninja -DSORVIK_FUZZ=ON -DSORVIK_BENCH=OFF \
	  -DCMAKE_BUILD_TYPE=RelWithDebInfo $(CMAKE_FLAGS) >/dev/null
	@cmake --build $(BUILD)-fuzz -j $(JOBS) --target fuzz_all
	@bash scripts/run-fuzz $(BUILD)-fuzz/fuzz $(FUZZ_SECONDS)

# Windows for 32-bit x86 without Qt (there is none for MinGW here): the
# digests, the engine and the platform layer with their tests, cross-built
# and run under Wine in a prefix inside the build folder, each in the
# environment scripts/wine-run gives it. The prefix is made while the build
# runs.
WIN_BUILD = $(BUILD)-windows
WIN_FLAGS = -DCMAKE_TOOLCHAIN_FILE=$(CURDIR)/cmake/toolchain-mingw-i686.cmake -DSORVIK_WITH_QT=OFF \
  -DSORVIK_BENCH=OFF -DSORVIK_GTEST_SOURCE=/usr/src/googletest $(CMAKE_FLAGS)
windows:
	@bash scripts/bootstrap-windows
	@cmake -S . -B $(WIN_BUILD) -G Ninja $(WIN_FLAGS) >/dev/null
	@mkdir -p $(WIN_BUILD)/wineprefix
	@bash scripts/wine-run $(abspath $(WIN_BUILD))/wineprefix wineboot -i >$(WIN_BUILD)/wineboot.log 2>&1 & boot=$$!; \
	  cmake --build $(WIN_BUILD) -j $(JOBS); built=$$?; \
	  wait $$boot || { echo "wineboot failed:"; cat $(WIN_BUILD)/wineboot.log; exit 1; }; \
	  [ $$built -eq 0 ]
	@cd $(WIN_BUILD) && ctest --output-on-failure -j $(JOBS) --timeout 900

clean:
	@rm -rf $(BUILD) $(BUILD)-tsan $(BUILD)-asan $(BUILD)-release $(BUILD)-fuzz $(BUILD)-windows
