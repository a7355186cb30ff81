#!/bin/sh
# Builds the .deb, checks what it holds and that apt can install it, then
# starts the program from the unpacked package on a virtual display.
. "$(dirname "$0")/xsession.sh"
build=$1
cpack --config "$build/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/*.deb)

[ "$(dpkg-deb -f "$deb" Version)" = 1.00 ] || fail "package version is not 1.00"
dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependency on Qt Widgets"
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt cannot install it"; }

dpkg-deb -x "$deb" "$work/root"
share="$work/root/usr/share"
desktop="$share/applications/org.korvane.ResolutionChanger.desktop"
desktop-file-validate "$desktop" || fail "invalid desktop entry"
appstreamcli validate --no-net "$share/metainfo/org.korvane.ResolutionChanger.metainfo.xml" >/dev/null \
    || fail "invalid AppStream metadata"
grep -q '<release version="1.00"' "$share/metainfo/org.korvane.ResolutionChanger.metainfo.xml" \
    || fail "AppStream release is not 1.00"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$(identify -format %wx%h "$share/icons/hicolor/48x48/apps/$icon.png")" = 48x48 ] || fail "no 48x48 icon named $icon"
program="$work/root/usr/bin/$(sed -n 's/^Exec=//p' "$desktop")"

start_display
cd "$work"
"$program" >/dev/null 2>&1 &
pids="$pids $!"
find_window "Korvane Resolution Changer" >/dev/null || fail "the packaged program did not start"
echo PASS
