#!/bin/sh
# Builds both programs and their tests, and runs every test: the Windows ones
# under Wine (scripts/wine.sh tells which), in a Wine prefix of their own
# that goes when the run ends.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
. "$root/scripts/wine.sh"
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
# Wine run by root writes everywhere: the Windows tests run as an ordinary user.
as_user="$root/tests/as_user.sh"
if [ "$(id -u)" = 0 ] && setpriv --reuid=nobody --regid="$(id -g nobody)" --clear-groups \
        test -r "$root/build-windows/korvane-resolution-changer.exe" 2>/dev/null; then
    export KORVANE_TEST_USER=nobody
    chown nobody "$WINEPREFIX"
elif [ "$(id -u)" = 0 ]; then
    echo "The Windows tests run as root here (no ordinary user can reach $root): a folder that cannot be written goes unchecked."
fi
trap '"$as_user" wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# A prefix is made once, with no display needed, before any test starts.
DISPLAY= "$as_user" "$wine" wineboot --init >/dev/null 2>&1
"$as_user" wineserver -w
cd "$root/build"
ctest --output-on-failure --timeout 180
cd "$root/build-windows"
if [ "$windows" = "$PWD" ]; then
    ctest --output-on-failure --timeout 180
else
    ctest --output-on-failure --timeout 180 -R windows_program
    cd "$windows"
    ctest --output-on-failure --timeout 180 -E windows_program
fi
