#!/usr/bin/env bash
# Registers an unpacked Firmware Tessaro program folder in the user's menu, or
# takes it out again.
#
#   install-desktop-entry.sh [PROGRAM_FOLDER]           register the folder
#   install-desktop-entry.sh --remove [PROGRAM_FOLDER]  remove the menu entry
#
# PROGRAM_FOLDER is the folder that holds the program `tessaro`; without it, the
# folder of this script when it holds the program (the script is shipped in the
# program folder), else the current folder. The entry goes to
# ~/.local/share/applications and the icons to ~/.local/share/icons/hicolor,
# both below $XDG_DATA_HOME when that is set.
set -euo pipefail

app_id=example.orvenna.FirmwareTessaro
remove=no
folder=
for argument in "$@"; do
    case "$argument" in
        --remove) remove=yes ;;
        -h|--help) sed -n '2,12p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
        -*) echo "install-desktop-entry.sh: unknown option $argument" >&2; exit 2 ;;
        *) [ -z "$folder" ] || { echo "install-desktop-entry.sh: one program folder only" >&2; exit 2; }
           folder=$argument ;;
    esac
done

data_home=${XDG_DATA_HOME:-$HOME/.local/share}
entry="$data_home/applications/$app_id.desktop"
icons="$data_home/icons/hicolor"
sizes=(48x48 128x128 256x256)

refresh_caches() {
    command -v update-desktop-database >/dev/null 2>&1 &&
        update-desktop-database -q "$data_home/applications" 2>/dev/null || true
    command -v gtk-update-icon-cache >/dev/null 2>&1 &&
        gtk-update-icon-cache -q -t "$icons" 2>/dev/null || true
}

if [ "$remove" = yes ]; then
    rm -f "$entry" "$icons/scalable/apps/$app_id.svg"
    for size in "${sizes[@]}"; do rm -f "$icons/$size/apps/$app_id.png"; done
    refresh_caches
    echo "Firmware Tessaro removed from the menu."
    exit 0
fi

if [ -z "$folder" ]; then
    script_folder=$(cd "$(dirname "$0")" && pwd)
    if [ -x "$script_folder/tessaro" ]; then folder=$script_folder; else folder=$PWD; fi
fi
folder=$(cd "$folder" 2>/dev/null && pwd) || { echo "install-desktop-entry.sh: no folder $folder" >&2; exit 1; }
[ -x "$folder/tessaro" ] || { echo "install-desktop-entry.sh: $folder holds no program tessaro" >&2; exit 1; }
[ -f "$folder/$app_id.desktop" ] || { echo "install-desktop-entry.sh: $folder holds no $app_id.desktop" >&2; exit 1; }

# The Exec value is a quoted argument inside a desktop-entry string: the quoting
# escapes " ` $ \ with a backslash, and the string escapes every backslash again.
quoted=$(printf '%s' "$folder/tessaro" | sed -e 's/[\\"`$]/\\&/g' -e 's/\\/\\\\/g')
path_value=$(printf '%s' "$folder" | sed -e 's/\\/\\\\/g')

mkdir -p "$data_home/applications" "$icons/scalable/apps"
while IFS= read -r line || [ -n "$line" ]; do
    case "$line" in
        Exec=*) printf 'Exec="%s"\nPath=%s\n' "$quoted" "$path_value" ;;
        *) printf '%s\n' "$line" ;;
    esac
done < "$folder/$app_id.desktop" > "$entry.tmp"
mv "$entry.tmp" "$entry"
cp "$folder/icons/hicolor/scalable/apps/$app_id.svg" "$icons/scalable/apps/"
for size in "${sizes[@]}"; do
    mkdir -p "$icons/$size/apps"
    cp "$folder/icons/hicolor/$size/apps/$app_id.png" "$icons/$size/apps/"
done
refresh_caches
echo "Firmware Tessaro added to the menu: $entry"
