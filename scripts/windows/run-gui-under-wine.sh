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
printf '\n== %s\n' "Window tests under Wine (offscreen)"
cd "$build"
# Every window test the Windows build holds runs; those that need what Windows
# lacks are not built for it (the *LinuxTest.cpp and *PosixTest.cpp files).
"$wine" "$build/tests/tessaro_gui_tests.exe" --gtest_brief=1 "$@"
