#!/bin/sh
# The window as a user meets it, on either program: real key presses in a
# private session, X11 under IceWM or Wayland under sway; the outcome read
# from the disk, the boxes and the started processes.
#   scenarios.sh linux|wayland - PROGRAM
#   scenarios.sh windows HELPERS_DIR WINE PROGRAM.exe
. "$(dirname "$0")/xsession.sh"
target=$1 helpers=$2 tests=$(cd "$(dirname "$0")" && pwd)
shift 2
title="Korvane Resolution Changer" entry=org.korvane.ResolutionChanger.desktop
cd "$work"

# The Linux program's verbs; each target's block below starts its session and
# defines what differs there: move_to FROM TO, a move between monitors of those
# scales; density SCALE for the next start, false where the target has none; the frame.
# The open box's caption and text, as Ctrl+C copies them on Windows.
box_text() { activate "$(find_window "$title" "$window")"; keys ctrl+c; sleep 0.2; clipboard; }
game() { cp "$tests/game.sh" "$1"; }
export KORVANE_GAME_STAYS=10 # so a click that waited for the game would be seen to
shown_as=- # the show command a game is started with
# As IceWM takes it, a close box only and no taskbar entry.
x11_frame() {
    frame=$(echo $(xprop -id "$window" _NET_WM_ALLOWED_ACTIONS _NET_WM_STATE | grep -oE 'MINIMIZE|MAXIMIZE|CLOSE|SKIP_TASKBAR'))
    [ "$frame" = "CLOSE SKIP_TASKBAR" ] || fail "the frame: $frame"
}
case $target in
linux)
    start_x11
    # Two monitors side by side, the right one at twice the scale, named as KDE scales them.
    xrandr --setmonitor left 800/211x900/237+0+0 screen >/dev/null
    xrandr --setmonitor right 800/211x900/237+800+0 none >/dev/null
    export QT_SCREEN_SCALE_FACTORS="left=1;right=2"
    move_to() { xdotool windowmove "$window" $(($2 == 2 ? 900 : 100)) 20; }
    density() { export QT_SCALE_FACTOR="$1"; }
    # The class names the desktop entry: its StartupWMClass.
    frame() {
        x11_frame
        class=$(xprop -id "$window" WM_CLASS | cut -d'"' -f4)
        grep -qx "StartupWMClass=$class" "$tests/../resources/$entry" || fail "the class $class is not the desktop entry's"
    }
    ;;
wayland)
    start_wayland
    # A second output, at twice the scale.
    swaymsg create_output >/dev/null && swaymsg output HEADLESS-2 scale 2 >/dev/null
    move_to() { swaymsg "[con_id=$window] move container to output HEADLESS-$2" >/dev/null; }
    # Qt 6.4 knows no fractional scale on Wayland: at 1.5 sway shrinks what Qt drew for 2.
    density() { case $1 in *.*) return 1 ;; esac; swaymsg output "*" scale "$1" >/dev/null; }
    # Floated at its one fixed size, framed by sway, not by itself; the app_id names the desktop entry.
    frame() {
        frame=$(tree ".. | select(.id? == $window) | \"\(.type) \(.border) \(.app_id).desktop\"")
        [ "$frame" = "floating_con normal $entry" ] || fail "the window: $frame"
    }
    ;;
windows)
    start_x11
    wine=$1
    cp "$2" . # the program sits in the game's folder, as a player's does
    set -- "$wine" "$work/$(basename "$2")"
    box_text() { "$wine" "$helpers/boxtext.exe" boxes | tr -d '\r'; }
    game() { cp "$helpers/boxtext.exe" "$1"; }
    shown_as=2 # SW_SHOWMINIMIZED
    # Wine never sends WM_DPICHANGED: the helper does.
    move_to() { "$wine" "$helpers/boxtext.exe" dpi $((96 * $1)) $((96 * $2)); }
    # The system's dots per inch, for the next start.
    density() {
        "$wine" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$(echo "96 * $1 / 1" | bc)" /f >/dev/null 2>&1
        wineserver -k && wineserver -w
    }
    frame() { x11_frame; }
    trap 'density 1; cleanup' EXIT
    ;;
esac

# The window's Tab order, one name a line, from its description's stop("Name") and range("Stem", first, last).
order=$(grep -oE '(stop|range)\("\w+"(, [0-9]+, [0-9]+)?\)' "$tests/../app/form1.cpp" | sed -E 's/[(),"]+/ /g')
order=$(echo "$order" | while read -r verb name first last; do [ "$verb" = stop ] && echo "$name" || seq -f "$name%g" "$first" "$last"; done)
stops=$(echo "$order" | wc -l)
stop_of() { echo "$order" | grep -nx "$1" | cut -d: -f1 | grep . || fail "$1 is not in the Tab order: $order"; }

