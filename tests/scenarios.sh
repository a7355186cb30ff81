#!/bin/sh
# The window as a user meets it, on either program: real key presses on a
# virtual X display under a window manager; the outcome read from the disk,
# the boxes and the started processes.
#   scenarios.sh linux - PROGRAM
#   scenarios.sh windows HELPERS_DIR WINE PROGRAM.exe
. "$(dirname "$0")/xsession.sh"
platform=$1 helpers=$2 wine=$3
shift 2
title="Korvane Resolution Changer"
start_display --window-manager
cd "$work"
if [ "$platform" = windows ]; then
    # The program sits in the game's folder, beside a DLL that someone put
    # there, which Windows would take before its own (Wine does, told n,b).
    cp "$2" "$helpers/gdiplus.dll" "$helpers/boxtext.exe" .
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}gdiplus=n,b"
    "$wine" "$work/boxtext.exe" load gdiplus.dll && [ -s planted.log ] || fail "a program here cannot load the planted DLL"
    rm planted.log boxtext.exe
    set -- "$wine" "$work/$(basename "$2")"
fi

start() {
    "$@" >/dev/null 2>&1 &
    app=$!
    pids="$pids $app"
    window=$(find_window "$title") || fail "the window did not appear"
    sleep 0.5
    focus
}
# A click on the desktop, then one on the title picture, where no control lies,
# gives the window the focus as a user would.
focus() {
    for _ in $(seq 30); do
        xdotool mousemove 700 300 click 1 sleep 0.2 mousemove --window "$window" 130 30 click 1 sleep 0.3
        [ "$(xdotool getwindowfocus)" = "$window" ] && return 0
    done
    fail "the window cannot be given the focus"
}
keys() { xdotool key --delay 30 --repeat-delay 30 "$@"; }

# The open box's caption and text, as Ctrl+C copies them on Windows.
box_text() {
    if [ "$platform" = windows ]; then
        "$wine" "$helpers/boxtext.exe" | tr -d '\r'
    else
        xdotool windowactivate --sync "$(find_window "$title" "$window")" key ctrl+c 2>/dev/null
        sleep 0.2
        xclip -o -selection clipboard
    fi
}
expect_box() {
    box=$(find_window "$title" "$window") || fail "no box appeared; expected $1"
    text=$(box_text)
    printf "%s\n" "$text" | grep -qxF "$title" || fail "a box without the caption: $text"
    printf "%s\n" "$text" | grep -qF "$1" || fail "the box says: $text; expected $1"
    xdotool windowactivate --sync "$box" 2>/dev/null || true
    keys Return
    for _ in $(seq 50); do
        xdotool search --onlyvisible --name "^$title\$" | grep -qx "$box" || { focus; return 0; }
        sleep 0.1
    done
    fail "the box stayed open"
}
# Apply's outcome: the file's exact bytes, and its box.
expect_applied() { expect_file "${2:-locale.ini}" "$1"; expect_box "Changes Applied!"; }
expect_nothing() {
    sleep 0.7
    [ "$(xdotool search --onlyvisible --name "^$title\$" | wc -l)" = 1 ] || fail "a box appeared: $(box_text)"
    [ -e locale.ini ] && fail "$1 wrote"
    true
}
# The stand-in logs "name|argument count|folder|show command"; Linux's is a script.
expect_started() {
    for _ in $(seq 50); do [ "$(cut -d'|' -f1,2 started.log 2>/dev/null)" = "$1" ] && return 0; sleep 0.1; done
    fail "started: $(cat started.log 2>&1); expected $1"
}
if [ "$platform" = windows ]; then
    game() { cp "$helpers/game_standin.exe" "$1"; }
else
    game() { printf '#!/bin/sh\nprintf "%%s|%%s|%%s|\\n" "$(basename "$0")" "$#" "$(pwd)" >> started.log; sleep 10\n' > "$1"; chmod +x "$1"; }
fi
nothing='WINDOWED =0\r\nRESOLUTION =\r\n'
# The folder as the program names it in a report.
here=$work
[ "$platform" = windows ] && here="Z:$(echo "$work" | tr / '\\')"

