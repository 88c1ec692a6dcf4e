#!/usr/bin/env bash
# Installs the Debian 12 packages that are missing, builds FreeXL 2.0 into its
# cache when it is not there yet, then configures and builds everything in build/.
set -euo pipefail
cd "$(dirname "$0")/.."

bash scripts/install-packages.sh
bash scripts/build-freexl.sh >/dev/null
source scripts/compiler-cache.sh

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${cache_launcher[@]}"
cmake --build build
