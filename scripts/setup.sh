#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing, then configures and builds
# everything in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh
source scripts/compiler-cache.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cache_launcher[@]}"
cmake --build build
