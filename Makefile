# kvrview: the two commands people need are `make run` and `make test`.
JOBS ?= $(shell nproc)
CMAKE_LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache,)

.PHONY: all build run test web windows package package-windows install test-asan test-tsan fuzz soak bench bench-scale bench-wine bench-web sample clean

all: build

build/build.ninja:
	cmake --preset default $(CMAKE_LAUNCHER) >/dev/null

build: build/build.ninja
	cmake --build build -j $(JOBS)

# Installs what is missing, builds, and starts the viewer on the bundled data set.
run:
	scripts/install-deps
	$(MAKE) build
	cd sample && ../build/kvrview

# Installs what is missing, builds everything (the Windows build included, and the browser build
# when emscripten is installed: scripts/install-deps --web) and runs every test headless.
test:
	scripts/install-deps
	$(MAKE) build windows $(if $(shell command -v emcc),web,)
	cd build && ctest --output-on-failure -j $(JOBS)

# The browser build (needs scripts/install-deps --web): build-web/ holds the page, index.html,
# which shows the sample and opens a data set folder from the user's disk; serve it with
# `python3 -m http.server -d build-web`. Debian's emscripten finds its JavaScript modules (acorn)
# in /usr/share/nodejs, where a node from elsewhere does not look by itself.
EMSCRIPTEN_ENV := NODE_PATH=/usr/share/nodejs$(if $(NODE_PATH),:$(NODE_PATH),)
build-web/build.ninja:
	$(EMSCRIPTEN_ENV) emcmake cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null

web: build-web/build.ninja
	$(EMSCRIPTEN_ENV) cmake --build build-web -j $(JOBS)

# Cross-compiles the same sources against mingw-w64's Windows headers and import libraries.
build-win/build.ninja:
	cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(CMAKE_LAUNCHER) >/dev/null

windows: build-win/build.ninja
	cmake --build build-win -j $(JOBS)

# build/kvrview_<version>_amd64.deb and build/libkvrplatform-dev_<version>_amd64.deb (CPack
# components; the viewer's Depends worked out by dpkg-shlibdeps). Configures again first, so that
# a help2man installed since the first configure makes the man page.
package:
	scripts/install-deps
	cmake --preset default $(CMAKE_LAUNCHER) >/dev/null
	cmake --build build -j $(JOBS)
	cd build && cpack

# build-win/kvrview-<version>-windows.zip: kvrview.exe, README.md and the sample data set.
package-windows: windows
	cd build-win && cpack

# Installs the build under PREFIX (default /usr/local), inside DESTDIR when that is set.
PREFIX ?= /usr/local
install: build
	DESTDIR=$(DESTDIR) cmake --install build --prefix $(PREFIX)

# The whole suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer. The
# asan presets hold everything: test programs start through tests/asan/run_sanitized, and the
# sanitizer options (leak suppressions only inside the graphics stack, tests/asan/lsan.supp) also
# reach the viewer that the end-to-end script starts. Eight script tests are left to `make test`:
# the pkg-config consumer, the SDK-style programs, the lit scenes and the package link a plain
# program against the layer, which a sanitized layer cannot serve, the two browser tests run the
# browser build, which is not sanitized, the fuzz smoke run uses the fuzz build's own sanitizers,
# and the benchmarks are not built here (their timings would mean nothing under the sanitizers).
build-asan/build.ninja:
	cmake --preset asan $(CMAKE_LAUNCHER) >/dev/null

test-asan: build-asan/build.ninja
	cmake --build build-asan -j $(JOBS)
	ctest --preset asan -j $(JOBS)

# The loader's tests under ThreadSanitizer (build-tsan builds test_loading and the bench set's
# generator alone): the load that reads and parses on worker threads compared with the one-thread
# load, also given up half-way, and the load sequence and loading screen around it. The hostile
# set's comparison is left to `make test` (seven minutes under the sanitizer, through the same
# paths as the others); races inside Mesa's own threads are left out (tests/tsan/tsan.supp).
build-tsan/build.ninja:
	cmake --preset tsan $(CMAKE_LAUNCHER) >/dev/null

test-tsan: build-tsan/build.ninja
	cmake --build --preset tsan -j $(JOBS)
	ctest --preset tsan -j $(JOBS)

# Ten minutes of random input on the sample data set under Xvfb (not part of `make test`);
# SOAK_SECONDS sets the length, SOAK_SEED replays a run.
soak: build
	scripts/soak build/kvrview

# Runs every libFuzzer target (clang, ASan + UBSan, in build-fuzz) for FUZZ_SECONDS each.
# `scripts/fuzz --merge` then folds what the runs found into fuzz/corpus/.
FUZZ_SECONDS ?= 60
fuzz:
	JOBS=$(JOBS) scripts/fuzz $(FUZZ_SECONDS)

# Every benchmark (headless), ending with the frame, load, beat and memory figures set against
# their floors. The first run writes the 10,000-model set into build/bench-set.
bench: build/build.ninja
	cmake --build build -j $(JOBS) --target kvrbench
	SDL_VIDEODRIVER=offscreen build/kvrbench $(BENCH_ARGS)

# Loading at 10,000 and 100,000 models, time and peak memory: the load must stay linear. The first
# run also writes the 100,000-model set (about 640 MB) into build/bench-set-100k.
bench-scale: build/build.ninja
	cmake --build build -j $(JOBS) --target kvrbench kvrview
	SDL_VIDEODRIVER=offscreen build/kvrbench --scale --no-memory --benchmark_filter='BM_LoadToFirstFrame|BM_LoadHuge'

# The frame time against the Windows build's under Wine (needs scripts/install-deps --wine).
bench-wine:
	scripts/bench-wine

# The browser page (headless Chromium, uncapped) against `kvrview --frames` on the sample's start
# screen, and the page's time from navigation to that screen (needs scripts/install-deps --web).
bench-web:
	scripts/bench-web

# Writes the bundled data set again with the generator (the same bytes every run).
sample: build
	build/make_sample sample

clean:
	rm -rf build build-win build-web build-asan build-fuzz
