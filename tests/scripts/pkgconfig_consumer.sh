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
# The frame it saved is a PNG file of the window's size: the signature, then IHDR with 320 x 240.
head=$(head -c 24 consumer-frame.png 2>/dev/null | od -An -tx1 | tr -d ' \n')
if [[ $head != 89504e470d0a1a0a0000000d4948445200000140000000f0 ]]; then
  echo "pkgconfig_consumer: consumer-frame.png is not a 320x240 PNG file (starts ${head:-with nothing})" >&2
  exit 1
fi
echo "pkgconfig_consumer: built against kvrplatform.pc, saved a frame and ran to a clean stop"
