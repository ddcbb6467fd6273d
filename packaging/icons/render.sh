#!/usr/bin/env bash
# Renders korvale.svg into the PNG sizes that are installed beside it
# (<size>x<size>/korvale.png). Needs rsvg-convert (Debian package librsvg2-bin);
# run it after changing the SVG and commit the PNGs with it.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio korvale.svg -o "${size}x${size}/korvale.png"
done
