#!/usr/bin/env bash
# Draws the PNG icons that sit beside the SVG ones (for desktops and software centres that want
# bitmaps at the standard sizes) from share/icons/*.svg. Run after changing an SVG and commit the
# result: the build installs the committed PNGs, so it needs no SVG renderer. Needs rsvg-convert
# (Debian package librsvg2-bin), whose PNGs carry no time stamp.
set -euo pipefail
cd "$(dirname "$0")/../share/icons"
command -v rsvg-convert >/dev/null || { echo "rsvg-convert is missing (librsvg2-bin)" >&2; exit 1; }
for size in 16 22 24 32 48 64 128 256; do
    mkdir -p "${size}x${size}"
    for svg in *.svg; do
        rsvg-convert -w "$size" -h "$size" "$svg" -o "${size}x${size}/${svg%.svg}.png"
    done
done
