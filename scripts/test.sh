#!/usr/bin/env bash
# Sets up what is missing, builds, and runs the whole test suite headless.
# Exits non-zero when any test fails.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
export QT_QPA_PLATFORM=offscreen
ctest --test-dir build --output-on-failure --timeout 300 -j "$(nproc)"
