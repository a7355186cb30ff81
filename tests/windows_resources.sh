#!/bin/sh
# Compiles the Windows resource script and reads the compiled record back.
set -eu
script=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

cd "$(dirname "$script")"
i686-w64-mingw32-windres --preprocessor=cpp "$script" -O res -o "$work/compiled.res"
i686-w64-mingw32-windres -i "$work/compiled.res" -O rc > "$work/decompiled.rc"
for line in 'LANGUAGE 9, 1' \
    'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' 'FILETYPE 0x1' 'FILEOS 0x40004' \
    'BLOCK "040904B0"' 'VALUE "Translation", 0x409, 1200' \
    'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' \
    'VALUE "CompanyName", "Korvane Resolution Changer developers"' \
    'VALUE "ProductName", "Korvane Resolution Changer"' \
    'VALUE "InternalName", "korvane-resolution-changer"' \
    'VALUE "OriginalFilename", "korvane-resolution-changer.exe"' \
    '"\060\060\000\000", 1, 24'; do
    grep -qF "$line" "$work/decompiled.rc" || fail "the compiled record lacks: $line"
done
# One icon only, 48 x 48 at 24 bits (the last line above).
[ "$(grep -c 'Element no' "$work/decompiled.rc")" = 1 ] || fail "more than one icon image"
echo PASS
