#!/bin/sh
# Renders docs/contact-sheet.png (every sample model, by category) and docs/screenshot.png (the
# viewer with the category panel open) headless, through the viewer's own frame.
#   tools/make_docs_images.sh [build-dir]      (default: build)
set -e
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
cmake --build "$build" --target test_sample
cd "$build/tests"
KVR_DOCS_DIR="$root/docs" SDL_VIDEODRIVER=offscreen ./test_sample \
  --gtest_filter='SampleTest.EveryModelDrawsOnScreenAndMakesTheContactSheet:SampleTest.ScreenshotShows*'
