#!/bin/sh
# Builds the Linux program into build/ and the Windows one into build-windows/.
#   build.sh            both
#   build.sh linux      the Linux program only
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh"
cmake -S "$root" -B "$root/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DBUILD_TESTING=ON -DKORVANE_WERROR=ON >/dev/null
cmake --build "$root/build" --parallel "$(nproc)"
[ "${1:-}" = linux ] && exit 0
cmake -S "$root" -B "$root/build-windows" -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=ON -DKORVANE_WERROR=ON \
      -DCMAKE_TOOLCHAIN_FILE="$root/cmake/i686-w64-mingw32.cmake" >/dev/null
cmake --build "$root/build-windows" --parallel "$(nproc)"
