# kvrview: the two commands people need are `make run` and `make test`.
JOBS ?= $(shell nproc)
CMAKE_LAUNCHER := $(if $(shell command -v ccache),-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache,)

.PHONY: all build run test windows test-asan fuzz soak sample clean

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

# Builds everything (the Windows build included) and runs every test headless.
test: build windows
	cd build && ctest --output-on-failure -j $(JOBS)

# Cross-compiles the same sources against mingw-w64's Windows headers and import libraries.
build-win/build.ninja:
	cmake -S . -B build-win -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
	  -DCMAKE_BUILD_TYPE=Release $(CMAKE_LAUNCHER) >/dev/null

windows: build-win/build.ninja
	cmake --build build-win -j $(JOBS)

# The whole suite under AddressSanitizer, UndefinedBehaviorSanitizer and LeakSanitizer.
build-asan/build.ninja:
	cmake --preset asan $(CMAKE_LAUNCHER) >/dev/null

test-asan: build-asan/build.ninja
	cmake --build build-asan -j $(JOBS)
	cd build-asan && ASAN_OPTIONS=detect_leaks=1 ctest --output-on-failure -j $(JOBS)

# Runs every libFuzzer target (clang, ASan + UBSan, in build-fuzz) for FUZZ_SECONDS each.
# `scripts/fuzz --merge` then folds what the runs found into fuzz/corpus/.
FUZZ_SECONDS ?= 60
fuzz:
	JOBS=$(JOBS) scripts/fuzz $(FUZZ_SECONDS)

clean:
	rm -rf build build-win build-asan build-fuzz
