#!/bin/sh
# Runs a Windows test under Wine as the ordinary user test.sh chose
# (KORVANE_TEST_USER), where it runs as root: Wine run by root writes
# everywhere. Wine cannot make a folder unwritable, so one is made here.
. "$(dirname "$0")/lib.sh"
printf 'WINDOWED =0\r\nRESOLUTION =\r\n' >"$work/locale.ini"
chmod 666 "$work/locale.ini"
chmod 555 "$work"
export KORVANE_LOCKED_FOLDER="Z:$(echo "$work" | tr / '\\')"
[ -n "${KORVANE_TEST_USER:-}" ] && [ "$(id -u)" = 0 ] && set -- setpriv --reuid="$KORVANE_TEST_USER" \
    --regid="$(id -g "$KORVANE_TEST_USER")" --clear-groups env HOME="$WINEPREFIX" "$@"
"$@"
