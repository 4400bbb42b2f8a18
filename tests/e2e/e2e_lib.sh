# Shared helpers for the end-to-end tests: a private X server, a private home, and waiting.
# Set E2E_KEEP_SCREENSHOTS=DIR to keep the screenshots the tests take.

E2E_LIB_DIR=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)

e2e_setup() {
    E2E_WORK=$(mktemp -d)
    export HOME="$E2E_WORK/home" XDG_CONFIG_HOME="$E2E_WORK/config" XDG_DATA_HOME="$E2E_WORK/data"
    export XDG_RUNTIME_DIR="$E2E_WORK/run"
    mkdir -p "$HOME" "$XDG_CONFIG_HOME" "$XDG_DATA_HOME" "$XDG_RUNTIME_DIR"
    chmod 700 "$XDG_RUNTIME_DIR"
    export QT_QPA_PLATFORM=xcb
    local n
    for n in $(seq 91 199); do
        if [ ! -e "/tmp/.X11-unix/X$n" ] && [ ! -e "/tmp/.X$n-lock" ]; then break; fi
    done
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 1600x1000x24 -nolisten tcp >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XVFB=$!
    trap e2e_teardown EXIT
    e2e_wait 20 xdotool getmouselocation || e2e_fail "Xvfb did not start"
}

e2e_teardown() {
    local pid
    for pid in ${E2E_PIDS:-}; do kill "$pid" 2>/dev/null || true; done
    # The programs end their own way (handing over the clipboard, closing documents) while
    # the display they talk to is still there; then the display goes.
    for pid in ${E2E_PIDS:-}; do
        e2e_wait 10 e2e_ended "$pid" || kill -KILL "$pid" 2>/dev/null || true
    done
    kill "$E2E_XVFB" 2>/dev/null || true
    wait 2>/dev/null || true
    rm -rf "$E2E_WORK"
}

# e2e_ended PID: the process has exited (a zombie not yet waited for counts as ended).
e2e_ended() {
    local state
    state=$(sed -E 's/^.*\) (.).*$/\1/' "/proc/$1/stat" 2>/dev/null) || return 0
    [ "$state" = Z ]
}

e2e_fail() {
    echo "FAIL: $*" >&2
    # What the programs and the server said, for failures seen only now and then.
    [ -z "${E2E_WORK:-}" ] || tail -n 20 "$E2E_WORK"/*.log >&2 2>/dev/null || true
    exit 1
}

# e2e_wait SECONDS COMMAND...: retries COMMAND until it succeeds or time runs out.
e2e_wait() {
    local deadline=$((SECONDS + $1))
    shift
    until "$@" >/dev/null 2>&1; do
        [ "$SECONDS" -lt "$deadline" ] || return 1
        sleep 0.2
    done
}

# e2e_expect JQ-CONDITION WHAT [SECONDS]: waits for the state read-out in $state to satisfy the
# condition, else fails with WHAT and the last state.
e2e_expect() {
    e2e_wait "${3:-20}" jq -e "$1" "$state" || e2e_fail "$2 (state: $(cat "$state" 2>/dev/null))"
}

# e2e_window_titled TITLE: a visible window whose whole title is TITLE.
e2e_window_titled() {
    xdotool search --onlyvisible --name "^$1\$"
}

# Writes a one-page A0 sheet and opens it in the real program; sets `window` to its window.
e2e_open_sheet() {
    "$bin/plenvo-make-sample" "$E2E_WORK/sheet.pdf" --a0-only || e2e_fail "could not write the sample"
    "$bin/plenvo" "$E2E_WORK/sheet.pdf" >>"$E2E_WORK/app.log" 2>&1 &
    E2E_PIDS="$E2E_PIDS $!"
    e2e_wait 30 e2e_window_titled sheet || e2e_fail "no window titled sheet"
    window=$(e2e_window_titled sheet)
}

# e2e_screenshot NAME: captures the screen; prints the PNG's path.
e2e_screenshot() {
    local shot="$E2E_WORK/$1.png"
    import -window root "$shot"
    if [ -n "${E2E_KEEP_SCREENSHOTS:-}" ]; then mkdir -p "$E2E_KEEP_SCREENSHOTS" && cp "$shot" "$E2E_KEEP_SCREENSHOTS/"; fi
    echo "$shot"
}

# e2e_ink PNG X Y W H: percentage (0-100) of dark pixels in a region.
e2e_ink() {
    convert "$1" -crop "$4x$5+$2+$3" -colorspace Gray -threshold 60% -format '%[fx:round(100*(1-mean))]' info:
}

# e2e_accessibility "$@": e2e_setup, with the rest of the test on a private session bus and the
# accessibility bus up, so that programs started from here publish their controls (read and
# pressed with e2e_atspi). Call first thing, instead of e2e_setup: the script starts again under
# dbus-run-session.
e2e_accessibility() {
    if [ -z "${E2E_SESSION_BUS:-}" ]; then
        export E2E_SESSION_BUS=1
        exec dbus-run-session -- "$0" "$@"
    fi
    export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
    e2e_setup
    /usr/libexec/at-spi-bus-launcher --launch-immediately >"$E2E_WORK/a11y.log" 2>&1 &
    E2E_PIDS="${E2E_PIDS:-} $!"
}

# e2e_atspi COMMAND...: reads or presses the program's controls (see atspi.py); needs
# e2e_accessibility.
e2e_atspi() {
    /usr/bin/python3 "$E2E_LIB_DIR/atspi.py" "$@"
}

# e2e_showing NAME WHY: waits for a control named NAME to be on screen, else fails with WHY.
e2e_showing() {
    e2e_wait 10 e2e_atspi showing "$1" || e2e_fail "$2: \"$1\" is not shown"
}

e2e_focused_is() {
    [ "$(e2e_atspi focused 2>/dev/null)" = "$1" ]
}

# e2e_tab_to NAME: presses Tab in the focused window until the control named NAME has the focus.
e2e_tab_to() {
    local i
    for i in $(seq 12); do
        e2e_wait 1 e2e_focused_is "$1" && return 0
        xdotool key Tab
    done
    e2e_fail "Tab never reached $1 (focus: $(e2e_atspi focused 2>/dev/null))"
}
