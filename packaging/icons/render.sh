#!/usr/bin/env bash
# Renders the program's icon, gzimport.svg, into the PNG sizes of the icon
# theme (NxN/gzimport.png beside this script). The PNGs are committed, so
# this only needs to run again after the SVG changed (needs rsvg-convert,
# from librsvg2-bin).
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 22 24 32 48 64 128 256; do
  mkdir -p "${size}x${size}"
  rsvg-convert -w "$size" -h "$size" gzimport.svg -o "${size}x${size}/gzimport.png"
done
