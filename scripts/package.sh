#!/usr/bin/env bash
# Builds the portable program folder from a clean tree and packs it:
# build-package/package/firmware-tessaro-<version>-linux-<machine>.tar.gz.
# Usage: scripts/package.sh
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-packages.sh

rm -rf build-package
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release -DTESSARO_BUILD_TESTS=OFF
cmake --build build-package
(cd build-package && cpack -G TGZ)
ls build-package/package/*.tar.gz
