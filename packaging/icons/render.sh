#!/usr/bin/env bash
# Renders the PNG icons from msrw.svg (rsvg-convert, from librsvg2-bin). The
# PNGs are kept in the repository, so that building the package needs no
# renderer: run this again after changing the SVG.
set -euo pipefail
cd "$(dirname "$0")"
for size in 16 32 48 64 128 256; do
    rsvg-convert -w "$size" -h "$size" msrw.svg -o "msrw-$size.png"
done
