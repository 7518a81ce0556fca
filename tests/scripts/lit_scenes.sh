#!/usr/bin/env bash
# Builds tests/platform_d3d9/lit_scenes/lit_scenes.cpp against the layer with pkg-config, runs it
# headless and compares its lit frames with the ones Wine's Direct3D 9 drew from the same program
# (committed in lit_scenes/wine/, made by lit_scenes/compare.sh): each within 8 per channel on
# 99 % of its pixels. The device's answers must be Wine's, but for the one deliberate difference
# (a light type past D3DLIGHT_DIRECTIONAL, which Wine takes and the layer refuses). lit-9, a
# light whose attenuation adds up to zero, has no reference: the two differ on purpose.
# Usage: lit_scenes.sh SOURCE_DIR BUILD_DIR
set -euo pipefail
src=$(cd "$1" && pwd)
build=$(cd "$2" && pwd)
here="$src/tests/platform_d3d9/lit_scenes"

if [[ ! -f "$build/kvrplatform.pc" || ! -f "$build/libkvrplatform.a" || ! -f "$build/libkvrplatform_main.a" ]]; then
  echo "lit_scenes: $build holds no built kvrplatform (build the kvrplatform targets first)" >&2
  exit 1
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# shellcheck disable=SC2046  # the flags are meant to split into words
c++ -O1 -o "$work/lit_scenes" "$here/lit_scenes.cpp" $(PKG_CONFIG_PATH="$build" pkg-config --cflags --libs kvrplatform)
status=0
(cd "$work" && SDL_VIDEODRIVER=offscreen timeout 120 ./lit_scenes) || status=$?
if [[ $status -ne 0 ]]; then
  echo "lit_scenes: the program exited with $status" >&2
  exit 1
fi
if ! diff <(grep -v "^SetLight type 4" "$here/wine/lit-answers.txt") <(tr -d "\r" < "$work/lit-answers.txt" | grep -v "^SetLight type 4"); then
  echo "lit_scenes: the device's answers differ from Wine's (< Wine, > the layer)" >&2
  exit 1
fi
names=()
for i in 0 1 2 3 4 5 6 7 8 10 11 12; do names+=("lit-$i.png"); done
python3 "$here/compare_png.py" 8 0.99 "$here/wine" "$work" "${names[@]}"
