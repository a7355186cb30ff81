#!/bin/sh
# Builds the .deb, checks what it holds, that apt can install it and that
# lintian passes it, then starts the program from the unpacked package.
. "$(dirname "$0")/lib.sh"
cpack --config "$1/CPackConfig.cmake" -B "$work/out" >/dev/null
deb=$(ls "$work"/out/*.deb)

dpkg-deb -f "$deb" Depends | grep -q libqt6widgets6 || fail "no dependency on Qt Widgets"
apt-get install --simulate "$deb" >"$work/apt.log" 2>&1 || { cat "$work/apt.log"; fail "apt cannot install it"; }
# Debian's checker: no error or warning but the missing mail address, which the package overrides.
lintian --fail-on error,warning "$deb" >"$work/lintian.log" 2>&1 || { cat "$work/lintian.log"; fail "lintian rejects it"; }

dpkg-deb -x "$deb" "$work/root"
share="$work/root/usr/share"
desktop="$share/applications/org.korvane.ResolutionChanger.desktop"
desktop-file-validate "$desktop" || fail "invalid desktop entry"
appstreamcli validate --no-net "$share/metainfo/org.korvane.ResolutionChanger.metainfo.xml" >/dev/null || fail "invalid AppStream metadata"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ "$(identify -format %wx%h "$share/icons/hicolor/48x48/apps/$icon.png")" = 48x48 ] || fail "no 48x48 icon named $icon"
rsvg-convert "$share/icons/hicolor/scalable/apps/$icon.svg" >/dev/null || fail "no scalable icon named $icon"
# "Open With" on a folder starts the program there, on Qt's offscreen platform: it is up once it
# handles SIGTERM (bit 15 of SigCgt), stays up, and closes with 0 at SIGTERM. The entry's
# command is unescaped as a desktop entry is, then as a shell would.
command=$(sed -n 's/^Exec=//p' "$desktop" | sed -e 's/\\\\/\\/g' -e "s|%f|'$work/game folder'|")
mkdir "$work/game folder"
cd /
PATH="$work/root/usr/bin:$PATH" eval "exec env QT_QPA_PLATFORM=offscreen $command" >/dev/null 2>&1 &
app=$! pids="$pids $!"
poll 100 'grep -q "^SigCgt:.*[4-7c-f]...$" /proc/$app/status' || fail "the packaged program did not start"
[ "$(readlink /proc/$app/cwd)" = "$work/game folder" ] || fail "it started in $(readlink /proc/$app/cwd)"
sleep 0.5
kill -TERM $app && wait $app || fail "it did not stay up, or ended with status $?"
