#!/usr/bin/env bash
# The portable Windows program folder as a .zip: installs what is missing,
# builds Qt for Windows when its cache lacks it, the libraries, tessaro.exe and
# tessaro-cli.exe (Release, static: nothing to install beside them), and packs
# firmware-tessaro-<version>-windows-x86_64.zip, one folder holding
# tessaro.exe, tessaro-cli.exe, help2.dat, MASTER\README.txt and an empty
# PROJECTS\. Prints the path of the .zip as its last line.
#
# TESSARO_BUILD_LOCK=<file>: run each build under flock on that file.
# TESSARO_WINDOWS_RELEASE_BUILD=<folder>: the build folder (default
# build-windows-release); TESSARO_WINDOWS_BUILD_TYPE=<type>: its build type
# (default Release).
set -euo pipefail
cd "$(dirname "$0")/.."
root=$PWD
build=${TESSARO_WINDOWS_RELEASE_BUILD:-$root/build-windows-release}

# Everything but the last line goes to standard error.
TESSARO_WINDOWS_BUILD=$build TESSARO_WINDOWS_BUILD_TYPE=${TESSARO_WINDOWS_BUILD_TYPE:-Release} bash scripts/test-windows.sh --build-only >&2

version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
name=firmware-tessaro-$version-windows-x86_64
stage=$build/package/stage
zip=$build/package/$name.zip
rm -rf "$stage" "$zip"
cmake --install "$build" --prefix "$stage/$name" --strip >&2
(cd "$stage" && cmake -E tar cf "$zip" --format=zip "$name")
[ -f "$zip" ] || { echo "no $zip written" >&2; exit 1; }
echo "$zip"
