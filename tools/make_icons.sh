#!/usr/bin/env bash
# Draws the application icon's PNGs (packaging/icons/kvrview-<size>.png) from its SVG with
# rsvg-convert (Debian's librsvg2-bin, not needed to build: the PNGs are committed).
# Usage: tools/make_icons.sh
set -euo pipefail
icons=$(cd "$(dirname "$0")/../packaging/icons" && pwd)
command -v rsvg-convert >/dev/null || { echo "make_icons: rsvg-convert is missing (apt-get install librsvg2-bin)" >&2; exit 1; }
for size in 16 24 32 48 64 128 256; do
  rsvg-convert -w "$size" -h "$size" "$icons/kvrview.svg" -o "$icons/kvrview-$size.png"
done
