#!/bin/sh
# Builds both programs and their tests, and runs every test: the Windows ones
# under Wine, in a Wine prefix of their own that goes when the run ends.
# Where no 32-bit code runs (or KORVANE_WINE64=1), the Windows tests run on a
# 64-bit build of the same sources under wine64; the 32-bit program is still
# built and checked as a file.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
wine=wine windows="$root/build-windows"
if [ -n "${KORVANE_WINE64:-}" ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    echo "32-bit programs cannot run here${KORVANE_WINE64:+ (KORVANE_WINE64 is set)}: the Windows tests run on a 64-bit build under wine64."
    wine=/usr/lib/wine/wine64 windows="$root/build-windows64"
    cmake -S "$root" -B "$windows" -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" >/dev/null
    cmake --build "$windows" --parallel "$(nproc)"
fi
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
