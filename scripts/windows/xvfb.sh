# Sourced: an X display of its own for Wine (Xvfb), ended with the script.
#   start_xvfb   starts Xvfb on a free display number and exports DISPLAY

start_xvfb() {
    local number
    for number in $(seq 90 140); do
        [ -e "/tmp/.X11-unix/X$number" ] || [ -e "/tmp/.X$number-lock" ] && continue
        Xvfb ":$number" -screen 0 1280x1024x24 -nolisten tcp >/dev/null 2>&1 &
        xvfb_pid=$!
        local tries
        for tries in $(seq 1 100); do
            [ -e "/tmp/.X11-unix/X$number" ] && break
            kill -0 "$xvfb_pid" 2>/dev/null || break
            sleep 0.1
        done
        if [ -e "/tmp/.X11-unix/X$number" ] && kill -0 "$xvfb_pid" 2>/dev/null; then
            export DISPLAY=:$number
            trap 'stop_xvfb' EXIT
            return 0
        fi
    done
    echo "no X display could be started (Xvfb)" >&2
    return 1
}

stop_xvfb() {
    [ -n "${wineserver:-}" ] && [ -n "${WINEPREFIX:-}" ] && "$wineserver" -k 2>/dev/null || true
    [ -n "${xvfb_pid:-}" ] && kill "$xvfb_pid" 2>/dev/null || true
}
