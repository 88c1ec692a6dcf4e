#!/usr/bin/env bash
# The Windows .zip of scripts/package-windows.sh as a user meets it: unpacked
# below a folder whose name has a blank and a letter beyond ASCII, run under
# Wine (a prefix of its own, on an X display of its own):
#   - tessaro-cli.exe image writes the bank.bin of the Linux golden files,
#     byte for byte, for a project below the program's PROJECTS;
#   - tessaro.exe shows its main window on the X display;
#   - closing it (WM_CLOSE, as the X button and taskkill send it) writes
#     Tessaro_Ru2Doror.ini, and so does the end of the Windows session.
#   test-package-under-wine.sh ZIP
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
zip=$(realpath "$1")
work=$(mktemp -d)
failures=0
fail() { echo "FAIL  $*"; failures=$((failures + 1)); }
ok() { echo "ok    $*"; }

source scripts/windows/wine-prefix.sh
source scripts/windows/xvfb.sh
start_xvfb
trap 'stop_xvfb; rm -rf "$work"' EXIT
wine_prefix "$work/wine"

place="$work/Programme Süd"
mkdir -p "$place"
(cd "$place" && unzip -q "$zip")
folder=$(find "$place" -mindepth 1 -maxdepth 1 -type d)
[ "$(find "$place" -mindepth 1 -maxdepth 1 | wc -l)" -eq 1 ] || fail "the .zip holds more than one folder"
for entry in tessaro.exe tessaro-cli.exe help2.dat MASTER/README.txt PROJECTS; do
    [ -e "$folder/$entry" ] && ok "holds $entry" || fail "no $entry in the .zip"
done

# tessaro-cli.exe image, on a project below the program folder.
for case_dir in tests/data/image/*/; do
    name=$(basename "$case_dir")
    project="$folder/PROJECTS/Anlage $name"
    rm -rf "$project" && mkdir -p "$project/bin"
    find "$case_dir" -maxdepth 1 -name '*.xml' -exec cp {} "$project/" \;
    if (cd "$folder" && "$wine" "$folder/tessaro-cli.exe" image "$(windows_path "$project")") \
        >"$work/image.out" 2>&1 && cmp -s "$project/bin/bank.bin" "$case_dir/bank.bin"; then
        ok "image $name"
    else
        fail "image $name: $(cat "$work/image.out")"
    fi
    rm -rf "$project"
done

# The program, on the X display: its main window, then a close.
main_window() {  # the X id of the program's main window, once it shows
    local tries id
    for tries in $(seq 1 300); do
        id=$(xdotool search --onlyvisible --name 'Tessaro TK4821' 2>/dev/null | head -n 1 || true)
        [ -n "$id" ] && { echo "$id"; return 0; }
        sleep 0.2
    done
    return 1
}
run_and_end() {  # description, then the command that ends the program
    local description=$1
    shift
    rm -f "$folder/Tessaro_Ru2Doror.ini"
    (cd "$folder" && exec "$wine" "$folder/tessaro.exe") >"$work/program.log" 2>&1 &
    local program=$!
    if main_window >/dev/null; then
        ok "tessaro.exe shows its main window ($description)"
    else
        fail "tessaro.exe showed no main window ($description)"
    fi
    sleep 1
    "$@" >/dev/null 2>&1 || true
    local tries
    for tries in $(seq 1 150); do
        kill -0 "$program" 2>/dev/null || break
        sleep 0.2
    done
    if kill -0 "$program" 2>/dev/null; then
        fail "tessaro.exe did not end ($description)"
        "$wineserver" -k || true
    fi
    wait "$program" 2>/dev/null || true
    if grep -q '^\[lastproj\]' "$folder/Tessaro_Ru2Doror.ini" 2>/dev/null; then
        ok "Tessaro_Ru2Doror.ini written ($description)"
    else
        fail "no Tessaro_Ru2Doror.ini written ($description)"
        cat "$work/program.log"
    fi
}
run_and_end "closed" "$wine" taskkill /im tessaro.exe
run_and_end "end of the session" "$wine" wineboot --end-session

echo
[ "$failures" -eq 0 ] && echo "package under Wine: all passed" || echo "package under Wine: $failures failed"
[ "$failures" -eq 0 ]
