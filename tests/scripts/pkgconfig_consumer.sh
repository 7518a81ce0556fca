#!/usr/bin/env bash
# Builds tests/scripts/consumer/*.cpp, a plain Win32 + Direct3D 9 program, against the layer the
# way an outside user would (the compiler and pkg-config, nothing else) and runs it headless.
# The program's exit code says what failed; 0 is a pass.
# Usage: pkgconfig_consumer.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)

if [[ ! -f "$build/kvrplatform.pc" || ! -f "$build/libkvrplatform.a" || ! -f "$build/libkvrplatform_main.a" ]]; then
  echo "pkgconfig_consumer: $build holds no built kvrplatform (build the kvrplatform targets first)" >&2
  exit 1
fi

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck disable=SC2046  # the flags are meant to split into words
c++ -o "$work/consumer" "$src"/tests/scripts/consumer/*.cpp \
  $(PKG_CONFIG_PATH="$build" pkg-config --cflags --libs kvrplatform)

cd "$work"
status=0
SDL_VIDEODRIVER=offscreen timeout 120 ./consumer || status=$?
if [[ $status -ne 0 ]]; then
  echo "pkgconfig_consumer: the consumer program exited with $status" >&2
  exit 1
fi
echo "pkgconfig_consumer: built against kvrplatform.pc and ran to a clean stop"
