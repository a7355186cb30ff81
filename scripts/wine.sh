# Sourced by test.sh and bench/'s scripts, with $root set: the Wine that runs
# the Windows program ($wine) and the build it runs ($windows). Where no 32-bit
# code runs, Wine's 32-bit half is missing, or KORVANE_WINE64=1, that is a
# 64-bit build of the same sources under wine64; the 32-bit program is still
# built and checked as a file.
wine=wine windows="$root/build-windows"
if [ -n "${KORVANE_WINE64:-}" ] || ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
    if [ -n "${KORVANE_WINE64:-}" ]; then why="KORVANE_WINE64 is set"
    elif [ ! -e /usr/lib/wine/wine ]; then why="Wine's 32-bit half (wine32:i386) is not installed"
    else why="32-bit programs cannot run here"
    fi
    echo "$why: Windows is a 64-bit build under wine64." >&2
    wine=/usr/lib/wine/wine64 windows="$root/build-windows64"
    cmake --no-warn-unused-cli -S "$root" -B "$windows" -DCMAKE_BUILD_TYPE=Release -DKORVANE_WERROR=ON \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/x86_64-w64-mingw32.cmake" >/dev/null
    cmake --build "$windows" --parallel "$(nproc)"
fi
