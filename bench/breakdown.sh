#!/bin/sh
# Where the Windows program's start-up goes under Wine, against its floor,
# step by step: each started in turn ROUNDS times (15 unless given) at a
# density (96 unless given), traced by Wine itself (+timestamp, +loaddll and a
# relay of the few calls that mark each step), nothing added to the program.
#   ./bench/breakdown.sh [rounds] [dpi]      after ./bench/run.sh has built both
# Times are in ms from the first line Wine traces for the process; the relay
# of the marked calls costs a little each, alike for both.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
rounds=${1:-15} dpi=${2:-96}
. "$root/scripts/wine.sh" >/dev/null
w=$windows
work=$(mktemp -d)
n=90
while [ -e "/tmp/.X11-unix/X$n" ] || [ -e "/tmp/.X$n-lock" ]; do n=$((n + 1)); done
Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=":$n" WINEPREFIX="$work/wine" WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; kill $xvfb; rm -rf "$work"' EXIT
sleep 1
mkdir "$WINEPREFIX"
DISPLAY= $wine wineboot --init >/dev/null 2>&1
wineserver -w
$wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
marks="comctl32.InitCommonControlsEx;user32.RegisterClassW;user32.RegisterClassExW;user32.CreateWindowExW;user32.CreateWindowW"
marks="$marks;user32.ShowWindow;user32.GetMessageW;user32.BeginPaint;gdi32.BitBlt;user32.FindResourceW;kernel32.FindResourceW"
$wine reg add 'HKCU\Software\Wine\Debug' /v RelayInclude /t REG_SZ /d "$marks" /f >/dev/null 2>&1
wineserver -k 2>/dev/null || true
wineserver -w
wineserver -p
for round in $(seq 0 "$rounds"); do # round 0 only warms the caches
    for program in "$w/korvane-resolution-changer.exe" "$w/bench/bare_win32.exe"; do
        label=$(basename "$program" .exe)
        WINEDEBUG=+timestamp,+loaddll,+relay $wine "$program" 2>"$work/trace" &
        sleep 2
        kill $! 2>/dev/null || true
        wait $! 2>/dev/null || true
        [ "$round" = 0 ] || awk -v label="$label" '
            /^ *[0-9]+\.[0-9]+:/ { split($1, t, ":"); now = t[1] * 1000; if (start == "") start = now; now -= start }
            function mark(step) { if (!(step in seen)) { seen[step] = now; print label "|" step "|" now } }
            /Loaded L".*(KERNELBASE|kernelbase)/ { mark("1 kernel32 loaded") }
            /Call (comctl32|user32)\.(InitCommonControlsEx|RegisterClass)/ { mark("2 main(): first window call") }
            /Ret  user32\.CreateWindow/ { if (++created == 2 || label == "bare_win32") mark("3 the window made") }
            /Call user32\.ShowWindow/ { mark("4 controls and pictures made, shown") }
            /Call user32\.GetMessageW/ { mark("5 first message asked for") }
            /Ret  user32\.GetMessageW/ { mark("6 first message handled") }
            /Call gdi32\.BitBlt/ { mark("7 first picture drawn") }
        ' "$work/trace" >>"$work/marks"
    done
done
echo "Wine at $dpi dpi, medians of $rounds rounds, ms from Wine's first trace line:"
sort -t'|' -k1,1 -k2,2 -k3,3n "$work/marks" | awk -F'|' '
    function flush() { if (n) printf "%-28s %-40s %7.0f  (%.0f-%.0f)\n", last1, last2, v[int((n + 1) / 2)], v[1], v[n] }
    $1 != last1 || $2 != last2 { flush(); n = 0; last1 = $1; last2 = $2 }
    { v[++n] = $3 }
    END { flush() }'
