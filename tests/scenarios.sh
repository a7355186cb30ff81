#!/bin/sh
# The window as a user meets it, on either program: real key presses in a
# private session, X11 under IceWM or Wayland under sway; the outcome read
# from the disk, the boxes and the started processes.
#   scenarios.sh linux|wayland - PROGRAM
#   scenarios.sh windows HELPERS_DIR WINE PROGRAM.exe
. "$(dirname "$0")/xsession.sh"
platform=$1 helpers=$2 wine=$3 session=x11
shift 2
[ "$platform" = wayland ] && platform=linux session=wayland
title="Korvane Resolution Changer"
"start_$session"
cd "$work"
# Two monitors side by side, the right one at twice the scale: on X11 named, as KDE scales them; under sway, an output.
case $platform-$session in
linux-x11) xrandr --setmonitor left 800/211x900/237+0+0 screen && xrandr --setmonitor right 800/211x900/237+800+0 none
           export QT_SCREEN_SCALE_FACTORS="left=1;right=2" ;;
linux-wayland) swaymsg create_output && swaymsg output HEADLESS-2 scale 2 ;;
esac >/dev/null
if [ "$platform" = windows ]; then
    # The program sits in the game's folder, beside a DLL that someone put
    # there, which Windows would take before its own (Wine does, told n,b).
    cp "$2" "$helpers/gdiplus.dll" .
    export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:+$WINEDLLOVERRIDES;}gdiplus=n,b"
    set -- "$wine" "$work/$(basename "$2")"
fi

start() {
    spawn "$@"
    app=$!
    window=$(find_window "$title") || fail "the window did not appear"
    sleep 0.5
    focus
}

# The open box's caption and text, as Ctrl+C copies them on Windows.
box_text() { activate "$(find_window "$title" "$window")"; keys ctrl+c; sleep 0.2; clipboard; }
[ "$platform" = windows ] && box_text() { "$wine" "$helpers/boxtext.exe" boxes | tr -d '\r'; }
expect_box() {
    box=$(find_window "$title" "$window") || fail "no box appeared; expected $1"
    text=$(box_text)
    case $text in *"$title"*"$1"*) ;; *) fail "the box says: $text; expected $title, then $1" ;; esac
    activate "$box"
    keys Return
    poll 50 '! shown "$title" | grep -qx "$box"' || fail "the box stayed open"
    focus
}
# Apply's outcome: the file's exact bytes, and its box.
expect_applied() { expect_file "${2:-locale.ini}" "$1"; expect_box "Changes Applied!"; }
expect_nothing() {
    sleep 0.7
    [ "$(shown "$title" | wc -l)" = 1 ] || fail "a box appeared: $(box_text)"
    [ ! -e locale.ini ] || fail "$1 wrote"
}
# The program has ended with status 0.
expect_ended() { status=0; wait "$app" || status=$?; [ "$status" = 0 ] || fail "exit status $status$1"; }
# The stand-in logs "name|argument count|folder|show command"; Linux's is a script.
expect_started() {
    started=$1
    poll 50 '[ "$(cut -d"|" -f1,2 started.log 2>/dev/null)" = "$started" ]' || fail "started: $(cat started.log 2>&1); expected $1"
}
game() { printf '#!/bin/sh\nprintf "%%s|%%s|%%s|\\n" "$(basename "$0")" "$#" "$(pwd)" >> started.log; sleep 10\n' > "$1"; chmod +x "$1"; }
[ "$platform" = windows ] && game() { cp "$helpers/boxtext.exe" "$1"; }
nothing='WINDOWED =0\r\nRESOLUTION =\r\n'

# A shot of the window within 1/255 of a picture's source: shot, SVG, zoom, crop.
like_source() {
    rsvg-convert --zoom="$3" "$(dirname "$0")/../resources/art/$2.svg" | convert - -crop "$4" +repage -alpha off expected.png
    error=$(compare -metric MAE "$1" expected.png null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
    [ "$(echo "$error < 1 / 255" | bc -l)" = 1 ]
}
# At each density, the window laid out in twips, of that one size, and the title picture the one drawn for it, 1:1.
drawn_for() {
    want=$2
    poll 30 '[ "$(size)" = "$want" ]' || fail "client area at $1x is $(size), expected $2"
    [ "$session" = wayland ] || [ "$(xprop -id "$window" WM_NORMAL_HINTS | grep -c "imum size: ${2%x*} by ${2#*x}$")" = 2 ] \
        || fail "the window can be resized at $1x"
    title_area="${2%x*}x$(echo "70 * $1 / 1" | bc)+0+0"
    shot "$title_area" shot.png
    like_source shot.png background "$1" "$title_area" || fail "the title picture at $1x is $error away from its source"
}

# Moved from the monitor of scale $1 to that of $2 (Wine never sends WM_DPICHANGED: a helper does).
move_to() {
    case $platform-$session in
    linux-x11) xdotool windowmove "$window" $(($2 == 2 ? 900 : 100)) 20 ;;
    linux-wayland) swaymsg "[con_id=$window] move container to output HEADLESS-$2" >/dev/null ;;
    *) "$wine" "$helpers/boxtext.exe" dpi $((96 * $1)) $((96 * $2)) ;;
    esac
}
start "$@"
drawn_for 1 269x274
move_to 1 2; drawn_for 2 538x548
move_to 2 1; drawn_for 1 269x274; focus
entry=org.korvane.ResolutionChanger.desktop
if [ "$session" = wayland ]; then
    # Floated at its one fixed size, framed by sway, not by itself; the app_id names the desktop entry.
    frame=$(tree ".. | select(.id? == $window) | \"\(.type) \(.border) \(.app_id).desktop\"")
    [ "$frame" = "floating_con normal $entry" ] || fail "the window: $frame"
