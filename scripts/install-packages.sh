#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need, when
# they are missing (as root, or through sudo). With --windows: those of the
# Windows cross build and its test run under Wine (scripts/test-windows.sh).
set -euo pipefail

packages=(cmake ninja-build ccache g++ qt6-base-dev qt6-qpa-plugins libxml2-dev libcsv-dev libminizip-dev libexpat1-dev dpkg-dev make gcc pkg-config libgtest-dev fonts-dejavu-core libpng-dev chromium srecord clang libclang-rt-14-dev
          desktop-file-utils appstream)
if [ "${1:-}" = --windows ]; then
    packages=(cmake ninja-build ccache pkg-config dpkg-dev gcc g++-mingw-w64-x86-64-posix libz-mingw-w64-dev googletest
              qt6-base-dev qt6-base-dev-tools wine wine64 python3 xvfb xdotool x11-utils fonts-dejavu-core fonts-wine zip unzip)
fi
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
done
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    if [ "$(id -u)" -eq 0 ]; then as_root=(); else as_root=(sudo); fi
    "${as_root[@]}" apt-get update
    "${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
fi