start() {
    spawn "$@"
    app=$!
    window=$(find_window "$title") || fail "the window did not appear"
    sleep 0.5 && focus
    at=$(echo "$order" | head -n 1) # where the focus starts
}
# Closing ends the program, soon, with status 0.
quit() {
    close_window && poll 100 '[ ! -e /proc/$app ] || grep -q "^State:.*Z" /proc/$app/status 2>/dev/null' || fail "the program did not end when its window closed"
    ended && app=
}
# Each group of rows starts from a known state: the program started afresh (nothing chosen, the
# focus on the first stop) by the command after SETUP, in a folder that holds only what SETUP makes.
group() {
    [ -z "${app:-}" ] || quit
    chmod 755 . && rm -rf game locale.ini korvane.exe korvane_demo.exe started.log && eval "$1" && shift && start "$@"
}
# One row: reach CONTROL with Tab or shift+Tab, as many as the Tab order takes
# from the focus ("-": it is there), press KEYS there, then what must hold ("-": none).
step() {
    [ "$1" = Tab ] && d=1 || d=-1
    n=$(((($(stop_of "$2") - $(stop_of "$at")) * d + stops) % stops))
    [ "$n" = 0 ] || keys --repeat "$n" "$1"
    at=$2 && [ "$3" = - ] || keys $3
    shift 3 && [ "$1" = - ] || "$@"
}

# What must hold. A box with this text, closed with Enter; the focus is given back as a user would.
box() {
    box=$(find_window "$title" "$window") || fail "no box appeared; expected $1"
    text=$(box_text)
    case $text in *"$title"*"$1"*) ;; *) fail "the box says: $text; expected $title, then $1" ;; esac
    activate "$box"
    keys Return
    poll 50 '! shown "$title" | grep -qx "$box"' || fail "the box stayed open"
    focus
}
# The file holds exactly these bytes (printf notation), soon.
holds() { file=$1 bytes=$2; poll 50 'printf "$bytes" | cmp -s - "$file"' || fail "$1 holds $(od -An -c "$1" 2>&1), expected $2"; }
# Written (to FILE, locale.ini by default), silently or by Apply with its box; then removed for the next row.
written() { holds "${2:-locale.ini}" "$1"; rm "${2:-locale.ini}"; }
applied() { holds "${2:-locale.ini}" "$1"; box "Changes Applied!"; rm "${2:-locale.ini}"; }
nothing() { sleep 0.7 && [ "$(shown "$title" | wc -l)" = 1 ] || fail "a box appeared: $(box_text)"; [ ! -e locale.ini ] || fail "$1 wrote"; }
ended() { status=0; wait "$app" || status=$?; [ "$status" = 0 ] || fail "exit status $status$1"; }
# These games started, in turn, each without arguments and shown as the platform shows it.
started() {
    started=$(for name; do echo "$name|0|$shown_as"; done)
    poll 50 '[ "$(cut -d"|" -f1,2,4 started.log 2>/dev/null)" = "$started" ]' && rm started.log || fail "started: $(cat started.log 2>&1); expected $started"
}
nothing='WINDOWED =0\r\nRESOLUTION =\r\n'

# A shot of the window within 1/255 of a picture's source: shot, SVG, zoom, crop.
like_source() {
    rsvg-convert --zoom="$3" "$tests/../resources/art/$2.svg" | convert - -crop "$4" +repage -alpha off expected.png
    error=$(compare -metric MAE "$1" expected.png null: 2>&1 | sed 's/.*(\(.*\))/\1/' || true)
    [ "$(echo "$error < 1 / 255" | bc -l)" = 1 ]
}
# At each density, the window laid out in twips, of that one size, and the title picture the one drawn for it, 1:1.
drawn_for() {
    want=$2
    poll 30 '[ "$(size)" = "$want" ]' || fail "client area at $1x is $(size), expected $2"
    fixed_at "$2" || fail "the window can be resized at $1x"
    title_area="${2%x*}x$(echo "70 * $1 / 1" | bc)+0+0"
    shot "$title_area" shot.png
    like_source shot.png background "$1" "$title_area" || fail "the title picture at $1x is $error away from its source"
}

# The window's size and pictures at each monitor's scale, and its frame.
group : "$@"
drawn_for 1 269x274
move_to 1 2; drawn_for 2 538x548
move_to 2 1; drawn_for 1 269x274; focus
frame
# Apply's picture in the middle of its face, inside the focus frame; 58 rows
# centred on 57 lose the top row or the bottom one. Check1's orange beside the title.
shot 100x40+18+185 shot.png
like_source shot.png apply 1 100x40+17+9 || like_source shot.png apply 1 100x40+17+10 \
    || fail "Apply's picture is $error away from its source"
