# Sourced by the scenarios: a private session, X11 or Wayland, with the same
# few verbs on $window either way.
. "$(dirname "$0")/lib.sh"
# Prints the id of the shown window with that exact title, other than $2.
find_window() {
    name=$1 other=${2:-none}
    poll 150 'found=$(shown "$name" | grep -vx "$other" | head -n 1); [ -n "$found" ]' && echo "$found"
}
# The window's client area in the screen's pixels.
size() { shot 9999x9999+0+0 size.png && identify -format %wx%h size.png && rm size.png; }

# X11: Xvfb on a free display, which it names once it is ready, and IceWM. Without
# -noreset it resets when its last client leaves, refusing one that connects just then.
start_x11() {
    unset WAYLAND_DISPLAY QT_QPA_PLATFORM
    spawn Xvfb -displayfd 3 -screen 0 1600x900x24 -nolisten tcp -noreset 3>"$work/display"
    poll 100 '[ -s "$work/display" ]' || fail "the X server did not start"
    export DISPLAY=":$(cat "$work/display")" XDG_SESSION_TYPE=x11
    spawn icewm
    poll 100 'xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window' || fail "IceWM did not start"
    sleep 0.5 # a window manager may still pass over windows mapped just after it announces itself
}
shown() { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null; }
activate() { xdotool windowactivate --sync "$1" 2>/dev/null || true; }
# A click on the desktop, then one on the title picture, where no control lies,
# gives the window the focus as a user would.
focus() {
    poll 30 'xdotool mousemove 700 300 click 1 sleep 0.2 mousemove --window "$window" 130 30 click 1 sleep 0.3
             [ "$(xdotool getwindowfocus)" = "$window" ]' || fail "the window cannot be given the focus"
}
keys() { xdotool key --delay "${delay:-30}" --repeat-delay 30 "$@"; }
# A part of the window's client area (WxH+X+Y), in the screen's pixels.
shot() { import -window "$window" -crop "$1" +repage "$2"; }
close_window() { wmctrl -i -c "$window"; }
clipboard() { xclip -o -selection clipboard; }
# The window cannot be resized from this size (WxH): its least and largest are it.
fixed_at() { [ "$(xprop -id "$window" WM_NORMAL_HINTS | grep -c "imum size: ${1%x*} by ${1#*x}$")" = 2 ]; }

# Wayland: sway, headless, as an ordinary user (it refuses root), its XWayland
# open to ours. One virtual keyboard stays: a client that starts on a seat
# with no keyboard misses its first key.
start_wayland() {
    runtime=$work/runtime
    mkdir "$runtime" && chmod 711 "$work"
    set --
    [ "$(id -u)" = 0 ] && chown nobody "$runtime" && set -- setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups
    unset DISPLAY QT_QPA_PLATFORM
    XDG_RUNTIME_DIR=$runtime WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
        "$@" sway -c /dev/null >"$runtime/sway.log" 2>&1 &
    pids="$pids $!"
    export WAYLAND_DISPLAY="$runtime/wayland-1" XDG_SESSION_TYPE=wayland XDG_RUNTIME_DIR="$runtime/client" SWAYSOCK
    mkdir -m 700 "$XDG_RUNTIME_DIR"
    poll 100 'SWAYSOCK=$(ls "$runtime"/sway-ipc.*.sock) && swaymsg -t get_version' >/dev/null 2>&1 \
        && swaymsg exec "xhost +si:localuser:$(id -un) && echo \$DISPLAY >$runtime/display" >/dev/null \
        && poll 50 'DISPLAY=$(cat "$runtime/display" 2>/dev/null) && [ -n "$DISPLAY" ] && export DISPLAY' || fail "no sway: $(cat "$runtime/sway.log")"
    spawn wtype -s 900000 -k Shift_L
    tree() { swaymsg -t get_tree | jq -r "$@"; }
    shown() { tree --arg t "$1" '.. | select(.name? == $t and .visible? and .pid?) | .id'; }
    activate() { swaymsg "[con_id=$1] focus" >/dev/null; }
    focus() { activate "$window"; poll 30 '[ "$(tree ".. | select(.focused? == true) | .id")" = "$window" ]' || fail "no focus"; }
    # xdotool's key names and --repeat, for wtype.
    keys() {
        [ "$1" = --repeat ] && n=$2 && shift 2 && set -- $(for _ in $(seq "$n"); do echo "$@"; done)
        wtype -d "${delay:-30}" $(printf ' -k %s' "$@" | sed -E 's/-k ([a-z]+)\+([^ ]+)/-M \1 -k \2 -m \1/g')
    }
    # The client area lies at window_rect within the frame's rect; grim takes it at the output's scale.
    shot() {
        grim -g "$(tree ".. | select(.id? == $window) | .rect as \$r | .window_rect
            | \"\(\$r.x + .x),\(\$r.y + .y) \(.width)x\(.height)\"")" - | convert - -crop "$1" +repage "$2"
    }
    close_window() { swaymsg "[con_id=$window] kill" >/dev/null; }
    clipboard() { wl-paste; }
    # No size hints on Wayland: sway floats a window whose least and largest sizes are one.
    fixed_at() { [ "$(tree ".. | select(.id? == $window) | .type")" = floating_con ]; }
}
