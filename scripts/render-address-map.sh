#!/usr/bin/env bash
# Renders the address map page of the example project with headless Chromium
# to a PNG file, the picture shown in the README.
# Usage: scripts/render-address-map.sh [PNG_FILE] (default: docs/address-map.png)
set -euo pipefail
cd "$(dirname "$0")/.."
[ -x build/bin/tessaro-cli ] && command -v chromium >/dev/null || bash scripts/setup.sh
out="$(realpath -m "${1:-docs/address-map.png}")"
mkdir -p "$(dirname "$out")"

scratch="$(mktemp -d)"
trap 'rm -rf "$scratch"' EXIT
mkdir "$scratch/Plant1" "$scratch/profile"
cp tests/data/addressmap/worked-example/pargen.xml tests/data/addressmap/worked-example/sdo.xml "$scratch/Plant1/"
cli="$(realpath build/bin/tessaro-cli)"
(cd "$scratch" && "$cli" map Plant1 --html map.html >/dev/null)

chromium --headless --no-sandbox --disable-gpu --disable-quic --no-first-run --disable-background-networking \
    --disable-component-update --disable-sync --user-data-dir="$scratch/profile" --hide-scrollbars \
    --window-size=860,1130 --screenshot="$out" "file://$scratch/map.html" 2>/dev/null
echo "Address map page rendered to $out"
