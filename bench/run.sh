#!/bin/sh
# Start-up, as the X server sees it, and Apply: ./bench/run.sh [rounds]
# Runs on a virtual X display of its own, with no window manager.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-30}
"$root/scripts/build.sh" >/dev/null
cmake --build "$root/build" --target bare_window bench_runner >/dev/null
cmake --build "$root/build-windows" --target bare_win32 >/dev/null
work=$(mktemp -d)
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n" WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; kill $xvfb; rm -rf "$work"' EXIT
sleep 1
mkdir "$WINEPREFIX"
wineserver -p # stays up between the starts, as it would on a desktop
DISPLAY= wineboot --init >/dev/null 2>&1
b="$root/build"
w="$root/build-windows"
echo "Linux, Qt $(pkg-config --modversion Qt6Widgets 2>/dev/null || echo 6):"
cd "$b" && BENCH_APPLY=1 ./bench/bench_runner "$rounds" "window=$b/korvane-resolution-changer" \
    "bare=$b/bench/bare_window" "one-combo=$b/bench/bare_window combo"
cd "$work"
echo "Windows, under Wine $(wine --version):"
"$b/bench/bench_runner" "$rounds" "window=wine $w/korvane-resolution-changer.exe" "one-combo=wine $w/bench/bare_win32.exe"

# At 2x: Qt's scale factor, and 192 dpi under Wine, for the program and its floor alike.
cd "$b"
echo "Linux at 2x:"
BENCH_SIZE=538x548 ./bench/bench_runner "$rounds" "window=env QT_SCALE_FACTOR=2 $b/korvane-resolution-changer" \
    "one-combo=env QT_SCALE_FACTOR=2 $b/bench/bare_window combo"
cd "$work"
wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d 192 /f >/dev/null 2>&1
wineserver -k; wineserver -w; wineserver -p
echo "Windows at 2x, under Wine:"
BENCH_SIZE=538x548 "$b/bench/bench_runner" "$rounds" "window=wine $w/korvane-resolution-changer.exe" \
    "one-combo=wine $w/bench/bare_win32.exe"
