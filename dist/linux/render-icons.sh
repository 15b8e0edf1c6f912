#!/usr/bin/env bash
# Renders the PNG icons in icons/ from corvane.svg (needs rsvg-convert, from
# librsvg2-bin). Run after changing the drawing; the PNGs are kept in the
# repository so a build needs no renderer.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 24 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" corvane.svg -o "icons/corvane-$size.png"
done
