#!/usr/bin/env bash
# The window tests of the Windows build in BUILD_FOLDER under Wine, on Qt's
# offscreen platform, with the Wine prefix BUILD_FOLDER/wine. The fonts of the
# offscreen platform come from QT_QPA_FONTDIR: DejaVu, as on Linux. Fails when
# a test fails.
#   run-gui-under-wine.sh BUILD_FOLDER [gtest arguments...]
set -euo pipefail
cd "$(dirname "$0")/../.."
build=$(realpath "$1")
shift
source scripts/windows/wine-prefix.sh
unset DISPLAY
wine_prefix "$build/wine"

export QT_QPA_PLATFORM=offscreen
QT_QPA_FONTDIR=$(windows_path /usr/share/fonts/truetype/dejavu)
export QT_QPA_FONTDIR
not_passing=$PWD/scripts/windows/gui-tests-not-passing-under-wine.txt
printf '\n== %s\n' "Window tests under Wine (offscreen)"
cd "$build"
# The tests listed in gui-tests-not-passing-under-wine.txt are left out (the
# file says why); every other window test runs.
left_out=$(grep -v '^#' "$not_passing" | paste -sd: -)
"$wine" "$build/tests/tessaro_gui_tests.exe" --gtest_brief=1 ${left_out:+"--gtest_filter=-$left_out"} "$@"
