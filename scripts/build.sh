#!/bin/sh
# Builds, after installing what that needs:
#   build.sh linux      the Linux program, into build/
#   build.sh windows    the Windows program, into build-windows/
#   build.sh            both, with their tests
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
linux() { # then CMake's arguments
    cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKORVANE_WERROR=ON "$@" >/dev/null
    cmake --build "$root/build" --parallel "$(nproc)"
}
windows() {
    cmake -S "$root" -B "$root/build-windows" -DCMAKE_BUILD_TYPE=Release -DKORVANE_WERROR=ON "$@" \
          -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
    cmake --build "$root/build-windows" --parallel "$(nproc)"
}
case "${1:-}" in
    linux) "$root/scripts/deps.sh" run && linux -DBUILD_TESTING=OFF ;;
    windows) "$root/scripts/deps.sh" windows && windows -DBUILD_TESTING=OFF ;;
    "") "$root/scripts/deps.sh" tests && linux -DBUILD_TESTING=ON && windows -DBUILD_TESTING=ON ;;
    *) echo "usage: build.sh [linux|windows]" >&2 && exit 2 ;;
esac
