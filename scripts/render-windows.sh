#!/usr/bin/env bash
# Renders every window of the program to a PNG file, offscreen, for a review
# of the looks. Usage: scripts/render-windows.sh [OUTPUT_FOLDER] (default: looks/)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
out="${1:-looks}"
QT_QPA_PLATFORM=offscreen build/bin/tessaro-render "$out"
echo "Windows rendered to $out/"
