#!/bin/sh
# Builds both programs and their tests, and runs every test: the Windows ones
# under Wine, in a Wine prefix of their own that goes when the run ends.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
WINEPREFIX=$(mktemp -d)
export WINEPREFIX WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
trap 'wineserver -k 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
# A prefix is made once, with no display needed, before any test starts.
DISPLAY= wineboot --init >/dev/null 2>&1
wineserver -w
cd "$root/build"
ctest --output-on-failure --timeout 180
cd "$root/build-windows"
ctest --output-on-failure --timeout 180
