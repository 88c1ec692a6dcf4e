#!/usr/bin/env bash
# Packs the program folder with CPack, unpacks the archive into a temporary
# folder and uses it from there as a user would: the companion's help, the
# program started and closed, the menu entry registered and removed.
# Usage: program_folder_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
work=$(mktemp -d)
program_pid=
cleanup() {
    [ -n "$program_pid" ] && kill -KILL "$program_pid" 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAILED: $*" >&2; exit 1; }

name="firmware-tessaro-$version-linux-$(uname -m)"
cpack -G TGZ --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" 2>&1 ||
    { cat "$work/cpack.log" >&2; fail "cpack"; }
archive="$work/out/$name.tar.gz"
[ -f "$archive" ] || fail "no archive $name.tar.gz in: $(ls "$work/out")"

# The archive unpacks into one folder; a path with a blank shows quoting faults.
mkdir "$work/Program Files"
tar -xzf "$archive" -C "$work/Program Files"
folder="$work/Program Files/$name"
for item in tessaro tessaro-cli install-desktop-entry.sh; do [ -x "$folder/$item" ] || fail "$item missing"; done
for item in help2.dat MASTER/README.txt example.orvenna.FirmwareTessaro.desktop \
            example.orvenna.FirmwareTessaro.metainfo.xml \
            icons/hicolor/scalable/apps/example.orvenna.FirmwareTessaro.svg \
            icons/hicolor/48x48/apps/example.orvenna.FirmwareTessaro.png \
            icons/hicolor/128x128/apps/example.orvenna.FirmwareTessaro.png \
            icons/hicolor/256x256/apps/example.orvenna.FirmwareTessaro.png; do
    [ -f "$folder/$item" ] || fail "$item missing"
done
[ -d "$folder/PROJECTS" ] || fail "PROJECTS missing"
[ -z "$(ls -A "$folder/PROJECTS")" ] || fail "PROJECTS is not empty"
grep -q 'sim48213.sim' "$folder/MASTER/README.txt" || fail "MASTER/README.txt does not name sim48213.sim"
grep -q 'sx31570.sx' "$folder/MASTER/README.txt" || fail "MASTER/README.txt does not name sx31570.sx"

"$folder/tessaro-cli" --help >"$work/help.txt" || fail "tessaro-cli --help exited $?"
grep -q '^Usage: tessaro-cli' "$work/help.txt" || fail "tessaro-cli --help printed no usage"

# The program makes its folders at start and writes the settings file when it
# closes; a termination signal closes it as its X button does.
rm -rf "$folder/PROJECTS" "$folder/MASTER"
QT_QPA_PLATFORM=offscreen "$folder/tessaro" >"$work/program.log" 2>&1 &
program_pid=$!
for _ in $(seq 1 200); do
    [ -d "$folder/PROJECTS" ] && [ -d "$folder/MASTER" ] && break
    kill -0 "$program_pid" 2>/dev/null || { cat "$work/program.log" >&2; fail "tessaro ended at start"; }
    sleep 0.05
done
[ -d "$folder/PROJECTS" ] && [ -d "$folder/MASTER" ] || fail "tessaro made no PROJECTS and MASTER"
sleep 0.5
kill -TERM "$program_pid"
status=0
wait "$program_pid" || status=$?
program_pid=
[ "$status" -eq 0 ] || { cat "$work/program.log" >&2; fail "tessaro exited $status after SIGTERM"; }
grep -q '^\[lastproj\]' "$folder/Tessaro_Ru2Doror.ini" 2>/dev/null || fail "no settings file written in the program folder"

desktop-file-validate "$folder/example.orvenna.FirmwareTessaro.desktop" || fail "desktop file"
appstreamcli validate --no-net "$folder/example.orvenna.FirmwareTessaro.metainfo.xml" >"$work/as.log" 2>&1 ||
    { cat "$work/as.log" >&2; fail "metainfo"; }

export XDG_DATA_HOME="$work/data"
"$folder/install-desktop-entry.sh" >/dev/null
entry="$XDG_DATA_HOME/applications/example.orvenna.FirmwareTessaro.desktop"
[ -f "$entry" ] || fail "no menu entry"
grep -qxF "Exec=\"$folder/tessaro\"" "$entry" || fail "menu entry does not start $folder/tessaro: $(grep Exec "$entry")"
grep -qxF "Path=$folder" "$entry" || fail "menu entry does not start in the program folder"
desktop-file-validate "$entry" || fail "registered desktop file"
for size in 48x48 128x128 256x256; do
    [ -f "$XDG_DATA_HOME/icons/hicolor/$size/apps/example.orvenna.FirmwareTessaro.png" ] || fail "icon $size"
done
"$folder/install-desktop-entry.sh" --remove >/dev/null
[ ! -e "$entry" ] || fail "menu entry left after --remove"
[ ! -e "$XDG_DATA_HOME/icons/hicolor/48x48/apps/example.orvenna.FirmwareTessaro.png" ] || fail "icon left after --remove"
echo "program folder from $name.tar.gz works"
