# Sourced by the X tests: a private virtual display, a scratch folder, and clean-up.
set -eu
work=$(mktemp -d)
pids=""
cleanup() {
    for pid in $pids; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$work"
}
trap cleanup EXIT
# Keeps what the screen showed, for whoever reads the failure.
fail() {
    [ -n "${DISPLAY:-}" ] && import -window root /tmp/korvane-failure.png 2>/dev/null && set -- "$*; screen: /tmp/korvane-failure.png"
    printf "FAIL: %s\n" "$*" >&2
    exit 1
}

# Starts Xvfb on the first free display number, and IceWM if asked. Without
# -noreset the server resets whenever its last client leaves, and a program
# that connects just then is refused.
start_display() {
    n=90
    while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
    export DISPLAY=":$n"
    Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp -noreset >/dev/null 2>&1 &
    pids="$pids $!"
    for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
    if [ "${1:-}" = "--window-manager" ]; then
        icewm >/dev/null 2>&1 &
        pids="$pids $!"
        for _ in $(seq 100); do xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && break; sleep 0.1; done
        sleep 0.5 # a window manager may still pass over windows mapped just after it announces itself
    fi
}

# Prints the id of the visible window with that exact title, other than $2.
find_window() {
    for _ in $(seq 150); do
        found=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | grep -vx "${2:-none}" | head -n 1 || true)
        [ -n "$found" ] && { echo "$found"; return 0; }
        sleep 0.1
    done
    return 1
}

# Waits until the file holds exactly these bytes (printf notation).
expect_file() {
    expected=$(printf "$2" | od -An -c)
    for _ in $(seq 50); do
        [ -f "$1" ] && [ "$(od -An -c "$1")" = "$expected" ] && return 0
        sleep 0.1
    done
    fail "$1 holds $(od -An -c "$1" 2>&1), expected $2"
}
