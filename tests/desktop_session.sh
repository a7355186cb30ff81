#!/bin/sh
# The program as a user meets it: a real window under a window manager.
. "$(dirname "$0")/xsession.sh"
program=$1
background=$2
start_display --window-manager
cd "$work"

"$program" >/dev/null 2>&1 &
app=$!
pids="$pids $app"
window=$(find_window "Korvane Resolution Changer") || fail "the window did not appear"
sleep 0.5

size() { xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
[ "$(size)" = 269x274 ] || fail "client area is $(size)"
# Drag the frame's bottom-right corner, as a user would.
corner=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print x + 271, y + 276}')
xdotool mousemove $corner sleep 0.2 mousedown 1 sleep 0.2 mousemove_relative 50 50 sleep 0.2 mousemove_relative 50 50 sleep 0.2 mouseup 1
sleep 0.3
[ "$(size)" = 269x274 ] || fail "the window could be resized to $(size)"

# The frame's boxes: close, but neither minimise nor maximise, asked of the
# window manager through the Motif hints (functions, then decorations).
set -- $(xprop -id "$window" _MOTIF_WM_HINTS | tr -d , | cut -d= -f2)
[ $(($2 & 0x20)) != 0 ] || fail "no close box"
[ $(($2 & 0x18)) = 0 ] && [ $(($3 & 0x60)) = 0 ] || fail "a minimise or maximise box"
actions=$(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS)
echo "$actions" | grep -q _NET_WM_ACTION_CLOSE || fail "cannot be closed: $actions"
echo "$actions" | grep -qE 'MINIMIZE|MAXIMIZE' && fail "can be minimised or maximised: $actions"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "it has a taskbar entry"

# The title picture at the top-left, Check1's orange beside it.
origin=$(xwininfo -id "$window" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4} END {print "+" x "+" y}')
import -window root -crop "269x70$origin" +repage shot.png
convert "$background" -crop 269x70+0+0 +repage expected.png
differing=$(compare -metric AE shot.png expected.png null: 2>&1 || true)
[ "$differing" = 0 ] || fail "$differing pixels of the title picture differ"
import -window root -crop "1x1$(echo "$origin" | awk -F+ '{print "+" $2 + 17 "+" $3 + 74}')" orange.png
[ "$(convert orange.png -format '%[pixel:p{0,0}]' info:)" = "srgb(255,192,128)" ] || fail "Check1 is not orange"

# Closing through the window manager ends the program cleanly and writes nothing.
wmctrl -c "Korvane Resolution Changer"
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "exit status $status"
[ -e locale.ini ] && fail "closing wrote locale.ini"

# The focus starts on Apply: Enter alone applies.
"$program" >/dev/null 2>&1 &
pids="$pids $!"
window=$(find_window "Korvane Resolution Changer") || fail "the window did not appear again"
sleep 0.5
xdotool key Return
expect_file 'WINDOWED =0\r\nRESOLUTION =\r\n'
find_window "Korvane Resolution Changer" "$window" >/dev/null || fail "no confirmation box"
echo PASS