shot 1x1+17+74 orange.png
[ "$(convert orange.png -format '%[pixel:p{0,0}]' info:)" = "srgb(255,192,128)" ] || fail "Check1 is not orange"

# The focus starts on Apply. A link to the game's own file stays a link, and
# the new file is made beside that file, even where this folder cannot be written.
group 'mkdir game && : >game/real.ini && ln -s game/real.ini locale.ini && chmod 555 .' "$@"
#    way       control   keys there                 what must hold
step -         Command1  Return                     applied "$nothing" game/real.ini
[ -L locale.ini ] || fail "the link was replaced"

# The hidden Combo1: an edit writes silently, a pick from its list does not.
group : "$@"
step Tab       Combo1    1                          written "$nothing"
step -         Combo1    Down                       nothing "an edit in Combo1 again, or a pick from its list"

# Check1 takes Space, not Enter; in Combo4, Enter and Esc do nothing, Down
# steps through the modes. Typed text writes nothing until Apply, is neither
# completed nor taken unless it is a mode exactly; Space clicks Apply too.
# The focus comes back to where it was whenever the window is activated again.
group : "$@"
step Tab       Check1    "space Return"             nothing "Enter on Check1"
step Tab       Combo4    "Return Escape"            nothing "Enter or Esc in Combo4"
step -         Combo4    "--repeat 6 Down"          -
step shift+Tab Command1  Return                     applied 'WINDOWED =1\r\nRESOLUTION =1024x768x32\r\n'
step Tab       Combo4    "ctrl+a 8 0 0 x 6 0 0 x 1" -
step shift+Tab Command1  -                          nothing "typing in Combo4"
step -         Command1  space                      applied 'WINDOWED =1\r\nRESOLUTION =\r\n'
step Tab       Combo4    "End 6"                    -
step shift+Tab Command1  -                          nothing "typing in Combo4"
step -         Command1  space                      applied 'WINDOWED =1\r\nRESOLUTION =800x600x16\r\n'

# Run game starts one more game at each Space or Enter, without arguments. Tab
# round every stop from it: the window lives through each, and the demo starts
# from its stop; once the game is gone, a box says why.
group 'game korvane.exe && game korvane_demo.exe' "$@"
step shift+Tab Command3  "space Return"             started korvane.exe korvane.exe
step Tab       Command2  space                      started korvane_demo.exe
rm korvane.exe
step Tab       Command3  space                      box "Error 2: cannot start \"korvane.exe\" in "
quit

# Denser screens, each from the start, where the target has it.
for row in "1.25 336x343" "1.5 404x411" "2 538x548" "2.5 673x685"; do
    density "${row% *}" || continue
    start "$@" && drawn_for $row && close_window && { wait "$app" || true; } && app=
done

# The Linux program only, on X11 and Wayland.
[ "$target" != windows ] || exit 0
# What a screen reader hears, on a session bus of the test's own.
eval "$(dbus-launch --sh-syntax)" && pids="$pids $DBUS_SESSION_BUS_PID"
# A file size limit, as from a shell's ulimit -f, is a failure like any other;
# on Wayland, where it forbids the window's shared memory, through XWayland.
kept='WINDOWED =1\r\nRESOLUTION =800x600x16\r\n'
group "printf '$kept' >locale.ini" env QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 prlimit --fsize=0:unlimited "$@"
hears=$(printf "%s\n" "frame|$title|" "check box|Windowed|Windowed" "combo box|Select below.|Resolution" \
    "push button|Apply|" "push button|Run game|")
poll 30 'heard=$(/usr/bin/python3 "$tests/accessible_tree.py" korvane-resolution-changer 2>&1 | grep -v "^image|")
         [ "$heard" = "$hears" ]' || fail "a screen reader hears: $heard"
step -         Command1  Return                     box "Error 27: cannot write \"locale.ini\" in "
holds locale.ini "$kept"
prlimit --pid "$app" --fsize=unlimited
# A session's end while Combo1 is typed into: the write under way finishes,
# then the program closes with status 0, and leaves nothing beside locale.ini.
step Tab       Combo1    -                          -
delay=5 keys $(seq 0 9) $(seq 0 9) $(seq 0 9) &
sleep 0.2 && kill -TERM "$app" && ended " after SIGTERM"
[ "$(ls -A | grep locale)" = locale.ini ] || fail "left beside locale.ini: $(ls -A)"
