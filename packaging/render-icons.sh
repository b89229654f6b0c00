#!/usr/bin/env bash
# Renders the PNG icons of every hicolor size from the one drawing, vorn.svg. Run it after
# changing the drawing and commit the PNGs with it (needs rsvg-convert, from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")/icons/hicolor"
for size in 16 22 24 32 48 64 128 256 512; do
  mkdir -p "${size}x${size}/apps"
  rsvg-convert --width "$size" --height "$size" scalable/apps/vorn.svg -o "${size}x${size}/apps/vorn.png"
done
