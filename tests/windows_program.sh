#!/bin/sh
# The Windows program as a file: what it is, what it needs, what it carries.
set -eu
exe=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

file "$exe" | grep -q 'PE32 executable (GUI) Intel 80386' || fail "not a 32-bit GUI program: $(file "$exe")"
[ "$(stat -c %s "$exe")" -le 2097152 ] || fail "larger than 2 MiB"
# Only what every Windows has: no C++ runtime, pthreads or Qt beside it.
dlls=$(i686-w64-mingw32-objdump -p "$exe" | sed -n 's/.*DLL Name: //p' | tr A-Z a-z | sort | tr '\n' ' ')
for dll in $dlls; do
    case $dll in kernel32.dll|user32.dll|gdi32.dll|comctl32.dll|msvcrt.dll) ;; *) fail "imports $dll" ;; esac
done

i686-w64-mingw32-windres -i "$exe" -O rc -o "$work/resources.rc"
for line in 'LANGUAGE 9, 1' \
    'FILEVERSION 1, 0, 0, 0' 'PRODUCTVERSION 1, 0, 0, 0' 'FILETYPE 0x1' 'FILEOS 0x40004' \
    'BLOCK "040904B0"' 'VALUE "Translation", 0x409, 1200' \
    'VALUE "FileVersion", "1.00"' 'VALUE "ProductVersion", "1.00"' \
    'VALUE "OriginalFilename", "korvane-resolution-changer.exe"' \
    '"\060\060\000\000", 1, 24'; do
    grep -qF "$line" "$work/resources.rc" || fail "the program's resources lack: $line"
done
# The manifest: common controls 6, and no elevation.
for line in 'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' 'level="asInvoker"'; do
    tr -s ' \n' ' ' < "$exe" | grep -qaF "$line" || fail "the manifest lacks: $line"
done
# One icon only, 48 x 48 at 24 bits (the '0 0, 1, 24' line above).
[ "$(grep -c 'Element no' "$work/resources.rc")" = 1 ] || fail "not exactly one icon image"
echo PASS
