#!/bin/sh
# The last commit, built twice as the README builds it, gives the same bytes:
# from git archive (no git, files dated at the commit) and from a clone (files
# dated now), in folders of different names and depths.
[ -e "$1/.git" ] || exit 77 # not a checkout: no commit to build
. "$(dirname "$0")/lib.sh"
commit=$(git -C "$1" rev-parse HEAD)
unset SOURCE_DATE_EPOCH
umask 022 # cpack gives the .deb's parts the modes it leaves
a=$work/a b=$work/another/folder
mkdir "$a" && git -C "$1" archive "$commit" | tar -x -C "$a"
git clone -q --shared --no-checkout "$1" "$b" && git -C "$b" checkout -q --detach "$commit"
for copy in "$a" "$b"; do
    cd "$copy"
    cmake -S . -B build -DBUILD_TESTING=OFF -DCMAKE_INSTALL_PREFIX=/usr >/dev/null
    cmake -S . -B build-windows -DBUILD_TESTING=OFF -DCMAKE_BUILD_TYPE=Release \
          -DCMAKE_TOOLCHAIN_FILE=cmake/i686-w64-mingw32.cmake >/dev/null
    for tree in build build-windows; do cmake --build $tree -j2 --target korvane-resolution-changer >/dev/null; done
    (cd build && cpack >/dev/null)
    sha256sum build/korvane-resolution-changer build/*.deb build-windows/*.exe >"$copy.sums"
done
diff "$a.sums" "$b.sums" || fail "two builds of $commit differ"
