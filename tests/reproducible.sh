#!/bin/sh
# The last commit, built twice as the README builds it, gives the same bytes:
# once from git archive (no git, files dated at the commit) and once from a
# clone (files dated now), in folders of different names and depths.
set -eu
root=$1
commit=$(git -C "$root" rev-parse HEAD) || exit 77
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
unset SOURCE_DATE_EPOCH
umask 022 # cpack gives the .deb's members the modes it leaves
a=$work/a b=$work/another/folder
mkdir -p "$a" "$b"
git -C "$root" archive "$commit" | tar -x -C "$a"
git clone -q --shared --no-checkout "$root" "$b" && git -C "$b" checkout -q --detach "$commit"
for copy in "$a" "$b"; do
    cd "$copy"
    cmake -S . -B build -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
    cmake --build build --parallel 2 --target korvane-resolution-changer >/dev/null
    (cd build && cpack >/dev/null)
    cmake -S . -B build-windows -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake >/dev/null
    cmake --build build-windows --parallel 2 --target korvane-resolution-changer >/dev/null
    sha256sum build/korvane-resolution-changer build/*.deb build-windows/korvane-resolution-changer.exe >"$copy.sums"
done
diff "$a.sums" "$b.sums" || { echo "two builds of $commit differ"; exit 1; }