# A shot of the window within 1/255 of a picture's source: shot, SVG, zoom, crop.
like_source() {
    rsvg-convert --zoom="$3" "$(dirname "$0")/../resources/art/$2.svg" | convert - -crop "$4" +repage -alpha off expected.png
    error=$(compare -metric MAE "$1" expected.png null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
    [ "$(echo "$error < 1 / 255" | bc -l)" = 1 ]
}
size() { xwininfo -id "$window" | awk '/Width:/ {w=$2} /Height:/ {h=$2} END {print w "x" h}'; }
# At each density the window is laid out in twips, and the title picture at
# its top-left is the one drawn for that density, 1:1.
drawn_for() {
    [ "$(size)" = "$2" ] || fail "client area at $1x is $(size), expected $2"
    title_area="${2%x*}x$(echo "70 * $1 / 1" | bc)+0+0"
    import -window "$window" -crop "$title_area" +repage shot.png
    like_source shot.png background "$1" "$title_area" || fail "the title picture at $1x is $error away from its source"
}

start "$@"
drawn_for 1 269x274
# A fixed frame (its least and greatest sizes are its own) with a close box only, off the taskbar.
[ "$(xprop -id "$window" WM_NORMAL_HINTS | grep -c 'imum size: 269 by 274$')" = 2 ] || fail "the window can be resized"
hints=$(xprop -id "$window" _MOTIF_WM_HINTS | tr -d , | cut -d= -f2)
functions=$(echo "$hints" | awk '{print $2}') decorations=$(echo "$hints" | awk '{print $3}')
# Motif hints: close, but neither minimise nor maximise.
[ $((functions & 0x20)) != 0 ] && [ $((functions & 0x18)) = 0 ] && [ $((decorations & 0x60)) = 0 ] \
    || fail "the frame: $hints"
xprop -id "$window" _NET_WM_STATE | grep -q _NET_WM_STATE_SKIP_TASKBAR || fail "it has a taskbar entry"
# Apply's picture in the middle of its face, inside the focus frame; 58 rows
# centred on 57 lose the top row or the bottom one. Check1's orange beside the title.
import -window "$window" -crop 100x40+18+185 +repage shot.png
like_source shot.png apply 1 100x40+17+9 || like_source shot.png apply 1 100x40+17+10 \
    || fail "Apply's picture is $error away from its source"
import -window "$window" -crop 1x1+17+74 orange.png
[ "$(convert orange.png -format '%[pixel:p{0,0}]' info:)" = "srgb(255,192,128)" ] || fail "Check1 is not orange"
rm -f ./*.png

# The focus starts on Apply; it comes back to where it was whenever the window is activated again.
# A link to the game's own file stays a link, and the new file is made beside
# that file, even where this folder cannot be written.
mkdir game && : >game/real.ini && ln -s game/real.ini locale.ini && chmod 555 .
keys Return
expect_applied "$nothing" game/real.ini
chmod 755 .
[ -L locale.ini ] || fail "the link was replaced"
rm locale.ini

# One Tab reaches the hidden Combo1: an edit writes silently, a pick from its list does not.
keys Tab 1
expect_file locale.ini "$nothing"
rm locale.ini
expect_nothing "an edit in Combo1"
keys Down
expect_nothing "picking from Combo1's list"

# Check1 with Space, not Enter; in Combo4, Enter and Esc do nothing, Down and Up step through the ten modes.
keys Tab Tab Tab space Return Tab Return Escape
expect_nothing "Enter on Check1, or Enter or Esc in Combo4"
keys --repeat 11 Down
keys --repeat 4 Up
keys --repeat 5 shift+Tab
keys Return
expect_applied 'WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n'
# Typed text writes nothing until Apply, is neither completed nor taken unless
# it is a mode exactly; Space clicks too.
for step in "ctrl+a 8 0 0 x 6 0 0 x 1|" "End 6|800x600x16"; do
    rm locale.ini
    keys --repeat 5 Tab
    keys ${step%|*}
    keys --repeat 5 shift+Tab
    expect_nothing "typing in Combo4"
    keys space
    expect_applied "WINDOWED =1\r\nRESOLUTION =${step#*|}\r\n"
done

# Shift+Tab from Apply reaches Run game: each press starts one more game, without arguments.
game korvane.exe
keys shift+Tab space
expect_started "korvane.exe|0"
keys Return
expect_started "$(printf 'korvane.exe|0\nkorvane.exe|0')"
[ "$platform" = windows ] && { cut -d'|' -f4 started.log | grep -qvx 2 && fail "not started minimised: $(cat started.log)"; }
rm started.log
# All 63 stops round from Apply and back: the window stays at each, and the
# demo starts from its stop, the 38th.
game korvane_demo.exe
walk() {
    for stop in $(seq 63); do
        keys "$1"
        kill -0 "$app" 2>/dev/null && xdotool search --onlyvisible --name "^$title\$" | grep -qx "$window" \
            || fail "the window went at $1 stop $stop"
        if [ "$stop" = "${2:-}" ]; then keys space; fi
    done
}
keys Tab
walk Tab 38
expect_started "korvane_demo.exe|0"
walk shift+Tab
rm locale.ini
keys Return
expect_applied 'WINDOWED =1\r\nRESOLUTION =800x600x16\r\n'

# Failures: reported with their number and cause; the file and the window stay.
chmod 444 locale.ini
keys Return
expect_box "cannot write \"locale.ini\" in $here: "
expect_file locale.ini 'WINDOWED =1\r\nRESOLUTION =800x600x16\r\n'
rm korvane.exe
keys shift+Tab space
expect_box "Error 2: cannot start \"korvane.exe\" in $here: "
keys space
expect_box "Error 2: cannot start \"korvane.exe\" in $here: "

# Closing ends the program cleanly; a write there would have failed with a box.
wmctrl -c "$title"
status=0
wait "$app" || status=$?
[ "$status" = 0 ] || fail "exit status $status"

# Denser screens: Qt's scale factor on Linux, the system's dots per inch under Wine.
density() {
    [ "$platform" = windows ] || return 0
    "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    wineserver -k
    wineserver -w
}
trap 'density 96; cleanup' EXIT
for row in "1.5 404x411 144" "2 538x548 192"; do
    density "${row##* }"
    start env QT_SCALE_FACTOR="${row%% *}" "$@"
    drawn_for "${row%% *}" "$(echo "$row" | cut -d' ' -f2)"
    wmctrl -c "$title"
    wait "$app" || true
done
[ ! -e planted.log ] || fail "the DLL planted in the game's folder ran in: $(cat planted.log)"

if [ "$platform" = linux ]; then
    # A file size limit, as from a shell's ulimit -f, is a failure like any other.
    chmod 644 locale.ini
    start prlimit --fsize=0 "$@"
    keys Return
    expect_box "Error 27: cannot write \"locale.ini\" in $here: File too large"
    expect_file locale.ini 'WINDOWED =1\r\nRESOLUTION =800x600x16\r\n'
    wmctrl -c "$title"
    wait "$app"
    # What a screen reader hears, on a session bus of the test's own.
    eval "$(dbus-launch --sh-syntax)"
    pids="$pids $DBUS_SESSION_BUS_PID"
    start env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$@"
    for _ in $(seq 20); do
        heard=$(/usr/bin/python3 "$(dirname "$0")/accessible_tree.py" korvane-resolution-changer 2>&1)
        [ -n "$heard" ] && break
        sleep 0.3
    done
    [ "$(echo "$heard" | grep -v '^image|')" = "frame|$title|
check box|Windowed|Windowed
combo box|Select below.|Resolution
push button|Apply|
push button|Run game|" ] || fail "a screen reader hears: $heard"
    # A session's end while Combo1 is typed into: the write under way finishes,
    # then the program closes with status 0.
    keys Tab
    xdotool key --delay 5 $(seq 0 9) $(seq 0 9) $(seq 0 9) &
    sleep 0.2
    kill -TERM "$app"
    status=0
    wait "$app" || status=$?
    [ "$status" = 0 ] || fail "exit status $status after SIGTERM"
    [ "$(ls -A | grep locale)" = locale.ini ] || fail "left beside locale.ini: $(ls -A)"
fi
echo PASS
