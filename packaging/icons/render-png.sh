#!/usr/bin/env bash
# Renders the PNG sizes of the icon from its SVG drawing (Debian librsvg2-bin).
# The PNGs are committed, so building needs no renderer; run this after
# changing firmware-tessaro.svg.
set -euo pipefail
cd "$(dirname "$0")"
for size in 48 128 256; do
    rsvg-convert -w "$size" -h "$size" firmware-tessaro.svg -o "firmware-tessaro-$size.png"
done
