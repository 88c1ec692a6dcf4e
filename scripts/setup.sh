#!/usr/bin/env bash
# Installs the Debian 12 packages that building, running and testing need,
# when they are missing, then configures and builds everything in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

packages=(cmake ninja-build g++ qt6-base-dev qt6-qpa-plugins libpugixml-dev libfreexl-dev pkg-config libgtest-dev fonts-dejavu-core)
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

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
