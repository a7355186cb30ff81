#!/bin/sh
# Start-up, as the X server sees it, at 1x, 1.5x and 2x, and Apply:
#   ./bench/run.sh [rounds]
# Runs on a virtual X display of its own, with no window manager. Where no
# 32-bit code runs (or KORVANE_WINE64=1), Windows is the 64-bit build under wine64.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-31}
"$root/scripts/build.sh" >/dev/null
b="$root/build"
. "$root/scripts/wine.sh" >/dev/null
w=$windows
cmake --build "$b" --target bare_window bench_runner >/dev/null
cmake --build "$w" --target bare_win32 >/dev/null
# Read from the disk, as a player's program would be, not from the pages the
# linker has just written: those are mapped in larger runs, and count more.
for program in "$b/korvane-resolution-changer" "$b/bench/bare_window" "$w/korvane-resolution-changer.exe" "$w/bench/bare_win32.exe"; do
    dd if="$program" iflag=nocache count=0 status=none
done
work=$(mktemp -d)
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
mkdir -m 700 "$work/runtime"
export XDG_RUNTIME_DIR="$work/runtime" DISPLAY=":$n" WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; kill $xvfb; rm -rf "$work"' EXIT
sleep 1
mkdir "$WINEPREFIX"
DISPLAY= $wine wineboot --init >/dev/null 2>&1
wineserver -w
echo "Qt $(pkg-config --modversion Qt6Widgets 2>/dev/null || echo 6), $($wine --version)"
# Each scale for the program and its floor alike: Qt's scale factor on Linux,
# the system's dots per inch under Wine, where the server stays up between the
# starts, as it would on a desktop.
for row in "1 269x274 96" "1.5 404x411 144" "2 538x548 192"; do
    scale=${row%% *} size=$(echo "$row" | cut -d' ' -f2) dpi=${row##* }
    echo "Linux at ${scale}x:"
    cd "$b"
    apply="" bare=""
    [ "$scale" = 1 ] && apply=1 bare="bare=$b/bench/bare_window"
    BENCH_APPLY=$apply BENCH_SIZE=$size ./bench/bench_runner "$rounds" \
        "window=env QT_SCALE_FACTOR=$scale $b/korvane-resolution-changer" $bare \
        "one-combo=env QT_SCALE_FACTOR=$scale $b/bench/bare_window combo"
    cd "$work"
    $wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
    wineserver -k 2>/dev/null || true
    wineserver -w
    wineserver -p
    echo "Windows at ${scale}x, under Wine:"
    BENCH_SIZE=$size "$b/bench/bench_runner" "$rounds" "window=$wine $w/korvane-resolution-changer.exe" \
        "one-combo=$wine $w/bench/bare_win32.exe"
done
