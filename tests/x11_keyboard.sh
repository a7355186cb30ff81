#!/bin/sh
# Starts the built program on a virtual X display and drives it with real key presses.
. "$(dirname "$0")/xsession.sh"
program=$1
start_display
cd "$work"
"$program" >/dev/null 2>&1 &
app=$!
pids="$pids $app"
window=$(find_window "Korvane Resolution Changer") || fail "the window did not appear"
xdotool windowfocus --sync "$window"
sleep 0.3

# One Tab reaches the hidden Combo1; typing there writes silently.
xdotool key Tab type 1
expect_file 'WINDOWED =0\r\nRESOLUTION =\r\n'

# Three more Tabs reach Check1: Space ticks it. Then type a mode into Combo4,
# go back to Apply and press Enter on it.
xdotool key Tab Tab Tab space Tab ctrl+a
xdotool type 1024x768x32
xdotool key shift+Tab shift+Tab shift+Tab shift+Tab shift+Tab Return
expect_file 'WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n'

box=$(find_window "Korvane Resolution Changer" "$window") || fail "no confirmation box"
xdotool windowfocus --sync "$box" key Return
for _ in $(seq 50); do xdotool search --onlyvisible --name . | grep -qx "$box" || break; sleep 0.1; done
xdotool search --onlyvisible --name . | grep -qx "$box" && fail "the box stayed open"
kill -0 "$app" || fail "the program ended"
echo PASS
