# Sourced: a Wine prefix of its own, made once.
#   wine_prefix <folder>   sets WINEPREFIX (and the quiet Wine settings) and
#                          $wine, $wineserver; makes the prefix when missing
# A prefix that shows windows must be booted with the X display set (DISPLAY):
# one booted without a display shows no window later. DejaVu Sans, the
# program's font where Verdana is missing, is placed in the prefix's font
# folder, as Wine's own fallback is a serif.

# The first of the commands given that is there. A pipe into head could end
# the writer with SIGPIPE, which pipefail turns into a failed step.
first_command() {
    local name
    for name in "$@"; do
        command -v "$name" && return 0
    done
    return 1
}

wine_prefix() {
    export WINEPREFIX=$1 WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
    wine=$(first_command /usr/lib/wine/wine64 wine64 wine)
    wineserver=$(first_command /usr/lib/wine/wineserver64 /usr/lib/wine/wineserver wineserver)
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
        printf '\n== %s\n' "Wine prefix $WINEPREFIX (once)"
        "$wine" wineboot --init
        "$wineserver" -w
    fi
    local fonts=$WINEPREFIX/drive_c/windows/Fonts font
    mkdir -p "$fonts"
    local name
    for name in "DejaVu Sans:DejaVuSans.ttf" "DejaVu Sans Bold:DejaVuSans-Bold.ttf"; do
        font=/usr/share/fonts/truetype/dejavu/${name#*:}
        [ -f "$font" ] || continue
        if [ ! -f "$fonts/${name#*:}" ]; then
            cp "$font" "$fonts/"
            # Windows loads the fonts its registry names.
            "$wine" reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\Fonts' /v "${name%%:*} (TrueType)" \
                /t REG_SZ /d "${name#*:}" /f >/dev/null 2>&1 || true
        fi
    done
    return 0
}

# The host path as Wine shows it to a program: drive Z:.
windows_path() {
    local path
    path=$(realpath -m "$1")
    printf 'Z:%s' "${path//\//\\}"
}
