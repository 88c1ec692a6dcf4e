#!/usr/bin/env bash
# Sets up what is missing, builds, and starts the program.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
if [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && [ -z "${QT_QPA_PLATFORM:-}" ]; then
    echo "No display: start it from a desktop session, or run: xvfb-run build/bin/tessaro" >&2
    exit 1
fi
exec build/bin/tessaro
