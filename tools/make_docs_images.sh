#!/bin/sh
# Makes the pictures of docs/ headless: the contact sheet of the sample and a picture of one of its
# models with kvrview --sheet and --render, and docs/screenshot.png (the viewer itself, panels,
# name and sliders included, which --render leaves out) through the viewer's own frame in a test.
#   tools/make_docs_images.sh [build-dir]      (default: build)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" --target kvrview test_sample
cd "$root"
"$build/kvrview" --sheet --background 34,40,52 -o docs/contact-sheet.png sample
"$build/kvrview" --render windmill --size 640x400 --background 52,74,96 --time 300 -o docs/render.png sample
cd "$build/tests"
KVR_DOCS_DIR="$root/docs" SDL_VIDEODRIVER=offscreen ./test_sample --gtest_filter='SampleTest.ScreenshotShows*'
cd "$root"
# The thumbnailer's pictures of the sample's model files, in a grid with their file names, as a
# file manager shows a folder of them; and a turntable of the windmill.
thumbs=$(mktemp -d)
for model in sample/duskfen/structs/*.pie sample/duskfen/features/*.pie sample/duskfen/bodies/*.pie; do
  "$build/kvrview" --thumbnail "$model" -o "$thumbs/$(basename "$model").png" --size 128
done
/usr/bin/montage -font Liberation-Sans -pointsize 13 -label '%t' -background '#f6f5f4' -tile 8x \
  -geometry 128x128+10+8 "$thumbs"/*.png -strip docs/thumbnails.png
rm -rf "$thumbs"
"$build/kvrview" --turntable windmill --size 240x240 --background 52,74,96 -o docs/turntable.gif sample
# The windmill through glTF and back: exported, imported over itself in a copy of the sample (its
# keyframe animation stays), drawn as docs/render.png is.
trip=$(mktemp -d)
cp -r sample "$trip/set"
"$build/kvrview" --export windmill -o "$trip/windmill.glb" sample
"$build/kvrview" --import "$trip/windmill.glb" -o windmill.pie --into "$trip/set" --category structures
"$build/kvrview" --render windmill --size 640x400 --background 52,74,96 --time 300 -o docs/imported.png "$trip/set"
rm -rf "$trip"