else
    # As IceWM takes it, a close box only and no taskbar entry.
    frame=$(echo $(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS _NET_WM_STATE | grep -oE 'MINIMIZE|MAXIMIZE|CLOSE|SKIP_TASKBAR'))
    [ "$frame" = "CLOSE SKIP_TASKBAR" ] || fail "the frame: $frame"
    # The class names the desktop entry: its StartupWMClass.
    class=$(xprop -id "$window" WM_CLASS | cut -d'"' -f4)
    [ "$platform" = windows ] || grep -qx "StartupWMClass=$class" "$(dirname "$0")/../resources/$entry" \
        || fail "the class $class is not the desktop entry's"
fi
# Apply's picture in the middle of its face, inside the focus frame; 58 rows
# centred on 57 lose the top row or the bottom one. Check1's orange beside the title.
shot 100x40+18+185 shot.png
like_source shot.png apply 1 100x40+17+9 || like_source shot.png apply 1 100x40+17+10 \
    || fail "Apply's picture is $error away from its source"
shot 1x1+17+74 orange.png
[ "$(convert orange.png -format '%[pixel:p{0,0}]' info:)" = "srgb(255,192,128)" ] || fail "Check1 is not orange"

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
keys Down
expect_nothing "an edit in Combo1 again, or a pick from its list"

# Check1 with Space, not Enter; in Combo4, Enter and Esc do nothing, Down steps through the modes.
keys Tab Tab Tab space Return Tab Return Escape
expect_nothing "Enter on Check1, or Enter or Esc in Combo4"
keys --repeat 6 Down
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

# Shift+Tab from Apply reaches Run game: Space and Enter each start one more game, without arguments.
game korvane.exe
keys shift+Tab space Return
expect_started "$(printf 'korvane.exe|0\nkorvane.exe|0')"
[ "$platform" = windows ] && { cut -d'|' -f4 started.log | grep -qvx 2 && fail "not started minimised: $(cat started.log)"; }
rm started.log
# Round all 63 stops from Run game: the window lives through each, and the
# demo starts from its stop, 38 after Apply; once the game is gone, a box says why.
game korvane_demo.exe
keys --repeat 39 Tab
keys space
expect_started "korvane_demo.exe|0"
keys --repeat 24 Tab
rm korvane.exe
keys space
expect_box "Error 2: cannot start \"korvane.exe\" in "

# Closing ends the program cleanly; a write there would have failed with a box.
close_window
expect_ended

# Denser screens: Qt's scale factor on X11, the output's on Wayland, the system's dots per inch under Wine.
density() {
    case $platform-$session in
    linux-x11) export QT_SCALE_FACTOR="$1" ;;
    linux-wayland) swaymsg output "*" scale "$1" >/dev/null ;;
    *) "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$2" /f >/dev/null 2>&1
       wineserver -k && wineserver -w ;;
    esac
}
[ "$platform" = windows ] && trap 'density 1 96; cleanup' EXIT
for row in "1.25 336x343 120" "1.5 404x411 144" "2 538x548 192" "2.5 673x685 240"; do
    scale=${row%% *}
    # Qt 6.4 knows no fractional scale on Wayland: at 1.5 sway shrinks what Qt drew for 2.
    case $session-$scale in wayland-*.*) continue ;; esac
    density "$scale" "${row##* }"
    start "$@"
    drawn_for "$scale" "$(echo "$row" | cut -d' ' -f2)"
    close_window
    wait "$app" || true
done
# The planted DLL ran in the stand-in games only: they see it, the program never loads it.
[ "$platform" = linux ] || [ "$(sed 's/.*\\//' planted.log)" = "$(printf 'korvane.exe\nkorvane.exe\nkorvane_demo.exe')" ] \
    || fail "the DLL planted in the game's folder ran in: $(cat planted.log)"

if [ "$platform" = linux ]; then
    # What a screen reader hears, on a session bus of the test's own.
    eval "$(dbus-launch --sh-syntax)"
    pids="$pids $DBUS_SESSION_BUS_PID"
    start env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 prlimit --fsize=0:unlimited "$@"
    hears=$(printf "%s\n" "frame|$title|" "check box|Windowed|Windowed" "combo box|Select below.|Resolution" \
        "push button|Apply|" "push button|Run game|")
    poll 30 'heard=$(/usr/bin/python3 "$(dirname "$0")/accessible_tree.py" korvane-resolution-changer 2>&1 | grep -v "^image|")
             [ "$heard" = "$hears" ]' || fail "a screen reader hears: $heard"
    # A file size limit, as from a shell's ulimit -f, is a failure like any
    # other; on Wayland, where it forbids the window's shared memory, through XWayland.
    keys Return
    expect_box "Error 27: cannot write \"locale.ini\" in "
    expect_file locale.ini 'WINDOWED =1\r\nRESOLUTION =800x600x16\r\n'
    prlimit --pid "$app" --fsize=unlimited
    # A session's end while Combo1 is typed into: the write under way finishes,
    # then the program closes with status 0.
    keys Tab
    delay=5 keys $(seq 0 9) $(seq 0 9) $(seq 0 9) &
    sleep 0.2
    kill -TERM "$app"
    expect_ended " after SIGTERM"
    [ "$(ls -A | grep locale)" = locale.ini ] || fail "left beside locale.ini: $(ls -A)"
fi
