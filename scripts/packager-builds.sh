#!/bin/sh
# Builds the Linux program the ways others build it, each from a clean folder,
# and fails on any warning: a Release build (-O3), Debian's packaging flags
# with all hardening, passed to CMake as debhelper passes them, and clang.
# Only the program: its tests are test.sh's.
set -eu
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/deps.sh" packagers
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$root" # dpkg-buildflags maps the folder it is run in to "."

build() { # name, then CMake's arguments
    name=$1 && shift
    echo "Building the Linux program: $name"
    if ! { cmake -S "$root" -B "$work/$name" -DBUILD_TESTING=OFF -DKORVANE_WERROR=ON "$@" \
            && cmake --build "$work/$name" -j2 --target korvane-resolution-changer; } >"$work/log" 2>&1 \
        || grep -i -q warning "$work/log"; then
        cat "$work/log"
        echo "The $name build failed or warned."
        exit 1
    fi
}

build release -DCMAKE_BUILD_TYPE=Release

flag() { DEB_BUILD_MAINT_OPTIONS=hardening=+all dpkg-buildflags --get "$1"; }
# CMake reads no CPPFLAGS: debhelper adds them to the compiler's flags.
build debian -DCMAKE_BUILD_TYPE=None -DCMAKE_INSTALL_PREFIX=/usr \
      -DCMAKE_CXX_FLAGS="$(flag CXXFLAGS) $(flag CPPFLAGS)" \
      -DCMAKE_EXE_LINKER_FLAGS="$(flag LDFLAGS)" -DCMAKE_SHARED_LINKER_FLAGS="$(flag LDFLAGS)" \
      -DCMAKE_MODULE_LINKER_FLAGS="$(flag LDFLAGS)"

build clang -DCMAKE_CXX_COMPILER=clang++
