#!/usr/bin/env bash
# Every window of the Windows build in BUILD_FOLDER rendered to PNG through the
# real windows platform plugin, under Wine on an X display of its own (Xvfb),
# with the Wine prefix BUILD_FOLDER/wine-x11 (booted with that display).
#   render-under-wine.sh BUILD_FOLDER [OUTPUT_FOLDER]   (default BUILD_FOLDER/looks)
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
out=$(realpath -m "${2:-$build/looks}")
source scripts/windows/wine-prefix.sh
source scripts/windows/xvfb.sh
start_xvfb
wine_prefix "$build/wine-x11"
rm -rf "$out"
mkdir -p "$out"
# The platform goes on the command line: the renderer falls back to offscreen
# when it finds no QT_QPA_PLATFORM, and the variable does not reach a program
# under Wine here.
"$wine" "$build/bin/tessaro-render.exe" -platform windows "$(windows_path "$out")"
