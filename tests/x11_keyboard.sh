#!/bin/bash
# Starts the built program on a virtual X display and drives it with real key presses.
set -eu
program=$1
work=$(mktemp -d)
cleanup() {
    [ -n "${app:-}" ] && kill "$app" 2>/dev/null
    [ -n "${xvfb:-}" ] && kill "$xvfb" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

for n in $(seq 90 200); do
    [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ] || break
done
export DISPLAY=:$n
Xvfb "$DISPLAY" -screen 0 800x600x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
for _ in $(seq 50); do [ -e "/tmp/.X11-unix/X$n" ] && break; sleep 0.1; done

cd "$work"
"$program" >/dev/null 2>&1 &
app=$!
window=$(timeout 20 xdotool search --sync --onlyvisible --name '^Korvane Resolution Changer$' | head -n 1)
[ -n "$window" ] || fail "the window did not appear"
xdotool windowfocus --sync "$window"
sleep 0.3

expect_file() {
    for _ in $(seq 50); do
        [ -f locale.ini ] && [ "$(od -An -c locale.ini | tr -s ' ')" = "$(printf "$1" | od -An -c | tr -s ' ')" ] && return 0
        sleep 0.1
    done
    fail "locale.ini holds $(od -c locale.ini 2>&1), expected $1"
}

# One Tab reaches the hidden Combo1; typing there writes silently.
xdotool key Tab
xdotool type 1
expect_file 'WINDOWED =0\r\nRESOLUTION =\r\n'

# Three more Tabs reach Check1, Space ticks it; then type a mode into Combo4.
xdotool key Tab Tab Tab space Tab ctrl+a
xdotool type 1024x768x32
# Back to Apply and press Enter on it.
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return
expect_file 'WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n'

box=$(timeout 10 xdotool search --sync --onlyvisible --name '^Korvane Resolution Changer$' | grep -v "^$window\$" | head -n 1)
[ -n "$box" ] || fail "no confirmation box"
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name '^Korvane Resolution Changer$' | grep -qx "$box" || break; sleep 0.1; done
xdotool search --onlyvisible --name '^Korvane Resolution Changer$' | grep -qx "$box" && fail "the box stayed open"
kill -0 "$app" || fail "the program ended"
echo "PASS"
